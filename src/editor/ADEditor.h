// The compressor's editor window: the 400 x 309 background, the process switch and the
// knobs, wired to the effect's parameters.
#pragma once

#include "editor/AEffGUIEditor.h"
#include "gui/CControlListener.h"

class CAnimKnob;
class CBitmap;
class CHorizontalSwitch;

class ADEditor final : public AEffGUIEditor, public CControlListener {
public:
    explicit ADEditor(AudioEffect* effect);
    ~ADEditor() override;

    // Creates the frame in the host's window; false without a window or background.
    bool open(void* window) override;
    void close() override;
    // From the effect, on any thread: only stores control values and dirty flags.
    void setParameter(VstInt32 index, float value) override;

    void valueChanged(CDrawContext* context, CControl* control) override;
    int32_t controlModifierClicked(CDrawContext* context, CControl* control,
                                   int32_t buttons) override;

private:
    CAnimKnob* knobForTag(VstInt32 tag) const;
    CAnimKnob* addKnob(const CRect& area, int32_t tag, int32_t bitmapId, int32_t frames,
                       float defaultValue);

    CBitmap* background = nullptr;
    CHorizontalSwitch* processSwitch = nullptr;
    CAnimKnob* ratioKnob = nullptr;
    CAnimKnob* timeKnob = nullptr;
    CAnimKnob* compressionKnob = nullptr;
    CAnimKnob* outputKnob = nullptr;
};
