#include "platform/common/PngWriter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

namespace platform {

namespace {

// Deflate's stored blocks carry at most this many bytes each.
constexpr size_t kStoredBlockBytes = 65535;
// Keeps every chunk length and offset far inside 32 bits.
constexpr uint64_t kLargestImageData = uint64_t(1) << 30;

const std::array<uint32_t, 256>& crcTable() {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> entries{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    return table;
}

uint32_t crc32(const unsigned char* data, size_t length) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i) c = crcTable()[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

uint32_t adler32(const std::vector<unsigned char>& data) {
    uint32_t a = 1, b = 0;
    for (unsigned char byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void putBigEndian(std::vector<unsigned char>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
}

void putChunk(std::vector<unsigned char>& out, const char type[4],
              const std::vector<unsigned char>& data) {
    putBigEndian(out, uint32_t(data.size()));
    size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBigEndian(out, crc32(out.data() + typeStart, out.size() - typeStart));
}

// A zlib stream of stored blocks.
std::vector<unsigned char> storedZlib(const std::vector<unsigned char>& raw) {
    std::vector<unsigned char> out{0x78, 0x01};
    size_t offset = 0;
    do {
        size_t length = std::min(kStoredBlockBytes, raw.size() - offset);
        bool last = offset + length == raw.size();
        out.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00; the rest of the byte is padding
        out.push_back(uint8_t(length));
        out.push_back(uint8_t(length >> 8));
        out.push_back(uint8_t(~length));
        out.push_back(uint8_t(~length >> 8));
        out.insert(out.end(), raw.begin() + long(offset), raw.begin() + long(offset + length));
        offset += length;
    } while (offset < raw.size());
    putBigEndian(out, adler32(raw));
    return out;
}

}  // namespace

std::vector<unsigned char> encodePng(int width, int height, const unsigned char* rgb) {
    if (!rgb || width <= 0 || height <= 0) return {};
    uint64_t rowBytes = 1 + 3 * uint64_t(width);
    if (rowBytes * uint64_t(height) > kLargestImageData) return {};

    // Every row starts with filter type 0 (none).
    std::vector<unsigned char> raw;
    raw.reserve(size_t(rowBytes * uint64_t(height)));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        const unsigned char* row = rgb + size_t(y) * 3 * size_t(width);
        raw.insert(raw.end(), row, row + 3 * size_t(width));
    }

    std::vector<unsigned char> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    putBigEndian(header, uint32_t(width));
    putBigEndian(header, uint32_t(height));
    // 8 bits per channel, colour type 2 (RGB), deflate, adaptive filters, no interlace.
    header.insert(header.end(), {8, 2, 0, 0, 0});
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", storedZlib(raw));
    putChunk(png, "IEND", {});
    return png;
}

bool writePngFile(const std::string& path, int width, int height, const unsigned char* rgb) {
    std::vector<unsigned char> png = encodePng(width, height, rgb);
    if (png.empty()) return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace platform
