// The gain-reduction meter: lit and unlit faces whose scale lies on the arc the
// editor's needle sweeps, the bezel printed on the panel, and the extra bitmap.
#pragma once

#include <cairo.h>

#include "SkinImage.h"

namespace skin {

// Needle value for a gain reduction in dB: the meter shows 1 - gain, linear in gain.
double meterValueForDb(double reductionDb);
// Dial angle in radians (cairo convention) of the needle at `value`.
double needleAngle(double value);

// Draws a face of `width` x `height` whose needle pivot lies at (pivotX, pivotY) in
// the face's own coordinates.
void drawMeterFace(cairo_t* cr, int width, int height, double pivotX, double pivotY, bool lit);

// The bezel around the face, in editor coordinates.
void drawMeterBezel(cairo_t* cr);

SkinImage renderMeterFace(bool lit);
SkinImage renderMeterExtra();

}  // namespace skin
