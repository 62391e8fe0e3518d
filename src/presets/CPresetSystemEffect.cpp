#include "presets/CPresetSystemEffect.h"

#include <cstring>
#include <new>

#include "host/AEffEditor.h"

namespace {
constexpr int kProcess = 0, kRatio = 2, kTime = 4, kCompression = 5, kOutput = 6;
}

CPresetSystemEffect::CPresetSystemEffect(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, 1, kNumParameters) {
    programs = new (std::nothrow) CProgram[kNumPrograms];
    if (programs) initPrograms();
    curProgram = 0;
}

CPresetSystemEffect::~CPresetSystemEffect() { delete[] programs; }

CProgram* CPresetSystemEffect::program(int index) {
    if (!programs || index < 0 || index >= kNumPrograms) return nullptr;
    return &programs[index];
}

void CPresetSystemEffect::initPrograms() {
    for (int k = 0; k < kNumPrograms; ++k) {
        const FactoryPreset& preset = kFactoryPresets[k];
        CProgram& target = programs[k];
        target.setName(preset.name);
        target.setValue(kProcess, preset.process);
        target.setValue(kRatio, preset.ratio);
        target.setValue(kTime, preset.time);
        target.setValue(kCompression, preset.compression);
        target.setValue(kOutput, preset.output);
    }
}

void CPresetSystemEffect::setParameter(VstInt32 index, float value) {
    if (!programs || index < 0 || index >= kNumParameters || applyingProgram) return;
    programs[programIndex].setValue(index, value);
    programs[0].setValue(index, value);
}

void CPresetSystemEffect::setProgram(VstInt32 index) {
    const CProgram* source = program(index);
    if (!source) return;
    for (int i = 0; i < kNumParameters; ++i) setParameter(i, source->getValue(i));
}

void CPresetSystemEffect::setProgramName(char* name) { renameProgram(name); }

void CPresetSystemEffect::getProgramName(char* name) {
    if (!name) return;
    if (programs)
        programs[0].getName(name);
    else
        name[0] = '\0';
}

bool CPresetSystemEffect::getProgramNameIndexed(VstInt32, VstInt32 index, char* text) {
    if (index != 0 || !programs || !text) return false;
    programs[0].getName(text);
    return true;
}

void CPresetSystemEffect::renameProgram(const char* text) {
    if (!programs || !text) return;
    char name[kVstMaxProgNameLen + 1] = {};
    std::memcpy(name, text, strnlen(text, kVstMaxProgNameLen));
    programs[programIndex].setName(name);
    programs[0].setName(name);
    if (editor) editor->programNameChanged(name);
}

void CPresetSystemEffect::storeProgramName(const char* text) {
    if (!programs || !text) return;
    programs[programIndex].setName(text);
    programs[0].setName(text);
    updateDisplay();
}

void CPresetSystemEffect::selectProgram(int index) {
    const CProgram* source = program(index);
    if (!source) return;
    applyingProgram = true;
    programIndex = index;
    for (int i = 0; i < kNumParameters; ++i) {
        float value = source->getValue(i);
        applyParameter(i, value);
        programs[0].setValue(i, value);
    }
    char name[kVstMaxProgNameLen + 1];
    source->getName(name);
    programs[0].setName(name);
    applyingProgram = false;
    updateDisplay();
}

void CPresetSystemEffect::applyParameter(int index, float value) {
    setParameter(index, value);
    if (!audioMaster) return;
    callHost(audioMasterBeginEdit, index);
    callHost(audioMasterAutomate, index, 0, nullptr, getParameter(index));
    callHost(audioMasterAutomate, index, 0, nullptr, value);
    callHost(audioMasterEndEdit, index);
}
