#include "editor/ADEditor.h"

#include <cmath>

#include "gui/CAnimKnob.h"
#include "gui/CBitmap.h"
#include "gui/CHorizontalSwitch.h"
#include "host/AudioEffect.h"

namespace {

enum BitmapId : int32_t {
    kBackgroundBitmap = 12128,
    kProcessSwitchBitmap = 12129,
    kCompressionKnobBitmap = 12171,
    kTimeKnobBitmap = 12173,
    kOutputKnobBitmap = 12177,
    kRatioKnobBitmap = 12181,
};

enum Tag : int32_t { kProcessTag = 0, kRatioTag = 2, kTimeTag = 4, kCompressionTag = 5, kOutputTag = 6 };

constexpr int32_t kSwitchPositions = 3;

}  // namespace

ADEditor::ADEditor(AudioEffect* effect) : AEffGUIEditor(effect) {
    background = new CBitmap(kBackgroundBitmap);
    rect.top = 0;
    rect.left = 0;
    rect.bottom = static_cast<VstInt16>(background->getHeight());
    rect.right = static_cast<VstInt16>(background->getWidth());
}

ADEditor::~ADEditor() {
    // A host may close the effect with the window still open.
    close();
    detachFromEffect();
    if (background) background->forget();
}

bool ADEditor::open(void* window) {
    if (!background || !background->isLoaded() || !window) return false;
    // Opening twice replaces the first window instead of leaking it.
    if (frame) close();
    AEffEditor::open(window);

    CRect frameSize(rect.left, rect.top, rect.left + background->getWidth(),
                    rect.top + background->getHeight());
    adoptFrame(new CFrame(frameSize, window, this));
    frame->setBackground(background);
    setKnobMode(2);

    auto* switchBitmap = new CBitmap(kProcessSwitchBitmap);
    processSwitch = new CHorizontalSwitch(CRect(262, 46, 262 + switchBitmap->getWidth(),
                                                46 + switchBitmap->getHeight() / kSwitchPositions),
                                          this, kProcessTag, kSwitchPositions,
                                          switchBitmap->getHeight() / kSwitchPositions,
                                          kSwitchPositions, switchBitmap, CPoint(0, 0));
    processSwitch->setValue(1.0f - effect->getParameter(kProcessTag));
    frame->addView(processSwitch);
    switchBitmap->forget();

    timeKnob = addKnob(CRect(28, 143, 0, 0), kTimeTag, kTimeKnobBitmap, 21, 0.5f);
    compressionKnob = addKnob(CRect(143, 143, 0, 0), kCompressionTag, kCompressionKnobBitmap, 41, 0.5f);
    outputKnob = addKnob(CRect(258, 143, 0, 0), kOutputTag, kOutputKnobBitmap, 61, 0.0f);
    ratioKnob = addKnob(CRect(50, 50, 0, 0), kRatioTag, kRatioKnobBitmap, 7, 0.5f);
    return true;
}

CAnimKnob* ADEditor::addKnob(const CRect& area, int32_t tag, int32_t bitmapId, int32_t frames,
                             float defaultValue) {
    auto* bitmap = new CBitmap(bitmapId);
    CCoord frameHeight = bitmap->getHeight() / frames;
    CRect size(area.left, area.top, area.left + bitmap->getWidth(), area.top + frameHeight);
    auto* knob = new CAnimKnob(size, this, tag, frames, frameHeight, bitmap, CPoint(0, 0));
    knob->setDefaultValue(defaultValue);
    knob->setValue(effect->getParameter(tag));
    frame->addView(knob);
    bitmap->forget();
    return knob;
}

void ADEditor::close() {
    processSwitch = nullptr;
    ratioKnob = timeKnob = compressionKnob = outputKnob = nullptr;
    destroyFrame();
}

CAnimKnob* ADEditor::knobForTag(VstInt32 tag) const {
    switch (tag) {
        case kRatioTag: return ratioKnob;
        case kTimeTag: return timeKnob;
        case kCompressionTag: return compressionKnob;
        case kOutputTag: return outputKnob;
        default: return nullptr;
    }
}

void ADEditor::setParameter(VstInt32 index, float) {
    if (!frame) return;
    if (index == kProcessTag) {
        if (processSwitch) processSwitch->setValue(1.0f - effect->getParameter(kProcessTag));
    } else if (CAnimKnob* knob = knobForTag(index)) {
        knob->setValue(effect->getParameter(index));
    }
    frame->setDirty(true);
}

void ADEditor::valueChanged(CDrawContext*, CControl* control) {
    if (!control) return;
    int32_t tag = control->getTag();
    if (tag == kProcessTag) {
        effect->setParameterAutomated(kProcessTag, 1.0f - control->getValue());
        control->setDirty(true);
        return;
    }
    if (auto* knob = knobForTag(tag)) {
        // The parameter moves in exactly the steps of the knob's film strip.
        int32_t steps = knob->getNumberOfFrames() - 1;
        float scaled = static_cast<float>(steps) * control->getValue();
        double rounded = std::trunc(static_cast<double>(scaled) + 0.5);
        effect->setParameterAutomated(tag, static_cast<float>(rounded / steps));
        control->setDirty(true);
    }
}

int32_t ADEditor::controlModifierClicked(CDrawContext*, CControl*, int32_t) { return 0; }
