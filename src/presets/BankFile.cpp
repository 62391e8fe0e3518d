// Bank files: the whole store of 33 programs.
#include "host/AEffEditor.h"
#include "platform/Files.h"
#include "presets/CPresetSystemEffect.h"
#include "presets/FileErrors.h"
#include "presets/PresetFileFormat.h"

using namespace presetfile;

bool CPresetSystemEffect::writeBank(const std::string& folder, const std::string& fileName) {
    if (!programs || folder.empty() || fileName.empty()) return false;
    try {
        std::string bytes = fileHeader(kBankType);
        for (int j = 0; j < kNumPrograms; ++j) appendRecord(bytes, programs[j]);
        return platform::replaceFile(platform::joinPath(folder, fileName), bytes.data(), bytes.size());
    } catch (...) {
        return false;  // out of memory: nothing was written
    }
}

bool CPresetSystemEffect::readBank(const std::string& folder, const std::string& fileName) {
    if (!programs || folder.empty() || fileName.empty()) return false;
    try {
        return loadBank(platform::joinPath(folder, fileName));
    } catch (...) {
        return false;  // out of memory while reading: the store is not touched yet
    }
}

bool CPresetSystemEffect::loadBank(const std::string& path) {
    std::string bytes;
    std::uint64_t length = 0;
    if (!platform::readFileStart(path, kMaxReadSize, bytes, length)) return false;
    ParsedFile file;
    switch (parseProgramFile(bytes, length, kBankType, file)) {
        case ParseResult::Ok:
            break;
        case ParseResult::ForeignMagic:
            showFileError(kInvalidFileMessage);
            return false;
        case ParseResult::WrongType:
        case ParseResult::Truncated:
            showFileError(kNotABankMessage);
            return false;
    }

    for (int j = 0; j < static_cast<int>(file.records.size()); ++j) {
        const ProgramRecord& record = file.records[j];
        programs[j].setName(record.name);
        if (editor) editor->setProgramMenuEntry(j, record.name);
        if (file.hasValues)
            for (int i = 0; i < kNumParameters; ++i) programs[j].setValue(i, record.values[i]);
    }
    if (editor) {
        editor->setCurrentProgramMenuEntry(0);
        char name[kVstMaxProgNameLen + 1];
        programs[0].getName(name);
        editor->setProgramNameField(name);
    }
    selectProgram(0);
    return true;
}
