// Images, clips, fills, lines and block copies on GDI. Texts are in GdiCanvasText.cpp,
// keyed copies and blending in GdiCanvasBlending.cpp. Callers speak logical pixels; the
// context and the bits are device pixels (DeviceScale.h rounds every edge).
#include "platform/win32/GdiCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/DeviceScale.h"
#include "platform/common/PngWriter.h"

namespace platform {

namespace {

COLORREF colorRef(Color color) { return RGB(color.red, color.green, color.blue); }

Rect intersect(const Rect& a, const Rect& b) {
    return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

}  // namespace

namespace gdi {

Rect sourcePart(const Canvas& source, int sourceX, int sourceY, const Rect& dest) {
    return Rect{std::max(sourceX, 0), std::max(sourceY, 0),
                std::min(sourceX + dest.width(), source.width()),
                std::min(sourceY + dest.height(), source.height())};
}

Rect targetOf(const Rect& part, int sourceX, int sourceY, const Rect& dest) {
    return Rect{dest.left + part.left - sourceX, dest.top + part.top - sourceY,
                dest.left + part.right - sourceX, dest.top + part.bottom - sourceY};
}

std::shared_ptr<Surface> imageSurface(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    auto surface = std::make_shared<Surface>();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    // The system zeroes a new section: the image starts black.
    surface->bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!surface->bitmap || !bits) return nullptr;
    surface->dc = CreateCompatibleDC(nullptr);
    if (!surface->dc) return nullptr;
    surface->previousBitmap = SelectObject(surface->dc, surface->bitmap);
    surface->originalFont = GetCurrentObject(surface->dc, OBJ_FONT);
    surface->bits = static_cast<uint32_t*>(bits);
    surface->width = surface->logicalWidth = width;
    surface->height = surface->logicalHeight = height;
    return surface;
}

DeviceCopy deviceCopy(const Canvas& dest, const Canvas& source, const Rect& part,
                      const Rect& target) {
    const double s = dest.scale();
    const Rect device = toDevice(target, s);
    const int fromX = toDevice(part.left, s), fromY = toDevice(part.top, s);
    const int width = std::min(device.width(), source.deviceWidth() - fromX);
    const int height = std::min(device.height(), source.deviceHeight() - fromY);
    return DeviceCopy{Rect{device.left, device.top, device.left + std::max(0, width),
                           device.top + std::max(0, height)},
                      fromX, fromY};
}

void setPixels(HDC dc, const uint32_t* pixels, int width, int height, int x, int y) {
    if (!pixels || width <= 0 || height <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(dc, x, y, width, height, 0, 0, width, height, pixels, &info, DIB_RGB_COLORS,
                  SRCCOPY);
}

const std::vector<uint32_t>& resampledBlock(const Canvas& source, const ResampledBlockKey& key) {
    const Canvas::Impl& from = source.impl();
    auto found = from.resampledBlocks.find(key);
    if (found != from.resampledBlocks.end()) return found->second;
    std::vector<uint32_t> pixels;
    const Surface& surface = *from.surface;
    if (surface.bits) {
        GdiFlush();
        const Rect device = toDevice(
            Rect{key.left, key.top, key.left + key.width, key.top + key.height}, surface.scale);
        const Rect inside = intersect(device, Rect{0, 0, surface.width, surface.height});
        if (!inside.empty()) {
            PixelBlock block{surface.bits + size_t(inside.top) * size_t(surface.width) +
                                 size_t(inside.left),
                             surface.width, inside.width(), inside.height()};
            pixels = resampleBlock(block, key.deviceWidth, key.deviceHeight,
                                   key.keyed ? &key.keyRgb : nullptr);
        }
    }
    return from.resampledBlocks.emplace(key, std::move(pixels)).first->second;
}

void editBlock(Canvas& dest, const Rect& device, const std::function<void(uint32_t*)>& edit) {
    if (device.empty()) return;
    auto copy = imageSurface(device.width(), device.height());
    if (!copy) return;
    BitBlt(copy->dc, 0, 0, device.width(), device.height(), dest.impl().surface->dc, device.left,
           device.top, SRCCOPY);
    GdiFlush();
    edit(copy->bits);
    BitBlt(dest.impl().prepare(), device.left, device.top, device.width(), device.height(),
           copy->dc, 0, 0, SRCCOPY);
}

Surface::~Surface() {
    if (!dc) return;
    if (originalFont) SelectObject(dc, originalFont);
    if (window) {
        ReleaseDC(window, dc);
        return;
    }
    if (previousBitmap) SelectObject(dc, previousBitmap);
    DeleteDC(dc);
    if (bitmap) DeleteObject(bitmap);
}

}  // namespace gdi

namespace {

uint32_t mixOver(uint32_t dest, Color color, double coverage) {
    const uint32_t a = uint32_t(std::lround(coverage * 255.0));
    const uint32_t ink[3] = {color.blue, color.green, color.red};
    uint32_t result = 0;
    for (int c = 0; c < 3; ++c) {
        uint32_t d = (dest >> (8 * c)) & 0xFF;
        result |= ((ink[c] * a + d * (255 - a) + 127) / 255) << (8 * c);
    }
    return result;
}

// A smooth line of halfWidth device pixels each side of the segment from a to b, its ends
// cut square, inside the device rectangle bounds: each pixel takes the ink by the share of
// it the line covers, measured across and along the line from the pixel's centre.
void drawSmoothLine(Canvas& canvas, double ax, double ay, double bx, double by, double halfWidth,
                    Color color, const Rect& bounds) {
    const double dx = bx - ax, dy = by - ay;
    const double length = std::hypot(dx, dy);
    if (length <= 0.0) return;
    const double ux = dx / length, uy = dy / length;
    const Rect reach{int(std::floor(std::min(ax, bx) - halfWidth - 1)),
                     int(std::floor(std::min(ay, by) - halfWidth - 1)),
                     int(std::ceil(std::max(ax, bx) + halfWidth + 1)),
                     int(std::ceil(std::max(ay, by) + halfWidth + 1))};
    const Rect device = intersect(reach, bounds);
    if (device.empty()) return;
    gdi::editBlock(canvas, device, [&](uint32_t* pixels) {
        for (int y = device.top; y < device.bottom; ++y) {
            uint32_t* row = pixels + size_t(y - device.top) * size_t(device.width());
            for (int x = device.left; x < device.right; ++x) {
                const double px = x + 0.5 - ax, py = y + 0.5 - ay;
                const double along = px * ux + py * uy;
                const double across = std::fabs(px * uy - py * ux);
                const double coverAcross = std::clamp(halfWidth + 0.5 - across, 0.0, 1.0);
                const double coverAlong =
                    std::clamp(std::min(along, length - along) + 0.5, 0.0, 1.0);
                const double coverage = coverAcross * coverAlong;
                if (coverage > 0.0) {
                    uint32_t& p = row[x - device.left];
                    p = mixOver(p, color, coverage);
                }
            }
        }
    });
}

}  // namespace

Canvas::Impl::Impl(std::shared_ptr<gdi::Surface> shared)
    : surface(std::move(shared)), clip{0, 0, surface->logicalWidth, surface->logicalHeight} {}

Canvas::Impl::~Impl() {
    if (surface->stateOwner == this) {
        // The context outlives this canvas when shared: take our font and clip back out.
        SelectObject(surface->dc, surface->originalFont);
        SelectClipRgn(surface->dc, nullptr);
        surface->stateOwner = nullptr;
    }
    if (fontHandle) DeleteObject(fontHandle);
}

HDC Canvas::Impl::prepare() {
    HDC dc = surface->dc;
    if (surface->stateOwner == this) return dc;
    surface->stateOwner = this;
    applyClip();
    SelectObject(dc, fontHandle ? static_cast<HGDIOBJ>(fontHandle) : surface->originalFont);
    SetBkMode(dc, TRANSPARENT);
    return dc;
}

void Canvas::Impl::applyClip() {
    const Rect device = toDevice(clip, surface->scale);
    if (device.left <= 0 && device.top <= 0 && device.right >= surface->width &&
        device.bottom >= surface->height) {
        SelectClipRgn(surface->dc, nullptr);
        return;
    }
    HRGN region = CreateRectRgn(device.left, device.top, std::max(device.left, device.right),
                                std::max(device.top, device.bottom));
    SelectClipRgn(surface->dc, region);
    DeleteObject(region);
}

std::unique_ptr<Canvas> canvasOnWindow(HWND window, int width, int height, double scale) {
    HDC dc = window ? GetDC(window) : nullptr;
    if (!dc) return Canvas::createImage(std::max(1, width), std::max(1, height), scale);
    auto surface = std::make_shared<gdi::Surface>();
    surface->dc = dc;
    surface->window = window;
    surface->originalFont = GetCurrentObject(dc, OBJ_FONT);
    surface->width = std::max(1, toDevice(width, scale));
    surface->height = std::max(1, toDevice(height, scale));
    surface->logicalWidth = width;
    surface->logicalHeight = height;
    surface->scale = scale;
    return std::make_unique<Canvas>(std::make_unique<Canvas::Impl>(std::move(surface)));
}

std::unique_ptr<Canvas> Canvas::createImage(int width, int height, double scale) {
    if (width <= 0 || height <= 0 || !(scale > 0.0)) return nullptr;
    auto surface = gdi::imageSurface(std::max(1, toDevice(width, scale)),
                                     std::max(1, toDevice(height, scale)));
    if (!surface) return nullptr;
    surface->logicalWidth = width;
    surface->logicalHeight = height;
    surface->scale = scale;
    return std::make_unique<Canvas>(std::make_unique<Impl>(std::move(surface)));
}

std::unique_ptr<Canvas> Canvas::createFromRgb(int width, int height, const unsigned char* rgb,
                                              double scale) {
    if (!rgb || !(scale > 0.0)) return nullptr;
    auto canvas = createImage(int(std::lround(width / scale)), int(std::lround(height / scale)),
                              scale);
    // A device size that no logical size gives at this scale is refused.
    if (!canvas || canvas->deviceWidth() != width || canvas->deviceHeight() != height)
        return nullptr;
    uint32_t* out = canvas->pimpl->surface->bits;
    size_t count = size_t(width) * size_t(height);
    for (size_t i = 0; i < count; ++i, rgb += 3)
        out[i] = (uint32_t(rgb[0]) << 16) | (uint32_t(rgb[1]) << 8) | rgb[2];
    return canvas;
}

std::unique_ptr<Canvas> Canvas::readPng(const std::string&) { return nullptr; }

std::unique_ptr<Canvas> Canvas::drawingOn(Canvas& surface) {
    return std::make_unique<Canvas>(std::make_unique<Impl>(surface.pimpl->surface));
}

Canvas::Canvas(std::unique_ptr<Impl> impl) : pimpl(std::move(impl)) {}
Canvas::~Canvas() = default;

int Canvas::width() const { return pimpl->surface->logicalWidth; }
int Canvas::height() const { return pimpl->surface->logicalHeight; }
double Canvas::scale() const { return pimpl->surface->scale; }
int Canvas::deviceWidth() const { return pimpl->surface->width; }
int Canvas::deviceHeight() const { return pimpl->surface->height; }

void Canvas::setClip(const Rect& clip) {
    pimpl->clip = clip;
    // Otherwise the next prepare() selects it.
    if (pimpl->surface->stateOwner == pimpl.get()) pimpl->applyClip();
}

void Canvas::fillRect(const Rect& rect, Color color) {
    if (rect.empty()) return;
    HDC dc = pimpl->prepare();
    SetDCBrushColor(dc, colorRef(color));
    const Rect device = toDevice(rect, pimpl->surface->scale);
    RECT area{device.left, device.top, device.right, device.bottom};
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void Canvas::drawLine(int x0, int y0, int x1, int y1, Color color, int lineWidth) {
    if (x0 == x1 && y0 == y1) return;
    if (lineWidth <= 1 && (x0 == x1 || y0 == y1)) {
        // Straight one-pixel lines as pixel runs: start included, end left out.
        if (y0 == y1)
            fillRect(Rect{std::min(x0, x1 + 1), y0, std::max(x0 + 1, x1), y0 + 1}, color);
        else
            fillRect(Rect{x0, std::min(y0, y1 + 1), x0 + 1, std::max(y0 + 1, y1)}, color);
        return;
    }
    const double s = pimpl->surface->scale;
    if (s > 1.0) {
        // Above 1× the line is drawn smooth, as wide as lineWidth logical pixels, through the
        // centres of its end pixels. GDI has no anti-aliased pens.
        const Rect bounds = intersect(toDevice(pimpl->clip, s),
                                      Rect{0, 0, pimpl->surface->width, pimpl->surface->height});
        drawSmoothLine(*this, (x0 + 0.5) * s, (y0 + 0.5) * s, (x1 + 0.5) * s, (y1 + 0.5) * s,
                       std::max(1, lineWidth) * s / 2.0, color, bounds);
        return;
    }
    HDC dc = pimpl->prepare();
    const int width = std::max(1, toDevice(lineWidth, s));
    HPEN pen = nullptr;
    if (width <= 1) {
        // GDI's cosmetic lines are one pixel wide and leave the end point out already.
        SetDCPenColor(dc, colorRef(color));
        pen = static_cast<HPEN>(GetStockObject(DC_PEN));
    } else {
        LOGBRUSH brush{BS_SOLID, colorRef(color), 0};
        pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER,
                           DWORD(width), &brush, 0, nullptr);
        if (!pen) return;
    }
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, toDevice(x0, s), toDevice(y0, s), nullptr);
    LineTo(dc, toDevice(x1, s), toDevice(y1, s));
    SelectObject(dc, previous);
    if (width > 1) DeleteObject(pen);
}

void Canvas::copyFrom(const Canvas& source, int sourceX, int sourceY, const Rect& dest) {
    Rect inSource = gdi::sourcePart(source, sourceX, sourceY, dest);
    if (dest.empty() || inSource.empty()) return;
    const Rect target = gdi::targetOf(inSource, sourceX, sourceY, dest);
    const gdi::Surface& from = *source.pimpl->surface;
    if (from.scale != scale()) {
        const Rect device = toDevice(target, scale());
        if (device.empty()) return;
        ResampledBlockKey key{inSource.left, inSource.top, inSource.width(), inSource.height(),
                              device.width(), device.height(), false, 0};
        const std::vector<uint32_t>& pixels = gdi::resampledBlock(source, key);
        if (pixels.empty()) return;
        gdi::setPixels(pimpl->prepare(), pixels.data(), device.width(), device.height(),
                       device.left, device.top);
        return;
    }
    const gdi::DeviceCopy copy = gdi::deviceCopy(*this, source, inSource, target);
    if (copy.target.empty()) return;
    BitBlt(pimpl->prepare(), copy.target.left, copy.target.top, copy.target.width(),
           copy.target.height(), from.dc, copy.fromX, copy.fromY, SRCCOPY);
}

void Canvas::flush() { GdiFlush(); }

Color Canvas::pixel(int x, int y) const {
    const gdi::Surface& surface = *pimpl->surface;
    if (!surface.bits || x < 0 || y < 0 || x >= surface.width || y >= surface.height)
        return Color{0, 0, 0, 0};
    GdiFlush();
    uint32_t value = surface.bits[size_t(y) * size_t(surface.width) + size_t(x)];
    return Color{uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value), 255};
}

bool Canvas::writePng(const std::string& path) const {
    const gdi::Surface& surface = *pimpl->surface;
    if (!surface.bits) return false;
    GdiFlush();
    size_t count = size_t(surface.width) * size_t(surface.height);
    std::vector<unsigned char> rgb(count * 3);
    for (size_t i = 0; i < count; ++i) {
        uint32_t value = surface.bits[i];
        rgb[3 * i] = uint8_t(value >> 16);
        rgb[3 * i + 1] = uint8_t(value >> 8);
        rgb[3 * i + 2] = uint8_t(value);
    }
    return writePngFile(path, surface.width, surface.height, rgb.data());
}

}  // namespace platform
