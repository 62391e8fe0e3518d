#include "presets/PresetFileFormat.h"

#include <algorithm>
#include <cstring>

namespace presetfile {

namespace {

struct Layout {
    int records;
    bool hasValues;
    std::size_t size() const {
        return kHeaderSize + records * (hasValues ? kRecordSize : kNameFieldSize);
    }
};

Layout layoutFor(unsigned char type, std::uint64_t fileLength) {
    if (type == kBankType)
        return fileLength == kBankNamesOnlySize ? Layout{kBankNamesOnlyCount, false}
                                                : Layout{33, true};
    return fileLength == kPresetNamesOnlySize ? Layout{1, false} : Layout{1, true};
}

void magicBytes(bool bigEndian, unsigned char bytes[4]) {
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<unsigned char>(kMagic >> (bigEndian ? 24 - 8 * i : 8 * i));
}

// The magic in either byte order; a file too short to hold it is judged by the bytes
// it has, so that it fails as truncated rather than as foreign.
bool magicMatches(const std::string& bytes) {
    std::size_t count = std::min<std::size_t>(bytes.size(), 4);
    for (bool bigEndian : {false, true}) {
        unsigned char magic[4];
        magicBytes(bigEndian, magic);
        if (std::memcmp(bytes.data(), magic, count) == 0) return true;
    }
    return false;
}

}  // namespace

float floatFromLittleEndian(const unsigned char bytes[4]) {
    std::uint32_t bits = static_cast<std::uint32_t>(bytes[0]) |
                         static_cast<std::uint32_t>(bytes[1]) << 8 |
                         static_cast<std::uint32_t>(bytes[2]) << 16 |
                         static_cast<std::uint32_t>(bytes[3]) << 24;
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

void floatToLittleEndian(float value, unsigned char bytes[4]) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
}

ParseResult parseProgramFile(const std::string& bytes, std::uint64_t fileLength,
                             unsigned char type, ParsedFile& parsed) {
    parsed.records.clear();
    if (!magicMatches(bytes)) return ParseResult::ForeignMagic;
    if (bytes.size() >= kHeaderSize && static_cast<unsigned char>(bytes[4]) != type)
        return ParseResult::WrongType;
    Layout layout = layoutFor(type, fileLength);
    if (bytes.size() < layout.size()) return ParseResult::Truncated;

    const unsigned char* at = reinterpret_cast<const unsigned char*>(bytes.data()) + kHeaderSize;
    parsed.hasValues = layout.hasValues;
    parsed.records.resize(layout.records);
    for (ProgramRecord& record : parsed.records) {
        std::memset(record.name, 0, sizeof(record.name));
        std::memcpy(record.name, at, kNameFieldSize);
        at += kNameFieldSize;
        for (float& value : record.values) {
            value = 0.0f;
            if (!layout.hasValues) continue;
            value = floatFromLittleEndian(at);
            at += 4;
        }
    }
    return ParseResult::Ok;
}

std::string fileHeader(unsigned char type) {
    unsigned char header[kHeaderSize];
    magicBytes(false, header);
    header[4] = type;
    return std::string(reinterpret_cast<const char*>(header), kHeaderSize);
}

void appendRecord(std::string& out, const CProgram& program) {
    char name[kNameFieldSize + 1] = {};
    program.getName(name);
    out.append(name, kNameFieldSize);
    for (int i = 0; i < kNumParameters; ++i) {
        unsigned char bytes[4];
        floatToLittleEndian(program.getValue(i), bytes);
        out.append(reinterpret_cast<const char*>(bytes), 4);
    }
}

}  // namespace presetfile
