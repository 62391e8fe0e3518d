#include "effect/CoreEditController.h"

#include "effect/AutoComp.h"

static_assert(EditController::kMaxProgramNameLength == kVstMaxProgNameLen);

float CoreEditController::parameterValue(int index) {
    return core ? core->getParameter(index) : 0.0f;
}

std::string CoreEditController::parameterText(int index) {
    char text[64] = "";
    if (core) core->getParameterDisplay(index, text);
    return text;
}

bool CoreEditController::hasPrograms() { return core && core->program(0); }

std::string CoreEditController::programName(int program) {
    char name[kVstMaxProgNameLen + 1] = "";
    // Names may change on another thread meanwhile: the record gives a terminated copy.
    if (const CProgram* record = core ? core->program(program) : nullptr) record->getName(name);
    return name;
}

int CoreEditController::selectedProgram() { return core ? core->getProgramIndex() : 0; }

void CoreEditController::selectProgram(int program) {
    if (core) core->selectProgram(program);
}

void CoreEditController::renameProgram(const std::string& name) {
    if (core) core->storeProgramName(name.c_str());
}

bool CoreEditController::readBank(const std::string& folder, const std::string& fileName) {
    return core && core->readBank(folder, fileName);
}

bool CoreEditController::writeBank(const std::string& folder, const std::string& fileName) {
    return core && core->writeBank(folder, fileName);
}

bool CoreEditController::readPreset(const std::string& folder, const std::string& fileName) {
    return core && core->readPreset(folder, fileName);
}

bool CoreEditController::writePreset(const std::string& folder, const std::string& fileName) {
    return core && core->writePreset(folder, fileName);
}

bool CoreEditController::storeMemory(Memory memory) {
    if (!core) return false;
    return (memory == Memory::A ? core->storeMemoA() : core->storeMemoB()) == 0;
}

bool CoreEditController::recallMemory(Memory memory) {
    if (!core) return false;
    return (memory == Memory::A ? core->recallMemoA() : core->recallMemoB()) == 0;
}

double CoreEditController::meterGain() { return core ? core->getMeterGain() : 1.0; }
