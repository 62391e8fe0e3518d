#include "presets/StateBlob.h"

#include <cstring>

#include "host/AEffEditor.h"
#include "presets/CPresetSystemEffect.h"

namespace stateblob {

namespace {

void appendWord(std::string& out, std::uint32_t word) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(word >> (8 * i)));
}

std::uint32_t wordAt(const unsigned char* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

// A name field as the writer leaves it: nothing but zeros after the terminator.
bool validNameField(const unsigned char* field) {
    const void* terminator = std::memchr(field, 0, presetfile::kNameFieldSize);
    if (!terminator) return true;
    const auto* end = field + presetfile::kNameFieldSize;
    for (auto* at = static_cast<const unsigned char*>(terminator); at < end; ++at)
        if (*at != 0) return false;
    return true;
}

}  // namespace

std::string encode(const CProgram* programs, int selected) {
    std::string out(kMagic, sizeof(kMagic));
    out.reserve(kSize);
    appendWord(out, kVersion);
    appendWord(out, static_cast<std::uint32_t>(selected));
    for (int k = 0; k < kNumPrograms; ++k) presetfile::appendRecord(out, programs[k]);
    return out;
}

bool decode(const void* bytes, std::size_t size, State& state) {
    if (!bytes || size != kSize) return false;
    const auto* at = static_cast<const unsigned char*>(bytes);
    if (std::memcmp(at, kMagic, sizeof(kMagic)) != 0 || wordAt(at + 4) != kVersion) return false;
    const std::uint32_t selected = wordAt(at + 8);
    if (selected >= static_cast<std::uint32_t>(kNumPrograms)) return false;
    state.selected = static_cast<int>(selected);
    at += kHeaderSize;
    for (presetfile::ProgramRecord& record : state.programs) {
        if (!validNameField(at)) return false;
        std::memset(record.name, 0, sizeof(record.name));
        std::memcpy(record.name, at, presetfile::kNameFieldSize);
        at += presetfile::kNameFieldSize;
        for (float& value : record.values) {
            value = presetfile::floatFromLittleEndian(at);
            at += 4;
            // The store keeps values from 0 to 1 only; NaN fails both comparisons.
            if (!(value >= 0.0f && value <= 1.0f)) return false;
        }
    }
    return true;
}

}  // namespace stateblob

std::string CPresetSystemEffect::saveState() {
    if (!programs) return {};
    try {
        return stateblob::encode(programs, programIndex);
    } catch (...) {
        return {};  // out of memory
    }
}

bool CPresetSystemEffect::loadState(const void* bytes, std::size_t size) {
    if (!programs) return false;
    // Everything is checked before anything changes.
    stateblob::State state;
    if (!stateblob::decode(bytes, size, state)) return false;
    for (int k = 0; k < kNumPrograms; ++k) {
        programs[k].setName(state.programs[k].name);
        for (int i = 0; i < kNumParameters; ++i)
            programs[k].setValue(i, state.programs[k].values[i]);
    }
    programIndex = state.selected;
    // The working copy runs; applying it writes nothing back into the store.
    applyingProgram = true;
    for (int i = 0; i < kNumParameters; ++i) setParameter(i, programs[0].getValue(i));
    applyingProgram = false;
    if (editor) {
        for (int k = 0; k < kNumPrograms; ++k) editor->setProgramMenuEntry(k, state.programs[k].name);
        editor->setCurrentProgramMenuEntry(state.selected);
        editor->setProgramNameField(state.programs[state.selected].name);
    }
    return true;
}
