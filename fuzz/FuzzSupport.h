// What the fuzz targets share: a scratch folder for the input file, an effect built as
// the plug-in builds it, and a check that stops the run with a message.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "effect/AutoComp.h"
#include "presets/PresetFileFormat.h"
#include "support/StoreSnapshot.h"

inline void require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

// A folder of this process, removed at exit. Kept on the heap so that it outlives the
// static destructors that run before the exit handler.
inline const std::string& scratchFolder() {
    static const std::string* folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "krv-fuzz-XXXXXX").string();
        require(::mkdtemp(pattern.data()) != nullptr, "scratch folder");
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(scratchFolder(), ignored);
        });
        return new std::string(pattern);
    }();
    return *folder;
}

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
