// Preset files: the selected program.
#include "host/AEffEditor.h"
#include "platform/Files.h"
#include "presets/CPresetSystemEffect.h"
#include "presets/FileErrors.h"
#include "presets/PresetFileFormat.h"

using namespace presetfile;

bool CPresetSystemEffect::writePreset(const std::string& folder, const std::string& fileName) {
    if (!programs || folder.empty() || fileName.empty()) return false;
    try {
        std::string bytes = fileHeader(kPresetType);
        appendRecord(bytes, programs[programIndex]);
        return platform::replaceFile(platform::joinPath(folder, fileName), bytes.data(), bytes.size());
    } catch (...) {
        return false;  // out of memory: nothing was written
    }
}

bool CPresetSystemEffect::readPreset(const std::string& folder, const std::string& fileName) {
    if (!programs || folder.empty() || fileName.empty()) return false;
    try {
        return loadPreset(platform::joinPath(folder, fileName));
    } catch (...) {
        return false;  // out of memory while reading: the store is not touched yet
    }
}

bool CPresetSystemEffect::loadPreset(const std::string& path) {
    const int selected = programIndex;
    std::string bytes;
    std::uint64_t length = 0;
    if (!platform::readFileStart(path, kMaxReadSize, bytes, length)) return false;
    ParsedFile file;
    switch (parseProgramFile(bytes, length, kPresetType, file)) {
        case ParseResult::Ok:
            break;
        case ParseResult::ForeignMagic:
            showFileError(kInvalidFileMessage);
            return false;
        case ParseResult::WrongType:
        case ParseResult::Truncated:
            showFileError(kNotAPresetMessage);
            return false;
    }

    const ProgramRecord& record = file.records[0];
    programs[selected].setName(record.name);
    if (file.hasValues)
        for (int i = 0; i < kNumParameters; ++i) programs[selected].setValue(i, record.values[i]);
    if (editor) editor->programNameChanged(record.name);
    selectProgram(selected);
    return true;
}
