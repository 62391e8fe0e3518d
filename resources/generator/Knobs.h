// Film-strip knobs: each frame is the panel beneath the knob with the knob turned to
// that frame's value.
#pragma once

#include "Canvas.h"
#include "Dials.h"
#include "SkinImage.h"

namespace skin {

// Draws a knob body centred on (cx, cy) with its pointer at `angleDegrees` (0 = twelve
// o'clock, clockwise). Shading stays put while the knob turns: the light is fixed.
void drawKnob(cairo_t* cr, double cx, double cy, double radius, double angleDegrees);

SkinImage renderKnobStrip(const Canvas& panel, const Dial& dial);

}  // namespace skin
