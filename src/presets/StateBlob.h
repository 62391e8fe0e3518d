// The whole plug-in state as one blob of bytes, for front ends whose hosts keep a plug-in's
// state in their sessions: the 33 programs of the store and the selected one. Little-endian
// (docs/plugin-state.md):
//
//   offset  0   4 bytes  magic "KRVS"
//   offset  4   4 bytes  format version: 1
//   offset  8   4 bytes  the selected program, 0 to 32
//   offset 12   33 records of 72 bytes, program 0 (the working copy) first, laid out as in
//               bank files: a 24-byte name field (zero-terminated unless the name has 24
//               characters, zero after the terminator), then the 12 values as 32-bit
//               floats, each from 0 to 1
//
// Version 1 is exactly 2388 bytes. A reader takes the versions it knows and refuses
// anything else whole; this one knows version 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "presets/FactoryPresets.h"
#include "presets/PresetFileFormat.h"

namespace stateblob {

constexpr char kMagic[4] = {'K', 'R', 'V', 'S'};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kSize = kHeaderSize + kNumPrograms * presetfile::kRecordSize;

struct State {
    presetfile::ProgramRecord programs[kNumPrograms];
    int selected = 0;
};

// The blob of programs (kNumPrograms of them) with selected as the selected one.
std::string encode(const CProgram* programs, int selected);
// True, with state filled in, for a whole blob of a known version whose every field is
// valid; false for anything else, and state is then of no use.
bool decode(const void* bytes, std::size_t size, State& state);

}  // namespace stateblob
