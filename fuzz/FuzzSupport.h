// What the targets of the effect's file readers share: the input as a file in the
// scratch folder, an effect built as the plug-in builds it.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

#include "FuzzCheck.h"
#include "effect/AutoComp.h"
#include "presets/PresetFileFormat.h"
#include "support/StoreSnapshot.h"

inline void writeScratchFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    require(out.good(), "writing the input file");
}

// A program as the oracle decodes it straight from the file's bytes.
inline void decodeRecord(const std::uint8_t* at, bool withValues, ProgramState& program) {
    char name[25] = {};
    std::memcpy(name, at, 24);
    program.name = name;
    if (!withValues) return;
    for (int i = 0; i < kNumParameters; ++i)
        program.values[i] = clampUnit(presetfile::floatFromLittleEndian(at + 24 + 4 * i));
}

inline bool hasMagic(const std::uint8_t* data, std::size_t size) {
    return size >= 4 && (std::memcmp(data, "WVRK", 4) == 0 || std::memcmp(data, "KRVW", 4) == 0);
}
