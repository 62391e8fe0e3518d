// Bitmaps of the library's own skin, by numeric resource id.
#pragma once

#include <memory>

#include "platform/Canvas.h"

namespace platform {

// The bitmap as an image; null for an unknown id.
std::unique_ptr<Canvas> loadBitmapResource(int id);

}  // namespace platform
