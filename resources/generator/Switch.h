// The three-position process switch: a bat lever pointing at "Valve", "Clear" or "Off".
#pragma once

#include <cairo.h>

#include "Canvas.h"
#include "SkinImage.h"

namespace skin {

// The printed position names and marks, in editor coordinates.
void drawSwitchLegend(cairo_t* cr);

// Frame 0, 1, 2 = lever at the left, middle and right position.
SkinImage renderSwitchStrip(const Canvas& panel);

}  // namespace skin
