// The GDI side of Canvas: a device context on a window or on a 32-bit DIB section, for the
// Win32 backend's windows and for tests that look at the system directly.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/Canvas.h"
#include "platform/common/BlockResampler.h"
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
    int width = 0;  // device pixels, as the context and bits have them
    int height = 0;
    int logicalWidth = 0;
    int logicalHeight = 0;
    double scale = 1.0;
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

// A 32-bit top-down DIB section of width × height device pixels in a memory context of its
// own, zeroed; null when the size is not positive or memory fails.
std::shared_ptr<Surface> imageSurface(int width, int height);

// The part of the block of dest's size at (sourceX, sourceY) that lies inside source: block
// copies take only that, the rest of the destination stays as it was. Logical pixels.
Rect sourcePart(const Canvas& source, int sourceX, int sourceY, const Rect& dest);

// Where that part lands in the destination, in logical pixels.
Rect targetOf(const Rect& part, int sourceX, int sourceY, const Rect& dest);

// A block copy between canvases of one scale in device pixels: where it lands in the
// destination (cut to what the source holds; empty when nothing does) and where it starts in
// the source.
struct DeviceCopy {
    Rect target;
    int fromX;
    int fromY;
};
DeviceCopy deviceCopy(const Canvas& dest, const Canvas& source, const Rect& part,
                      const Rect& target);

// Writes pixels (width × height words) 1 : 1 to dc at the device position, inside dc's clip.
void setPixels(HDC dc, const uint32_t* pixels, int width, int height, int x, int y);

// The pixels of source's block at another scale: resampled once, kept with the source.
// Empty for a source without pixels of its own (a window).
const std::vector<uint32_t>& resampledBlock(const Canvas& source, const ResampledBlockKey& key);

// The device block of dest copied out into bits (0x00RRGGBB, device.width() per row), changed
// by edit and copied back inside dest's clip: per-pixel work where GDI has none.
void editBlock(Canvas& dest, const Rect& device, const std::function<void(uint32_t*)>& edit);

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
    Rect clip;  // logical
    FontSpec font;
    bool fontSelected = false;
    HFONT fontHandle = nullptr;  // made at the surface's scale
    mutable std::map<ResampledBlockKey, std::vector<uint32_t>> resampledBlocks;
};

// A canvas on the client area of window (width × height logical pixels at scale); an image of
// that size when the window gives no device context.
std::unique_ptr<Canvas> canvasOnWindow(HWND window, int width, int height, double scale = 1.0);

}  // namespace platform
