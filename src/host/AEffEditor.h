// The minimal editor the host drives through the editor opcodes, plus the calls the
// effect makes into its editor. Those calls are no-ops here, so the effect can make
// them on any editor; the GUI editor turns them into control values and dirty flags.
#pragma once

#include "host/vst_abi.h"

class AudioEffect;

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect) : effect(effect) {}
    virtual ~AEffEditor() = default;
    AEffEditor(const AEffEditor&) = delete;
    AEffEditor& operator=(const AEffEditor&) = delete;

    virtual AudioEffect* getEffect() { return effect; }
    virtual bool getRect(ERect** rect) {
        if (rect) *rect = nullptr;
        return false;
    }
    virtual bool open(void* window) {
        systemWindow = window;
        return false;
    }
    virtual void close() { systemWindow = nullptr; }
    virtual bool isOpen() { return systemWindow != nullptr; }
    virtual void idle() {}
    virtual bool onKeyDown(VstKeyCode& /*key*/) { return false; }
    virtual bool onKeyUp(VstKeyCode& /*key*/) { return false; }
    virtual bool onWheel(float /*distance*/) { return false; }
    virtual bool setKnobMode(VstInt32 /*mode*/) { return false; }
    // The host gave a factor for the editor's window (1.5: half as large again), which the
    // effect keeps (AudioEffectX::getContentScaleFactor); false when the editor does not
    // scale.
    virtual bool setContentScaleFactor(float /*factor*/) { return false; }

    // Effect to editor. These may arrive on the audio thread: they only set control
    // values and dirty flags, never draw.
    virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}
    virtual void programNameChanged(const char* /*name*/) {}
    virtual void clearMeter() {}
    virtual void refreshMeter() {}
    // A bank or preset file was read. Menu entries are addressed by program number; the
    // editor maps them past its separator.
    virtual void setProgramMenuEntry(int /*program*/, const char* /*name*/) {}
    virtual void setCurrentProgramMenuEntry(int /*program*/) {}
    virtual void setProgramNameField(const char* /*name*/) {}

protected:
    AudioEffect* effect;
    void* systemWindow = nullptr;
};
