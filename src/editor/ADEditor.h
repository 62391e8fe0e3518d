// The compressor's editor window: the 400 x 309 background, the gain-reduction meter, the
// process switch, the four film-strip knobs, the about area and the preset row, wired to
// the parameters, the meter and the program store of what its controller edits.
#pragma once

#include "editor/CPresetSystemEditor.h"

class CAbout;
class CAnimKnob3;
class CBitmap;
class CHorizontalSwitch;
class COldVuMeter2;

class ADEditor final : public CPresetSystemEditor {
public:
    explicit ADEditor(AudioEffect* effect);
    explicit ADEditor(EditController& controller);
    ~ADEditor() override;

    // Creates the frame and its controls in the host's window; false without a window or
    // background.
    bool open(void* window) override;
    void close() override;
    // Feeds the meter from the controller, unless the about picture is up.
    void idle() override;
    // From the effect, on any thread. On the editor's own thread the control takes the
    // value at once; from any other it waits for the next idle.
    void setParameter(VstInt32 index, float value) override;
    void clearMeter() override;
    void refreshMeter() override;

    void valueChanged(CDrawContext* context, CControl* control) override;
    int32_t controlModifierClicked(CDrawContext* context, CControl* control,
                                   int32_t buttons) override;

protected:
    void applyPendingChanges() override;

private:
    // The bitmap and the logical rectangle every constructor starts with.
    void loadBackground();
    CAnimKnob3* knobForTag(VstInt32 tag) const;
    CAnimKnob3* addKnob(int32_t tag);
    // Shows the current value of one parameter on its control.
    void showParameter(VstInt32 index);
    // The needle shows the gain reduction, 1 - meterGain.
    double meterReduction() const;

    CBitmap* background = nullptr;
    COldVuMeter2* meter = nullptr;
    CHorizontalSwitch* processSwitch = nullptr;
    CAnimKnob3* ratioKnob = nullptr;
    CAnimKnob3* timeKnob = nullptr;
    CAnimKnob3* compressionKnob = nullptr;
    CAnimKnob3* outputKnob = nullptr;
    CAbout* about = nullptr;
};
