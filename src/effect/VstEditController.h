// The VST 2.4 front end's share of the editor's controller: edits reach the host as
// audioMasterBeginEdit, audioMasterAutomate and audioMasterEndEdit through the plug-in's
// callback, window sizes as audioMasterSizeWindow, the factor is the one effVendorSpecific
// gave, and a held plug-in is the effect's own hold (see AudioEffect::hold).
#pragma once

#include "effect/CoreEditController.h"

class AudioEffect;
class AudioEffectX;

class VstEditController final : public CoreEditController {
public:
    // effect may be null, or an effect other than ours: then only the host's share works.
    explicit VstEditController(AudioEffect* effect);

    void beginEdit(int index) override;
    void performEdit(int index, float value) override;
    void endEdit(int index) override;
    bool requestWindowSize(int width, int height) override;
    std::optional<double> hostScale() override;
    void hostIdle() override;
    void hold() override;
    void release() override;

private:
    AudioEffect* const effect;
    AudioEffectX* const effectX;
};
