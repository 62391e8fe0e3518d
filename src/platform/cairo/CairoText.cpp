#include "platform/cairo/CairoText.h"

#include <cmath>

#include "platform/cairo/CairoCanvas.h"
#include "platform/common/Latin1.h"

namespace platform {

FontMetrics fontMetrics(Canvas& canvas, const FontSpec& font) {
    canvas.setFont(font);
    cairo_font_extents_t extents;
    cairo_font_extents(canvas.impl().cr, &extents);
    // The font is drawn at the canvas's scale; its metrics are told in logical pixels.
    const double s = canvas.scale();
    return FontMetrics{int(std::lround(extents.ascent / s)),
                       int(std::ceil((extents.ascent + extents.descent) / s))};
}

int textAdvance(Canvas& canvas, const FontSpec& font, const std::string& latin1) {
    canvas.setFont(font);
    cairo_text_extents_t extents;
    cairo_text_extents(canvas.impl().cr, latin1ToUtf8(latin1).c_str(), &extents);
    return int(std::ceil(extents.x_advance / canvas.scale()));
}

}  // namespace platform
