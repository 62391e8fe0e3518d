#include "platform/common/Latin1.h"

namespace platform {

std::string latin1ToUtf8(const std::string& latin1) {
    std::string utf8;
    utf8.reserve(latin1.size());
    for (char c : latin1) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

std::string utf8ToLatin1(const std::string& utf8) {
    std::string latin1;
    std::size_t i = 0;
    while (i < utf8.size()) {
        auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            latin1 += utf8[i++];
            continue;
        }
        int length = lead >= 0xF8 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        unsigned long code = length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool wellFormed = length > 1 && i + length <= utf8.size();
        for (int k = 1; wellFormed && k < length; ++k) {
            auto next = static_cast<unsigned char>(utf8[i + k]);
            wellFormed = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        // A longer form than a character needs would slip control characters past the
        // check on the shortest one.
        static const unsigned long kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (!wellFormed || code < kShortest[length] || code > 0x10FFFF) {
            ++i;  // a stray byte: skip it and look for the next character
            continue;
        }
        if (code >= 0x80 && code <= 0xFF) latin1 += static_cast<char>(code);
        i += length;
    }
    return latin1;
}

}  // namespace platform
