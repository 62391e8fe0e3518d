// Text measured with the font a canvas draws with, so that layouts match what is drawn.
// Texts are Latin-1, as Canvas::drawText takes them; sizes are in the canvas's logical pixels.
#pragma once

#include <string>

#include "platform/Canvas.h"

namespace platform {

struct FontMetrics {
    int ascent;
    int height;  // ascent plus descent, rounded up
};

FontMetrics fontMetrics(Canvas& canvas, const FontSpec& font);
// Advance width in pixels of a Latin-1 text, rounded up.
int textAdvance(Canvas& canvas, const FontSpec& font, const std::string& latin1);

}  // namespace platform
