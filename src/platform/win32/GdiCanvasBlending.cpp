// Keyed copies and constant-opacity blending through msimg32, looked up at run time, with
// a per-pixel way for systems without it.
#include <algorithm>

#include "platform/win32/GdiCanvas.h"

namespace platform {

namespace gdi {

namespace {

// GCC accepts a cast through the generic function pointer type without a warning.
template <typename Function>
Function lookUp(HMODULE library, const char* name) {
    FARPROC found = library ? GetProcAddress(library, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

BlendFunctions& blendFunctions() {
    // Loaded once and kept for the life of the process.
    static BlendFunctions functions = [] {
        HMODULE library = LoadLibraryA("msimg32.dll");
        return BlendFunctions{lookUp<TransparentBltFunction>(library, "TransparentBlt"),
                              lookUp<AlphaBlendFunction>(library, "AlphaBlend")};
    }();
    return functions;
}

}  // namespace gdi

namespace {

// The fallback: both blocks copied into images, combined pixel by pixel, copied back.
template <typename Combine>
void combineBlocks(Canvas& dest, const Canvas& source, const Rect& from, int toX, int toY,
                   Combine combine) {
    int width = from.width(), height = from.height();
    auto sourceCopy = Canvas::createImage(width, height);
    auto destCopy = Canvas::createImage(width, height);
    if (!sourceCopy || !destCopy) return;
    HDC sourceDc = sourceCopy->impl().surface->dc;
    HDC destDc = destCopy->impl().surface->dc;
    BitBlt(sourceDc, 0, 0, width, height, source.impl().surface->dc, from.left, from.top,
           SRCCOPY);
    BitBlt(destDc, 0, 0, width, height, dest.impl().surface->dc, toX, toY, SRCCOPY);
    GdiFlush();
    const uint32_t* in = sourceCopy->impl().surface->bits;
    uint32_t* out = destCopy->impl().surface->bits;
    for (size_t i = 0, count = size_t(width) * size_t(height); i < count; ++i)
        out[i] = combine(in[i] & 0xFFFFFFu, out[i] & 0xFFFFFFu);
    BitBlt(dest.impl().prepare(), toX, toY, width, height, destDc, 0, 0, SRCCOPY);
}

uint32_t mix(uint32_t source, uint32_t dest, uint32_t alpha) {
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        uint32_t s = (source >> shift) & 0xFF, d = (dest >> shift) & 0xFF;
        result |= ((s * alpha + d * (255 - alpha) + 127) / 255) << shift;
    }
    return result;
}

}  // namespace

void Canvas::copyKeyed(const Canvas& source, int sourceX, int sourceY, const Rect& dest,
                       Color key) {
    Rect from = gdi::sourcePart(source, sourceX, sourceY, dest);
    if (dest.empty() || from.empty()) return;
    int toX = from.left - sourceX + dest.left, toY = from.top - sourceY + dest.top;
    COLORREF keyColor = RGB(key.red, key.green, key.blue);
    if (auto transparentBlt = gdi::blendFunctions().transparentBlt) {
        transparentBlt(pimpl->prepare(), toX, toY, from.width(), from.height(),
                       source.pimpl->surface->dc, from.left, from.top, from.width(),
                       from.height(), keyColor);
        return;
    }
    uint32_t keyRgb = (uint32_t(key.red) << 16) | (uint32_t(key.green) << 8) | key.blue;
    combineBlocks(*this, source, from, toX, toY, [keyRgb](uint32_t in, uint32_t out) {
        return in == keyRgb ? out : in;
    });
}

void Canvas::blend(const Canvas& source, int sourceX, int sourceY, const Rect& dest,
                   uint8_t alpha) {
    // AlphaBlend refuses blocks reaching outside the source.
    Rect from = gdi::sourcePart(source, sourceX, sourceY, dest);
    if (dest.empty() || from.empty()) return;
    int toX = from.left - sourceX + dest.left, toY = from.top - sourceY + dest.top;
    if (auto alphaBlend = gdi::blendFunctions().alphaBlend) {
        BLENDFUNCTION function{AC_SRC_OVER, 0, alpha, 0};
        alphaBlend(pimpl->prepare(), toX, toY, from.width(), from.height(),
                   source.pimpl->surface->dc, from.left, from.top, from.width(), from.height(),
                   function);
        return;
    }
    combineBlocks(*this, source, from, toX, toY, [alpha](uint32_t in, uint32_t out) {
        return mix(in, out, alpha);
    });
}

}  // namespace platform
