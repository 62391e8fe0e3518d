// The GDI side of Canvas: a device context on a window or on a 32-bit DIB section, for the
// Win32 backend's windows and for tests that look at the system directly.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/Canvas.h"
#include "platform/win32/Win32Module.h"

namespace platform {

namespace gdi {

// One device context and what it draws on. Canvases made by Canvas::drawingOn share it,
// each bringing its own clip and font into the context before it draws.
struct Surface {
    Surface() = default;
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC dc = nullptr;
    HWND window = nullptr;  // a window's context, from GetDC, goes back with ReleaseDC
    HBITMAP bitmap = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    HGDIOBJ originalFont = nullptr;
    uint32_t* bits = nullptr;  // images: 0x00RRGGBB, rows top to bottom, no padding
    int width = 0;
    int height = 0;
    const void* stateOwner = nullptr;  // the canvas whose clip and font dc holds now
};

// Blending entry points of msimg32, looked up once. Null when missing; tests clear them
// to check the fallbacks against them.
using TransparentBltFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                             UINT);
using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                         BLENDFUNCTION);
struct BlendFunctions {
    TransparentBltFunction transparentBlt;
    AlphaBlendFunction alphaBlend;
};
BlendFunctions& blendFunctions();

// The part of the block of dest's size at (sourceX, sourceY) that lies inside source: block
// copies take only that, the rest of the destination stays as it was.
Rect sourcePart(const Canvas& source, int sourceX, int sourceY, const Rect& dest);

}  // namespace gdi

struct Canvas::Impl {
    explicit Impl(std::shared_ptr<gdi::Surface> surface);
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    // The shared context with this canvas's clip and font selected. While a canvas is the
    // surface's state owner, the context holds exactly its clip and font.
    HDC prepare();
    void applyClip();

    std::shared_ptr<gdi::Surface> surface;
    Rect clip;
    FontSpec font;
    bool fontSelected = false;
    HFONT fontHandle = nullptr;
};

// A canvas on the client area of window (width × height); an image of that size when the
// window gives no device context.
std::unique_ptr<Canvas> canvasOnWindow(HWND window, int width, int height);

}  // namespace platform
