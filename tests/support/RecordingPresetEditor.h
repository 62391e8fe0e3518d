// An editor that logs the preset system's calls into it, one line per call, so tests
// can check what the future preset editor will be told and in which order.
#pragma once

#include <string>
#include <vector>

#include "host/AEffEditor.h"

class RecordingPresetEditor : public AEffEditor {
public:
    using AEffEditor::AEffEditor;
    void programNameChanged(const char* name) override {
        log.push_back("renamed " + std::string(name));
    }
    void setProgramMenuEntry(int program, const char* name) override {
        log.push_back("entry " + std::to_string(program) + " " + name);
    }
    void setCurrentProgramMenuEntry(int program) override {
        log.push_back("current " + std::to_string(program));
    }
    void setProgramNameField(const char* name) override {
        log.push_back("field " + std::string(name));
    }

    std::vector<std::string> log;
};
