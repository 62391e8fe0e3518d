// What the preset row's rocker and file buttons call on the editor directly, besides the
// control callbacks.
#pragma once

#include "gui/CControlListener.h"

class CPresetSystemListener : public CControlListener {
public:
    virtual void loadBank() = 0;
    virtual void saveBank() = 0;
    virtual void loadPreset() = 0;
    virtual void savePreset() = 0;
    // To the next program when up, else to the previous one.
    virtual void stepProgram(bool up) = 0;
};
