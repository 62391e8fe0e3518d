#include "platform/common/BlockResampler.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

double catmullRom(double x) {
    x = std::fabs(x);
    if (x < 1.0) return (1.5 * x - 2.5) * x * x + 1.0;
    if (x < 2.0) return ((-0.5 * x + 2.5) * x - 4.0) * x + 2.0;
    return 0.0;
}

// The taps of one output position: first source index and normalised weights.
struct Taps {
    int first;
    std::vector<float> weights;
};

std::vector<Taps> tapsFor(int inSize, int outSize) {
    const double ratio = double(inSize) / outSize;
    const double widen = std::max(1.0, ratio);  // shrinking: the kernel covers every source pixel
    const double radius = 2.0 * widen;
    std::vector<Taps> taps(static_cast<size_t>(outSize));
    for (int i = 0; i < outSize; ++i) {
        const double centre = (i + 0.5) * ratio - 0.5;
        const int first = int(std::ceil(centre - radius));
        const int last = int(std::floor(centre + radius));
        Taps& t = taps[size_t(i)];
        t.first = first;
        double sum = 0.0;
        for (int j = first; j <= last; ++j) {
            double w = catmullRom((j - centre) / widen);
            t.weights.push_back(float(w));
            sum += w;
        }
        for (float& w : t.weights) w = float(w / sum);
    }
    return taps;
}

uint8_t clampByte(float v, float limit) {
    if (!(v > 0.0f)) return 0;
    if (v > limit) v = limit;
    return uint8_t(std::lround(v));
}

}  // namespace

std::vector<uint32_t> resampleBlock(const PixelBlock& block, int width, int height,
                                    const uint32_t* keyRgb) {
    if (width <= 0 || height <= 0 || block.width <= 0 || block.height <= 0 || !block.pixels)
        return {};
    // Premultiplied channels as floats: alpha, red, green, blue.
    const int inW = block.width, inH = block.height;
    std::vector<float> source(size_t(inW) * size_t(inH) * 4);
    for (int y = 0; y < inH; ++y) {
        const uint32_t* row = block.pixels + size_t(y) * size_t(block.stride);
        float* out = source.data() + size_t(y) * size_t(inW) * 4;
        for (int x = 0; x < inW; ++x, out += 4) {
            uint32_t p = row[x];
            bool clear = keyRgb && (p & 0xFFFFFFu) == (*keyRgb & 0xFFFFFFu);
            out[0] = clear ? 0.0f : 255.0f;
            out[1] = clear ? 0.0f : float((p >> 16) & 0xFF);
            out[2] = clear ? 0.0f : float((p >> 8) & 0xFF);
            out[3] = clear ? 0.0f : float(p & 0xFF);
        }
    }
    const std::vector<Taps> across = tapsFor(inW, width);
    const std::vector<Taps> down = tapsFor(inH, height);

    std::vector<float> rows(size_t(width) * size_t(inH) * 4);
    for (int y = 0; y < inH; ++y) {
        const float* in = source.data() + size_t(y) * size_t(inW) * 4;
        float* out = rows.data() + size_t(y) * size_t(width) * 4;
        for (int x = 0; x < width; ++x, out += 4) {
            const Taps& t = across[size_t(x)];
            float acc[4] = {0, 0, 0, 0};
            for (size_t k = 0; k < t.weights.size(); ++k) {
                int j = std::clamp(t.first + int(k), 0, inW - 1);
                const float* p = in + size_t(j) * 4;
                for (int c = 0; c < 4; ++c) acc[c] += t.weights[k] * p[c];
            }
            std::copy(acc, acc + 4, out);
        }
    }

    std::vector<uint32_t> result(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y) {
        const Taps& t = down[size_t(y)];
        for (int x = 0; x < width; ++x) {
            float acc[4] = {0, 0, 0, 0};
            for (size_t k = 0; k < t.weights.size(); ++k) {
                int j = std::clamp(t.first + int(k), 0, inH - 1);
                const float* p = rows.data() + (size_t(j) * size_t(width) + size_t(x)) * 4;
                for (int c = 0; c < 4; ++c) acc[c] += t.weights[k] * p[c];
            }
            uint8_t alpha = keyRgb ? clampByte(acc[0], 255.0f) : 255;
            float limit = float(alpha);
            result[size_t(y) * size_t(width) + size_t(x)] =
                (uint32_t(alpha) << 24) | (uint32_t(clampByte(acc[1], limit)) << 16) |
                (uint32_t(clampByte(acc[2], limit)) << 8) | clampByte(acc[3], limit);
        }
    }
    return result;
}

}  // namespace platform
