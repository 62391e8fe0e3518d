// Preset and bank file bytes put together by hand, independently of the writers.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

inline std::string le32(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    std::string out;
    for (int i = 0; i < 4; ++i) out += static_cast<char>(bits >> (8 * i));
    return out;
}

inline float fromLe32(const std::string& bytes, std::size_t at) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= std::uint32_t(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

// A 24-byte name field: the text, then zeros.
inline std::string nameField(const std::string& text) {
    std::string field = text.substr(0, 24);
    field.resize(24, '\0');
    return field;
}

inline std::string record(const std::string& name, std::initializer_list<float> values) {
    std::string out = nameField(name);
    int count = 0;
    for (float v : values) {
        out += le32(v);
        ++count;
    }
    for (; count < 12; ++count) out += le32(0.0f);
    return out;
}

inline std::string header(unsigned char type, const char* magic = "WVRK") {
    return std::string(magic, 4) + static_cast<char>(type);
}
