#include "platform/common/DroppedFileList.h"

#include <climits>
#include <cstdint>

namespace platform {

namespace {

// pFiles, pt.x, pt.y, fNC, fWide: 32 bits each, little-endian.
constexpr std::size_t kHeaderSize = 20;
constexpr std::size_t kWideAt = 16;

std::uint32_t read32(const unsigned char* at) {
    return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 |
           std::uint32_t(at[3]) << 24;
}

}  // namespace

int countDroppedFiles(const unsigned char* bytes, std::size_t size) {
    if (!bytes || size < kHeaderSize) return 0;
    std::size_t start = read32(bytes);
    if (start < kHeaderSize || start > size) return 0;
    std::size_t unit = read32(bytes + kWideAt) != 0 ? 2 : 1;
    int count = 0;
    bool inName = false;
    for (std::size_t at = start; at + unit <= size; at += unit) {
        bool zero = bytes[at] == 0 && (unit == 1 || bytes[at + 1] == 0);
        if (!zero) {
            inName = true;
            continue;
        }
        if (!inName) return count;  // the empty name
        if (count == INT_MAX) return 0;
        ++count;
        inName = false;
    }
    return 0;
}

}  // namespace platform
