#include "platform/cairo/CairoCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/DeviceScale.h"
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

void addRectangle(cairo_t* cr, const Rect& r) {
    cairo_rectangle(cr, r.left, r.top, std::max(0, r.width()), std::max(0, r.height()));
}

// A copy of source's block at (sourceX, sourceY) to dest, both logical: the part of the
// block inside the source, and where it lands.
struct BlockCopy {
    Rect block;   // in the source
    Rect target;  // in the destination
    bool empty() const { return block.empty(); }
};

BlockCopy blockCopy(const Canvas& source, int sourceX, int sourceY, const Rect& dest) {
    Rect block = intersect(Rect{sourceX, sourceY, sourceX + dest.width(), sourceY + dest.height()},
                           Rect{0, 0, source.width(), source.height()});
    Rect target{dest.left + block.left - sourceX, dest.top + block.top - sourceY,
                dest.left + block.right - sourceX, dest.top + block.bottom - sourceY};
    return BlockCopy{block, target};
}

// Paints pixels (width × height words, premultiplied) at the device position.
void paintPixels(cairo_t* cr, const std::vector<uint32_t>& pixels, int width, int height,
                 cairo_format_t format, const Rect& device, double alpha) {
    if (pixels.empty()) return;
    cairo_surface_t* block = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(pixels.data())), format, width,
        height, width * 4);
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_set_source_surface(cr, block, device.left, device.top);
    addRectangle(cr, device);
    cairo_clip(cr);
    if (alpha >= 1.0) {
        if (format == CAIRO_FORMAT_RGB24) cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
    } else {
        cairo_paint_with_alpha(cr, alpha);
    }
    cairo_restore(cr);
    cairo_surface_destroy(block);
}

}  // namespace

Canvas::Impl::Impl(cairo_surface_t* surface, int width, int height, int deviceWidth,
                   int deviceHeight, double scale)
    : surface(surface), cr(cairo_create(surface)), width(width), height(height),
      deviceWidth(deviceWidth), deviceHeight(deviceHeight), scale(scale) {
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
}

Canvas::Impl::~Impl() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

const std::vector<uint32_t>& Canvas::Impl::resampled(const ResampledBlockKey& key) const {
    auto found = resampledBlocks.find(key);
    if (found != resampledBlocks.end()) return found->second;
    std::vector<uint32_t> pixels;
    if (isImage(surface)) {
        cairo_surface_flush(surface);
        const Rect device = toDevice(
            Rect{key.left, key.top, key.left + key.width, key.top + key.height}, scale);
        const Rect inside = intersect(device, Rect{0, 0, deviceWidth, deviceHeight});
        if (!inside.empty()) {
            const int stride = cairo_image_surface_get_stride(surface) / 4;
            const auto* data = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(surface));
            PixelBlock block{data + size_t(inside.top) * size_t(stride) + size_t(inside.left),
                             stride, inside.width(), inside.height()};
            pixels = resampleBlock(block, key.deviceWidth, key.deviceHeight,
                                   key.keyed ? &key.keyRgb : nullptr);
        }
    }
    return resampledBlocks.emplace(key, std::move(pixels)).first->second;
}

std::unique_ptr<Canvas> canvasOnSurface(cairo_surface_t* surface, int width, int height,
                                        double scale) {
    if (!surface) return nullptr;
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    auto impl = std::make_unique<Canvas::Impl>(surface, width, height, toDevice(width, scale),
                                               toDevice(height, scale), scale);
    if (cairo_status(impl->cr) != CAIRO_STATUS_SUCCESS) return nullptr;
    return std::make_unique<Canvas>(std::move(impl));
}

std::unique_ptr<Canvas> Canvas::createImage(int width, int height, double scale) {
    if (width <= 0 || height <= 0 || !(scale > 0.0)) return nullptr;
    const int deviceWidth = std::max(1, toDevice(width, scale));
    const int deviceHeight = std::max(1, toDevice(height, scale));
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, deviceWidth, deviceHeight);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    auto impl =
        std::make_unique<Impl>(surface, width, height, deviceWidth, deviceHeight, scale);
    if (cairo_status(impl->cr) != CAIRO_STATUS_SUCCESS) return nullptr;
    auto canvas = std::make_unique<Canvas>(std::move(impl));
    canvas->fillRect(Rect{0, 0, width, height}, Color{0, 0, 0, 255});
    return canvas;
}

std::unique_ptr<Canvas> Canvas::createFromRgb(int width, int height, const unsigned char* rgb,
                                              double scale) {
    if (!rgb || !(scale > 0.0)) return nullptr;
    const int logicalWidth = int(std::lround(width / scale));
    const int logicalHeight = int(std::lround(height / scale));
    auto canvas = createImage(logicalWidth, logicalHeight, scale);
    if (!canvas || canvas->deviceWidth() != width || canvas->deviceHeight() != height)
        return nullptr;
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
    const Impl& on = *surface.pimpl;
    cairo_surface_t* shared = cairo_surface_reference(on.surface);
    auto impl = std::make_unique<Impl>(shared, on.width, on.height, on.deviceWidth,
                                       on.deviceHeight, on.scale);
    if (cairo_status(impl->cr) != CAIRO_STATUS_SUCCESS) return nullptr;
    return std::make_unique<Canvas>(std::move(impl));
}

Canvas::Canvas(std::unique_ptr<Impl> impl) : pimpl(std::move(impl)) {}
Canvas::~Canvas() = default;

int Canvas::width() const { return pimpl->width; }
int Canvas::height() const { return pimpl->height; }
double Canvas::scale() const { return pimpl->scale; }
int Canvas::deviceWidth() const { return pimpl->deviceWidth; }
int Canvas::deviceHeight() const { return pimpl->deviceHeight; }

void Canvas::setClip(const Rect& clip) {
    cairo_reset_clip(pimpl->cr);
    addRectangle(pimpl->cr, toDevice(clip, pimpl->scale));
    cairo_clip(pimpl->cr);
}

void Canvas::fillRect(const Rect& rect, Color color) {
    if (rect.empty()) return;
    cairo_t* cr = pimpl->cr;
    setOpaqueColor(cr, color);
    addRectangle(cr, toDevice(rect, pimpl->scale));
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
    const double s = pimpl->scale;
    cairo_save(cr);
    // At scale 1 a slanted line keeps its single crisp pixels; above, it is drawn smooth.
    if (s > 1.0) cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    setOpaqueColor(cr, color);
    cairo_set_line_width(cr, std::max(1, lineWidth) * s);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_move_to(cr, (x0 + 0.5) * s, (y0 + 0.5) * s);
    cairo_line_to(cr, (x1 + 0.5) * s, (y1 + 0.5) * s);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void Canvas::setFont(const FontSpec& font) {
    if (pimpl->fontSelected && pimpl->font == font) return;
    pimpl->font = font;
    pimpl->fontSelected = true;
    cairo_select_font_face(pimpl->cr, font.face.c_str(),
                           font.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(pimpl->cr, std::max(1, font.pixelHeight) * pimpl->scale);
    // Text keeps its smooth edges even though lines are drawn crisp.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(pimpl->cr, options);
    cairo_font_options_destroy(options);
}

void Canvas::drawText(const char* text, const Rect& logical, Color color, TextAlign align,
                      const Color* background) {
    if (!text) return;
    if (!pimpl->fontSelected) setFont(FontSpec{"Arial", 12, true, false, false});
    // Laid out in device pixels, so that text sits on whole pixels at every scale.
    const Rect rect = toDevice(logical, pimpl->scale);
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
    addRectangle(cr, rect);
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
        const double s = pimpl->scale;
        double underlineY = baseline + std::round((1 + pimpl->font.pixelHeight / 12) * s);
        cairo_rectangle(cr, x, std::floor(underlineY), advance, std::max(1.0, std::round(s)));
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void Canvas::copyFrom(const Canvas& source, int sourceX, int sourceY, const Rect& dest) {
    if (dest.empty()) return;
    // Outside the source the destination stays as it was, as with a block copy.
    BlockCopy copy = blockCopy(source, sourceX, sourceY, dest);
    if (copy.empty()) return;
    const double s = pimpl->scale;
    const Rect device = toDevice(copy.target, s);
    cairo_t* cr = pimpl->cr;
    const Impl& from = *source.pimpl;
    if (from.scale != s) {
        ResampledBlockKey key{copy.block.left, copy.block.top, copy.block.width(),
                              copy.block.height(), device.width(), device.height(), false, 0};
        paintPixels(cr, from.resampled(key), device.width(), device.height(), CAIRO_FORMAT_RGB24,
                    device, 1.0);
        return;
    }
    const int fromX = toDevice(copy.block.left, s), fromY = toDevice(copy.block.top, s);
    cairo_surface_flush(from.surface);
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, from.surface, device.left - fromX, device.top - fromY);
    addRectangle(cr, intersect(device, Rect{device.left - fromX, device.top - fromY,
                                            device.left - fromX + from.deviceWidth,
                                            device.top - fromY + from.deviceHeight}));
    cairo_fill(cr);
    cairo_restore(cr);
}

void Canvas::copyKeyed(const Canvas& source, int sourceX, int sourceY, const Rect& dest,
                       Color key) {
    const Impl& from = *source.pimpl;
    if (!isImage(from.surface)) return;
    BlockCopy copy = blockCopy(source, sourceX, sourceY, dest);
    if (copy.empty()) return;
    const double s = pimpl->scale;
    const Rect device = toDevice(copy.target, s);
    if (device.empty()) return;
    uint32_t keyRgb = (uint32_t(key.red) << 16) | (uint32_t(key.green) << 8) | key.blue;
    if (from.scale != s) {
        ResampledBlockKey blockKey{copy.block.left, copy.block.top, copy.block.width(),
                                   copy.block.height(), device.width(), device.height(), true,
                                   keyRgb};
        paintPixels(pimpl->cr, from.resampled(blockKey), device.width(), device.height(),
                    CAIRO_FORMAT_ARGB32, device, 1.0);
        return;
    }
    // A copy of the block whose key-coloured pixels are fully transparent, painted over.
    const Rect inSource = intersect(
        Rect{toDevice(copy.block.left, s), toDevice(copy.block.top, s), 0, 0},
        Rect{0, 0, from.deviceWidth, from.deviceHeight});
    const int width = std::min(device.width(), from.deviceWidth - inSource.left);
    const int height = std::min(device.height(), from.deviceHeight - inSource.top);
    if (width <= 0 || height <= 0) return;
    cairo_surface_flush(from.surface);
    const unsigned char* in = cairo_image_surface_get_data(from.surface);
    int inStride = cairo_image_surface_get_stride(from.surface);
    std::vector<uint32_t> masked(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y) {
        auto* srcRow = reinterpret_cast<const uint32_t*>(in + size_t(inSource.top + y) * inStride);
        uint32_t* dstRow = masked.data() + size_t(y) * size_t(width);
        for (int x = 0; x < width; ++x) {
            uint32_t rgb = srcRow[inSource.left + x] & 0xFFFFFFu;
            dstRow[x] = rgb == keyRgb ? 0u : (0xFF000000u | rgb);
        }
    }
    paintPixels(pimpl->cr, masked, width, height, CAIRO_FORMAT_ARGB32,
                Rect{device.left, device.top, device.left + width, device.top + height}, 1.0);
}

void Canvas::blend(const Canvas& source, int sourceX, int sourceY, const Rect& dest,
                   uint8_t alpha) {
    if (dest.empty()) return;
    const double s = pimpl->scale;
    const Impl& from = *source.pimpl;
    cairo_t* cr = pimpl->cr;
    if (from.scale != s) {
        BlockCopy copy = blockCopy(source, sourceX, sourceY, dest);
        if (copy.empty()) return;
        const Rect device = toDevice(copy.target, s);
        ResampledBlockKey key{copy.block.left, copy.block.top, copy.block.width(),
                              copy.block.height(), device.width(), device.height(), false, 0};
        paintPixels(cr, from.resampled(key), device.width(), device.height(), CAIRO_FORMAT_RGB24,
                    device, alpha / 255.0);
        return;
    }
    const Rect device = toDevice(dest, s);
    const int fromX = toDevice(sourceX, s), fromY = toDevice(sourceY, s);
    cairo_surface_flush(from.surface);
    cairo_save(cr);
    cairo_set_source_surface(cr, from.surface, device.left - fromX, device.top - fromY);
    addRectangle(cr, device);
    cairo_clip(cr);
    cairo_paint_with_alpha(cr, alpha / 255.0);
    cairo_restore(cr);
}

void Canvas::flush() { cairo_surface_flush(pimpl->surface); }

Color Canvas::pixel(int x, int y) const {
    cairo_surface_t* surface = pimpl->surface;
    if (!isImage(surface) || x < 0 || y < 0 || x >= pimpl->deviceWidth || y >= pimpl->deviceHeight)
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
