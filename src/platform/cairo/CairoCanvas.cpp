#include "platform/cairo/CairoCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/common/Latin1.h"

namespace platform {

namespace {


// Colours are drawn opaque: the draw context has no per-pixel alpha.
void setOpaqueColor(cairo_t* cr, Color c) {
    cairo_set_source_rgb(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0);
}

Rect intersect(const Rect& a, const Rect& b) {
    return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

bool isImage(cairo_surface_t* surface) {
    return cairo_surface_get_type(surface) == CAIRO_SURFACE_TYPE_IMAGE;
}

}  // namespace

Canvas::Impl::Impl(cairo_surface_t* surface, int width, int height)
    : surface(surface), cr(cairo_create(surface)), width(width), height(height),
      clip{0, 0, width, height} {
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
}

Canvas::Impl::~Impl() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

std::unique_ptr<Canvas> canvasOnSurface(cairo_surface_t* surface, int width, int height) {
    if (!surface) return nullptr;
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    auto impl = std::make_unique<Canvas::Impl>(surface, width, height);
    if (cairo_status(impl->cr) != CAIRO_STATUS_SUCCESS) return nullptr;
    return std::make_unique<Canvas>(std::move(impl));
}

std::unique_ptr<Canvas> Canvas::createImage(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    auto canvas = canvasOnSurface(surface, width, height);
    if (canvas) canvas->fillRect(Rect{0, 0, width, height}, Color{0, 0, 0, 255});
    return canvas;
}

std::unique_ptr<Canvas> Canvas::createFromRgb(int width, int height, const unsigned char* rgb) {
    if (!rgb) return nullptr;
    auto canvas = createImage(width, height);
    if (!canvas) return nullptr;
    cairo_surface_t* surface = canvas->impl().surface;
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        const unsigned char* in = rgb + static_cast<size_t>(y) * 3 * width;
        for (int x = 0; x < width; ++x, in += 3)
            row[x] = 0xFF000000u | (uint32_t(in[0]) << 16) | (uint32_t(in[1]) << 8) | in[2];
    }
    cairo_surface_mark_dirty(surface);
    return canvas;
}

std::unique_ptr<Canvas> Canvas::readPng(const std::string& path) {
    cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(png) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(png);
        return nullptr;
    }
    int width = cairo_image_surface_get_width(png);
    int height = cairo_image_surface_get_height(png);
    auto canvas = createImage(width, height);
    if (canvas) {
        cairo_t* cr = canvas->impl().cr;
        cairo_set_source_surface(cr, png, 0, 0);
        cairo_paint(cr);
    }
    cairo_surface_destroy(png);
    return canvas;
}

std::unique_ptr<Canvas> Canvas::drawingOn(Canvas& surface) {
    return canvasOnSurface(cairo_surface_reference(surface.pimpl->surface), surface.width(),
                           surface.height());
}

Canvas::Canvas(std::unique_ptr<Impl> impl) : pimpl(std::move(impl)) {}
Canvas::~Canvas() = default;

int Canvas::width() const { return pimpl->width; }
int Canvas::height() const { return pimpl->height; }

void Canvas::setClip(const Rect& clip) {
    pimpl->clip = clip;
    cairo_reset_clip(pimpl->cr);
    cairo_rectangle(pimpl->cr, clip.left, clip.top, std::max(0, clip.width()),
                    std::max(0, clip.height()));
    cairo_clip(pimpl->cr);
}

void Canvas::fillRect(const Rect& rect, Color color) {
    if (rect.empty()) return;
    cairo_t* cr = pimpl->cr;
    setOpaqueColor(cr, color);
    cairo_rectangle(cr, rect.left, rect.top, rect.width(), rect.height());
    cairo_fill(cr);
}

void Canvas::drawLine(int x0, int y0, int x1, int y1, Color color, int lineWidth) {
    if (x0 == x1 && y0 == y1) return;
    if (lineWidth <= 1 && (x0 == x1 || y0 == y1)) {
        // Straight one-pixel lines as pixel runs: start included, end left out.
        if (y0 == y1) {
            int from = x0 < x1 ? x0 : x1 + 1;
            int to = x0 < x1 ? x1 : x0 + 1;
            fillRect(Rect{from, y0, to, y0 + 1}, color);
        } else {
            int from = y0 < y1 ? y0 : y1 + 1;
            int to = y0 < y1 ? y1 : y0 + 1;
            fillRect(Rect{x0, from, x0 + 1, to}, color);
        }
        return;
    }
    cairo_t* cr = pimpl->cr;
    setOpaqueColor(cr, color);
    cairo_set_line_width(cr, std::max(1, lineWidth));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_move_to(cr, x0 + 0.5, y0 + 0.5);
    cairo_line_to(cr, x1 + 0.5, y1 + 0.5);
    cairo_stroke(cr);
}

void Canvas::setFont(const FontSpec& font) {
    if (pimpl->fontSelected && pimpl->font == font) return;
    pimpl->font = font;
    pimpl->fontSelected = true;
    cairo_select_font_face(pimpl->cr, font.face.c_str(),
                           font.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(pimpl->cr, std::max(1, font.pixelHeight));
    // Text keeps its smooth edges even though lines are drawn crisp.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(pimpl->cr, options);
    cairo_font_options_destroy(options);
}

void Canvas::drawText(const char* text, const Rect& rect, Color color, TextAlign align,
                      const Color* background) {
    if (!text) return;
    if (!pimpl->fontSelected) setFont(FontSpec{"Arial", 12, true, false, false});
    cairo_t* cr = pimpl->cr;
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    cairo_text_extents_t extents;
    // Our texts are Latin-1; cairo takes UTF-8 and stops drawing after a malformed string.
    std::string utf8 = latin1ToUtf8(text);
    cairo_text_extents(cr, utf8.c_str(), &extents);
    double lineHeight = std::ceil(font.ascent + font.descent);
    double advance = std::ceil(extents.x_advance);
    double x = rect.left;
    if (align == TextAlign::Center)
        x = rect.left + std::floor((rect.width() - advance) / 2.0);
    else if (align == TextAlign::Right)
        x = rect.right - advance;
    double top = rect.top + std::floor((rect.height() - lineHeight) / 2.0);
    double baseline = top + std::round(font.ascent);

    cairo_save(cr);
    cairo_rectangle(cr, rect.left, rect.top, rect.width(), rect.height());
    cairo_clip(cr);
    if (background) {
        setOpaqueColor(cr, *background);
        cairo_rectangle(cr, x, top, advance, lineHeight);
        cairo_fill(cr);
    }
    setOpaqueColor(cr, color);
    cairo_move_to(cr, x, baseline);
    cairo_show_text(cr, utf8.c_str());
    if (pimpl->font.underline) {
        int underlineY = static_cast<int>(baseline) + 1 + pimpl->font.pixelHeight / 12;
        cairo_rectangle(cr, x, underlineY, advance, 1);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void Canvas::copyFrom(const Canvas& source, int sourceX, int sourceY, const Rect& dest) {
    if (dest.empty()) return;
    cairo_t* cr = pimpl->cr;
    cairo_surface_flush(source.pimpl->surface);
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, source.pimpl->surface, dest.left - sourceX, dest.top - sourceY);
    // Outside the source the destination stays as it was, as with a block copy.
    Rect inSource = intersect(Rect{sourceX, sourceY, sourceX + dest.width(), sourceY + dest.height()},
                              Rect{0, 0, source.width(), source.height()});
    if (!inSource.empty()) {
        cairo_rectangle(cr, inSource.left - sourceX + dest.left, inSource.top - sourceY + dest.top,
                        inSource.width(), inSource.height());
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void Canvas::copyKeyed(const Canvas& source, int sourceX, int sourceY, const Rect& dest,
                       Color key) {
    if (!isImage(source.pimpl->surface)) return;
    Rect inSource = intersect(Rect{sourceX, sourceY, sourceX + dest.width(), sourceY + dest.height()},
                              Rect{0, 0, source.width(), source.height()});
    if (inSource.empty()) return;
    // A copy of the block whose key-coloured pixels are fully transparent, painted over.
    cairo_surface_t* masked =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, inSource.width(), inSource.height());
    if (cairo_surface_status(masked) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(masked);
        return;
    }
    cairo_surface_flush(source.pimpl->surface);
    const unsigned char* in = cairo_image_surface_get_data(source.pimpl->surface);
    int inStride = cairo_image_surface_get_stride(source.pimpl->surface);
    unsigned char* out = cairo_image_surface_get_data(masked);
    int outStride = cairo_image_surface_get_stride(masked);
    uint32_t keyRgb = (uint32_t(key.red) << 16) | (uint32_t(key.green) << 8) | key.blue;
    for (int y = 0; y < inSource.height(); ++y) {
        auto* srcRow = reinterpret_cast<const uint32_t*>(in + size_t(inSource.top + y) * inStride);
        auto* dstRow = reinterpret_cast<uint32_t*>(out + size_t(y) * outStride);
        for (int x = 0; x < inSource.width(); ++x) {
            uint32_t rgb = srcRow[inSource.left + x] & 0xFFFFFFu;
            dstRow[x] = rgb == keyRgb ? 0u : (0xFF000000u | rgb);
        }
    }
    cairo_surface_mark_dirty(masked);
    cairo_t* cr = pimpl->cr;
    cairo_save(cr);
    double left = inSource.left - sourceX + dest.left;
    double top = inSource.top - sourceY + dest.top;
    cairo_set_source_surface(cr, masked, left, top);
    cairo_rectangle(cr, left, top, inSource.width(), inSource.height());
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_surface_destroy(masked);
}

void Canvas::blend(const Canvas& source, int sourceX, int sourceY, const Rect& dest,
                   uint8_t alpha) {
    if (dest.empty()) return;
    cairo_t* cr = pimpl->cr;
    cairo_surface_flush(source.pimpl->surface);
    cairo_save(cr);
    cairo_set_source_surface(cr, source.pimpl->surface, dest.left - sourceX, dest.top - sourceY);
    cairo_rectangle(cr, dest.left, dest.top, dest.width(), dest.height());
    cairo_clip(cr);
    cairo_paint_with_alpha(cr, alpha / 255.0);
    cairo_restore(cr);
}

void Canvas::flush() { cairo_surface_flush(pimpl->surface); }

Color Canvas::pixel(int x, int y) const {
    cairo_surface_t* surface = pimpl->surface;
    if (!isImage(surface) || x < 0 || y < 0 || x >= pimpl->width || y >= pimpl->height)
        return Color{0, 0, 0, 0};
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    uint32_t value = reinterpret_cast<const uint32_t*>(
        data + size_t(y) * cairo_image_surface_get_stride(surface))[x];
    return Color{uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value), 255};
}

bool Canvas::writePng(const std::string& path) const {
    if (!isImage(pimpl->surface)) return false;
    cairo_surface_flush(pimpl->surface);
    return cairo_surface_write_to_png(pimpl->surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace platform
