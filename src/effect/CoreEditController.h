// The share of EditController that every front end has in common: the core's answers about
// the parameters, the program store and the meter. What concerns the host (the edits it is
// told of, the window's size and factor, its idle, holding the plug-in) is left to the
// front end of each format.
#pragma once

#include "effect/EditController.h"

class AutoComp;

class CoreEditController : public EditController {
public:
    // core may be null: an editor of nothing, whose parameters are 0 and whose meter rests.
    explicit CoreEditController(AutoComp* core) : core(core) {}

    float parameterValue(int index) final;
    std::string parameterText(int index) final;

    bool hasPrograms() final;
    std::string programName(int program) final;
    int selectedProgram() final;
    void selectProgram(int program) final;
    void renameProgram(const std::string& name) final;
    bool readBank(const std::string& folder, const std::string& fileName) final;
    bool writeBank(const std::string& folder, const std::string& fileName) final;
    bool readPreset(const std::string& folder, const std::string& fileName) final;
    bool writePreset(const std::string& folder, const std::string& fileName) final;
    bool storeMemory(Memory memory) final;
    bool recallMemory(Memory memory) final;

    double meterGain() final;

protected:
    AutoComp* const core;
};
