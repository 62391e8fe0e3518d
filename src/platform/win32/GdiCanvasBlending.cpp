// Keyed copies and constant-opacity blending through msimg32, looked up at run time, with
// a per-pixel way for systems without it. A source of another scale is resampled once per
// block (BlockResampler) and drawn from those pixels.
#include <algorithm>
#include <cstring>

#include "platform/DeviceScale.h"
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

// The fallback: the source's device block copied into an image and combined pixel by pixel
// with the destination's.
template <typename Combine>
void combineBlocks(Canvas& dest, HDC sourceDc, int fromX, int fromY, const Rect& device,
                   Combine combine) {
    auto sourceCopy = gdi::imageSurface(device.width(), device.height());
    if (!sourceCopy) return;
    BitBlt(sourceCopy->dc, 0, 0, device.width(), device.height(), sourceDc, fromX, fromY,
           SRCCOPY);
    const uint32_t* in = sourceCopy->bits;
    gdi::editBlock(dest, device, [&](uint32_t* out) {
        for (size_t i = 0, count = size_t(device.width()) * size_t(device.height()); i < count; ++i)
            out[i] = combine(in[i] & 0xFFFFFFu, out[i] & 0xFFFFFFu);
    });
}

uint32_t mix(uint32_t source, uint32_t dest, uint32_t alpha) {
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        uint32_t s = (source >> shift) & 0xFF, d = (dest >> shift) & 0xFF;
        result |= ((s * alpha + d * (255 - alpha) + 127) / 255) << shift;
    }
    return result;
}

// A premultiplied source pixel over a destination pixel.
uint32_t over(uint32_t source, uint32_t dest) {
    const uint32_t alpha = source >> 24;
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        uint32_t s = (source >> shift) & 0xFF, d = (dest >> shift) & 0xFF;
        result |= std::min(255u, s + (d * (255 - alpha) + 127) / 255) << shift;
    }
    return result;
}

// A block resampled from a source of another scale, drawn at device through AlphaBlend:
// with each pixel's own alpha (premultiplied) or with one opacity for all.
bool alphaBlendPixels(Canvas& dest, const std::vector<uint32_t>& pixels, const Rect& device,
                      BLENDFUNCTION function) {
    auto alphaBlend = gdi::blendFunctions().alphaBlend;
    if (!alphaBlend) return false;
    auto block = gdi::imageSurface(device.width(), device.height());
    if (!block) return false;
    std::memcpy(block->bits, pixels.data(), pixels.size() * sizeof(uint32_t));
    alphaBlend(dest.impl().prepare(), device.left, device.top, device.width(), device.height(),
               block->dc, 0, 0, device.width(), device.height(), function);
    return true;
}

}  // namespace

void Canvas::copyKeyed(const Canvas& source, int sourceX, int sourceY, const Rect& dest,
                       Color key) {
    Rect from = gdi::sourcePart(source, sourceX, sourceY, dest);
    if (dest.empty() || from.empty()) return;
    const Rect target = gdi::targetOf(from, sourceX, sourceY, dest);
    uint32_t keyRgb = (uint32_t(key.red) << 16) | (uint32_t(key.green) << 8) | key.blue;
    if (source.scale() != scale()) {
        // Resampled with the key colour clear: a premultiplied block with smooth edges.
        const Rect device = toDevice(target, scale());
        if (device.empty()) return;
        ResampledBlockKey blockKey{from.left, from.top, from.width(), from.height(),
                                   device.width(), device.height(), true, keyRgb};
        const std::vector<uint32_t>& pixels = gdi::resampledBlock(source, blockKey);
        if (pixels.empty()) return;
        const BLENDFUNCTION ownAlpha{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        if (alphaBlendPixels(*this, pixels, device, ownAlpha)) return;
        gdi::editBlock(*this, device, [&](uint32_t* out) {
            for (size_t i = 0; i < pixels.size(); ++i) out[i] = over(pixels[i], out[i]);
        });
        return;
    }
    const gdi::DeviceCopy copy = gdi::deviceCopy(*this, source, from, target);
    const Rect& device = copy.target;
    if (device.empty()) return;
    HDC sourceDc = source.pimpl->surface->dc;
    if (auto transparentBlt = gdi::blendFunctions().transparentBlt) {
        transparentBlt(pimpl->prepare(), device.left, device.top, device.width(), device.height(),
                       sourceDc, copy.fromX, copy.fromY, device.width(), device.height(),
                       RGB(key.red, key.green, key.blue));
        return;
    }
    combineBlocks(*this, sourceDc, copy.fromX, copy.fromY, device,
                  [keyRgb](uint32_t in, uint32_t out) { return in == keyRgb ? out : in; });
}

void Canvas::blend(const Canvas& source, int sourceX, int sourceY, const Rect& dest,
                   uint8_t alpha) {
    // AlphaBlend refuses blocks reaching outside the source.
    Rect from = gdi::sourcePart(source, sourceX, sourceY, dest);
    if (dest.empty() || from.empty()) return;
    const Rect target = gdi::targetOf(from, sourceX, sourceY, dest);
    if (source.scale() != scale()) {
        const Rect device = toDevice(target, scale());
        if (device.empty()) return;
        ResampledBlockKey key{from.left, from.top, from.width(), from.height(), device.width(),
                              device.height(), false, 0};
        const std::vector<uint32_t>& pixels = gdi::resampledBlock(source, key);
        if (pixels.empty()) return;
        if (alphaBlendPixels(*this, pixels, device, BLENDFUNCTION{AC_SRC_OVER, 0, alpha, 0}))
            return;
        gdi::editBlock(*this, device, [&](uint32_t* out) {
            for (size_t i = 0; i < pixels.size(); ++i)
                out[i] = mix(pixels[i] & 0xFFFFFFu, out[i] & 0xFFFFFFu, alpha);
        });
        return;
    }
    const gdi::DeviceCopy copy = gdi::deviceCopy(*this, source, from, target);
    const Rect& device = copy.target;
    if (device.empty()) return;
    HDC sourceDc = source.pimpl->surface->dc;
    if (auto alphaBlend = gdi::blendFunctions().alphaBlend) {
        BLENDFUNCTION function{AC_SRC_OVER, 0, alpha, 0};
        alphaBlend(pimpl->prepare(), device.left, device.top, device.width(), device.height(),
                   sourceDc, copy.fromX, copy.fromY, device.width(), device.height(), function);
        return;
    }
    combineBlocks(*this, sourceDc, copy.fromX, copy.fromY, device,
                  [alpha](uint32_t in, uint32_t out) { return mix(in, out, alpha); });
}

}  // namespace platform
