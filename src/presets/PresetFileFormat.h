// The byte layout of preset files (".krv", one program) and bank files (".krb", the
// whole store), little-endian:
//
//   offset 0  4 bytes   magic: the unique ID "KRVW" as a 32-bit value ("WVRK" on disk)
//   offset 4  1 byte    type: 0x21 preset, 0x37 bank
//   offset 5  records   72 bytes each: a 24-byte name field (zero-terminated unless the
//                       name has 24 characters), then the 12 values as 32-bit floats
//
// A preset holds 1 record (77 bytes), a bank 33 (2381 bytes). Two further lengths are
// read as names only: a 149-byte preset (1 name) and a 4325-byte bank (32 names).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "presets/CProgram.h"

namespace presetfile {

constexpr std::uint32_t kMagic = 0x4B525657;  // 'K' 'R' 'V' 'W'
constexpr unsigned char kPresetType = 0x21;
constexpr unsigned char kBankType = 0x37;
constexpr std::size_t kHeaderSize = 5;
constexpr std::size_t kNameFieldSize = 24;
constexpr std::size_t kRecordSize = kNameFieldSize + 4 * kNumParameters;
constexpr std::size_t kPresetFileSize = kHeaderSize + kRecordSize;
constexpr std::size_t kBankFileSize = kHeaderSize + 33 * kRecordSize;
constexpr std::size_t kPresetNamesOnlySize = 149;
constexpr std::size_t kBankNamesOnlySize = 4325;
constexpr int kBankNamesOnlyCount = 32;
// The longest start of a file that any layout reads.
constexpr std::size_t kMaxReadSize = kBankNamesOnlySize;

// One program as a file carries it.
struct ProgramRecord {
    char name[kNameFieldSize + 1];  // always zero-terminated
    float values[kNumParameters];
};

enum class ParseResult { Ok, ForeignMagic, WrongType, Truncated };

// The records of a file once its checks have passed.
struct ParsedFile {
    std::vector<ProgramRecord> records;
    bool hasValues = true;
};

// Checks and decodes a file of the given type. bytes is the start of the file (at most
// kMaxReadSize bytes), fileLength its whole length, which chooses the layout. The
// magic is checked first (in either byte order), then the type, then that the file
// holds its whole layout; nothing is decoded from beyond bytes.
ParseResult parseProgramFile(const std::string& bytes, std::uint64_t fileLength,
                             unsigned char type, ParsedFile& parsed);

// The 5-byte header written for a file of the given type.
std::string fileHeader(unsigned char type);
// Appends program's 72-byte record; the bytes after the name's terminator are zero.
void appendRecord(std::string& out, const CProgram& program);

float floatFromLittleEndian(const unsigned char bytes[4]);
void floatToLittleEndian(float value, unsigned char bytes[4]);

}  // namespace presetfile
