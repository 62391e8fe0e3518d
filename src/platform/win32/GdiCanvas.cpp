// Images, clips, fills, lines and block copies on GDI. Texts are in GdiCanvasText.cpp,
// keyed copies and blending in GdiCanvasBlending.cpp.
#include "platform/win32/GdiCanvas.h"

#include <algorithm>
#include <vector>

#include "platform/common/PngWriter.h"

namespace platform {

namespace gdi {

Rect sourcePart(const Canvas& source, int sourceX, int sourceY, const Rect& dest) {
    return Rect{std::max(sourceX, 0), std::max(sourceY, 0),
                std::min(sourceX + dest.width(), source.width()),
                std::min(sourceY + dest.height(), source.height())};
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

COLORREF colorRef(Color color) { return RGB(color.red, color.green, color.blue); }

std::shared_ptr<gdi::Surface> imageSurface(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    auto surface = std::make_shared<gdi::Surface>();
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
    surface->width = width;
    surface->height = height;
    return surface;
}

}  // namespace

Canvas::Impl::Impl(std::shared_ptr<gdi::Surface> shared)
    : surface(std::move(shared)), clip{0, 0, surface->width, surface->height} {}

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
    if (clip.left <= 0 && clip.top <= 0 && clip.right >= surface->width &&
        clip.bottom >= surface->height) {
        SelectClipRgn(surface->dc, nullptr);
        return;
    }
    HRGN region = CreateRectRgn(clip.left, clip.top, std::max(clip.left, clip.right),
                                std::max(clip.top, clip.bottom));
    SelectClipRgn(surface->dc, region);
    DeleteObject(region);
}

std::unique_ptr<Canvas> canvasOnWindow(HWND window, int width, int height) {
    HDC dc = window ? GetDC(window) : nullptr;
    if (!dc) return Canvas::createImage(std::max(1, width), std::max(1, height));
    auto surface = std::make_shared<gdi::Surface>();
    surface->dc = dc;
    surface->window = window;
    surface->originalFont = GetCurrentObject(dc, OBJ_FONT);
    surface->width = width;
    surface->height = height;
    return std::make_unique<Canvas>(std::make_unique<Canvas::Impl>(std::move(surface)));
}

std::unique_ptr<Canvas> Canvas::createImage(int width, int height) {
    auto surface = imageSurface(width, height);
    if (!surface) return nullptr;
    return std::make_unique<Canvas>(std::make_unique<Impl>(std::move(surface)));
}

std::unique_ptr<Canvas> Canvas::createFromRgb(int width, int height, const unsigned char* rgb) {
    if (!rgb) return nullptr;
    auto canvas = createImage(width, height);
    if (!canvas) return nullptr;
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

int Canvas::width() const { return pimpl->surface->width; }
int Canvas::height() const { return pimpl->surface->height; }

void Canvas::setClip(const Rect& clip) {
    pimpl->clip = clip;
    // Otherwise the next prepare() selects it.
    if (pimpl->surface->stateOwner == pimpl.get()) pimpl->applyClip();
}

void Canvas::fillRect(const Rect& rect, Color color) {
    if (rect.empty()) return;
    HDC dc = pimpl->prepare();
    SetDCBrushColor(dc, colorRef(color));
    RECT area{rect.left, rect.top, rect.right, rect.bottom};
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
    HDC dc = pimpl->prepare();
    HPEN pen = nullptr;
    if (lineWidth <= 1) {
        // GDI's cosmetic lines are one pixel wide and leave the end point out already.
        SetDCPenColor(dc, colorRef(color));
        pen = static_cast<HPEN>(GetStockObject(DC_PEN));
    } else {
        LOGBRUSH brush{BS_SOLID, colorRef(color), 0};
        pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER,
                           DWORD(lineWidth), &brush, 0, nullptr);
        if (!pen) return;
    }
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
    SelectObject(dc, previous);
    if (lineWidth > 1) DeleteObject(pen);
}

void Canvas::copyFrom(const Canvas& source, int sourceX, int sourceY, const Rect& dest) {
    Rect inSource = gdi::sourcePart(source, sourceX, sourceY, dest);
    if (dest.empty() || inSource.empty()) return;
    HDC dc = pimpl->prepare();
    BitBlt(dc, inSource.left - sourceX + dest.left, inSource.top - sourceY + dest.top,
           inSource.width(), inSource.height(), source.pimpl->surface->dc, inSource.left,
           inSource.top, SRCCOPY);
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
