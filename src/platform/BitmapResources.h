// Bitmaps of the library's own skin, by numeric resource id.
#pragma once

#include <memory>

#include "platform/Canvas.h"

namespace platform {

// The bitmap as an image for canvases of the given scale: the set drawn natively at 1× for
// scales up to 1, else the 2× set (which a canvas of another scale resamples). One image per
// id and set is shared by every caller while any holds it; null for an unknown id.
std::shared_ptr<const Canvas> loadBitmapResource(int id, double scale = 1.0);

// The bitmap's logical size without loading its pixels; false for an unknown id.
bool bitmapResourceSize(int id, int& width, int& height);

}  // namespace platform
