// Assembles the editor as it looks at its default settings from one set of the embedded
// bitmaps, placed at the controls' rectangles, with the meter's needle drawn as the meter
// draws it.
#pragma once

#include <string>

#include "skin/SkinBitmaps.h"

namespace skin {

// Writes the editor picture to `editorPng` and, when `aboutPng` is not empty, the about
// picture with its version text, both from `skin` at its factor. Answers false with a
// message on stderr on failure.
bool writeContactSheet(const SkinSet& skin, const std::string& editorPng,
                       const std::string& aboutPng);

// Writes the frames of every control strip side by side, one row per strip.
bool writeStateSheet(const SkinSet& skin, const std::string& statesPng);

}  // namespace skin
