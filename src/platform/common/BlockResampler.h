// Resizes a block of 32-bit pixels (0xAARRGGBB words, as cairo's and GDI's images hold them)
// once, so that later paints of it at another factor are plain copies.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

struct PixelBlock {
    const uint32_t* pixels;  // the block's top-left pixel
    int stride;              // pixels from one row to the next
    int width;
    int height;
};

// The block resampled to width × height with a separable cubic (Catmull-Rom) filter,
// widened when shrinking so that every source pixel counts. Taps beyond the block repeat its
// edge: a film-strip frame never takes colour from the frame next to it. Without a key the
// result is opaque; with one, pixels of the key colour become transparent and the result is
// premultiplied, so the edges of a keyed shape come out smooth. Empty for an empty size.
std::vector<uint32_t> resampleBlock(const PixelBlock& block, int width, int height,
                                    const uint32_t* keyRgb);

}  // namespace platform

namespace platform {

// Which block of a bitmap, at which device size, with which key: a resampled block is made
// once for each and kept with the bitmap.
struct ResampledBlockKey {
    int left, top, width, height;  // the block, in the bitmap's logical pixels
    int deviceWidth, deviceHeight;
    bool keyed;
    uint32_t keyRgb;
    bool operator<(const ResampledBlockKey& o) const {
        const int a[] = {left, top, width, height, deviceWidth, deviceHeight, keyed};
        const int b[] = {o.left, o.top, o.width, o.height, o.deviceWidth, o.deviceHeight, o.keyed};
        for (int i = 0; i < 7; ++i)
            if (a[i] != b[i]) return a[i] < b[i];
        return keyRgb < o.keyRgb;
    }
};

}  // namespace platform
