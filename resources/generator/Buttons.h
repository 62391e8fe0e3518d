// The preset row: file and memory push buttons, the program rocker, and the printed
// parts around them (name window, menu arrow, labels).
#pragma once

#include <cairo.h>

#include "Canvas.h"
#include "skin/SkinLayout.h"
#include "SkinImage.h"

namespace skin {

enum class ButtonLook { Normal, Hover, Pressed, Disabled };

// The frames normal, hover, pressed, and disabled (memory buttons) or a copy of normal
// (file buttons, whose fourth frame is never shown).
SkinImage renderButtonStrip(const BitmapLayout& button, const Canvas& panel,
                            bool hasDisabledLook);

// Five frames: rest, left hovered, right hovered, left pressed, right pressed.
SkinImage renderRockerStrip(const Canvas& panel);

// The preset row's printing on the panel (editor coordinates).
void drawPresetRowLegend(cairo_t* cr);

}  // namespace skin
