#include "editor/ADEditor.h"

#include <cmath>

#include "editor/CAbout.h"
#include "editor/CAnimKnob3.h"
#include "editor/COldVuMeter2.h"
#include "editor/CZoomMenu.h"
#include "editor/EditorLayout.h"
#include "gui/CBitmap.h"
#include "gui/CHorizontalSwitch.h"

namespace {

using editor_layout::KnobSettings;

constexpr int32_t kMeterTag = 14;
// The meter starts at rest; its levels never reach zero so that the needle's own
// smoothing has something to start from.
constexpr float kMeterRestLevel = 0.001f;

CRect rectOf(const skin::Rect& r) { return CRect(r.left, r.top, r.right, r.bottom); }

const KnobSettings* knobSettings(int32_t tag) {
    for (const KnobSettings& knob : editor_layout::kKnobs)
        if (knob.tag == tag) return &knob;
    return nullptr;
}

}  // namespace

ADEditor::ADEditor(AudioEffect* effect) : CPresetSystemEditor(effect) { loadBackground(); }

ADEditor::ADEditor(EditController& controller) : CPresetSystemEditor(controller) {
    loadBackground();
}

void ADEditor::loadBackground() {
    background = new CBitmap(skin::kBackground.id);
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
    adoptFrame(new CFrame(frameSize, window, this, editorScale()));
    frame->setBackground(background);
    setKnobMode(2);
    // Under every control: a right-click on the bare panel chooses the editor's size.
    frame->addView(new CZoomMenu(frameSize, rectOf(skin::kTitleArea), this));

    auto* lit = new CBitmap(skin::kMeterLit.id);
    auto* extra = new CBitmap(skin::kMeterExtra.id);
    auto* unlit = new CBitmap(skin::kMeterUnlit.id);
    meter = new COldVuMeter2(rectOf(skin::kMeterLit.rect), this, kMeterTag, lit, extra, unlit,
                             CPoint(skin::kNeedlePivotX, skin::kNeedlePivotY),
                             static_cast<float>(skin::kNeedleInnerRadius),
                             static_cast<float>(skin::kNeedleOuterRadius));
    meter->setDefaultValue(1.0f);
    meter->setMainLevel(kMeterRestLevel);
    meter->setPeakLevel(kMeterRestLevel);
    meter->setExtraLevel(kMeterRestLevel);
    meter->setValue(1.0f);
    frame->addView(meter);
    meter->setLit(controller.parameterValue(editor_layout::kProcessTag) != 0.0f);
    lit->forget();
    extra->forget();
    unlit->forget();

    auto* switchBitmap = new CBitmap(skin::kProcessSwitch.id);
    const int32_t positions = skin::kProcessSwitch.frames;
    processSwitch = new CHorizontalSwitch(
        rectOf(skin::kProcessSwitch.rect), this, editor_layout::kProcessTag, positions,
        skin::kProcessSwitch.frameHeight(), positions, switchBitmap, CPoint(0, 0));
    // The switch runs Valve, Clear, Off from left to right: the parameter reversed.
    processSwitch->setValue(1.0f - controller.parameterValue(editor_layout::kProcessTag));
    frame->addView(processSwitch);
    meter->setLit(controller.parameterValue(editor_layout::kProcessTag) != 0.0f);
    switchBitmap->forget();

    timeKnob = addKnob(editor_layout::kTimeKnob.tag);
    compressionKnob = addKnob(editor_layout::kCompressionKnob.tag);
    outputKnob = addKnob(editor_layout::kOutputKnob.tag);
    ratioKnob = addKnob(editor_layout::kRatioKnob.tag);

    auto* picture = new CBitmap(skin::kAbout.id);
    about = new CAbout(rectOf(skin::kTitleArea), this, editor_layout::kAboutTag, picture,
                       rectOf(skin::kAbout.rect), CPoint(0, 0));
    frame->addView(about);
    picture->forget();
    return CPresetSystemEditor::open(window);
}

CAnimKnob3* ADEditor::addKnob(int32_t tag) {
    const KnobSettings* settings = knobSettings(tag);
    auto* bitmap = new CBitmap(settings->strip->id);
    auto* knob = new CAnimKnob3(rectOf(settings->strip->rect), this, tag, bitmap,
                                settings->strip->frames);
    knob->setDefaultValue(settings->defaultValue);
    knob->setValue(controller.parameterValue(tag));
    knob->setDragSpan(settings->dragSpan);
    frame->addView(knob);
    bitmap->forget();
    return knob;
}

void ADEditor::close() {
    CPresetSystemEditor::close();
    meter = nullptr;
    processSwitch = nullptr;
    ratioKnob = timeKnob = compressionKnob = outputKnob = nullptr;
    about = nullptr;
    destroyFrame();
}

CAnimKnob3* ADEditor::knobForTag(VstInt32 tag) const {
    switch (tag) {
        case parameters::kRatio: return ratioKnob;
        case parameters::kTime: return timeKnob;
        case parameters::kCompression: return compressionKnob;
        case parameters::kOutput: return outputKnob;
        default: return nullptr;
    }
}

void ADEditor::setParameter(VstInt32 index, float) {
    if (!onEditorThread()) {
        pending.parameterChanged(index);
        return;
    }
    showParameter(index);
}

void ADEditor::showParameter(VstInt32 index) {
    if (!frame) return;
    if (index == editor_layout::kProcessTag) {
        float process = controller.parameterValue(editor_layout::kProcessTag);
        if (processSwitch) processSwitch->setValue(1.0f - process);
        if (meter) meter->setLit(process != 0.0f);
    } else if (CAnimKnob3* knob = knobForTag(index)) {
        knob->setValue(controller.parameterValue(index));
    }
    frame->setDirty(true);
}

double ADEditor::meterReduction() const { return 1.0 - controller.meterGain(); }

void ADEditor::clearMeter() {
    if (!onEditorThread()) {
        pending.meterCleared();
        return;
    }
    if (meter) meter->setValue(0.0f);
}

void ADEditor::refreshMeter() {
    if (!onEditorThread()) {
        pending.meterRefreshed();
        return;
    }
    if (meter) meter->setValue(static_cast<float>(meterReduction()));
}

void ADEditor::applyPendingChanges() {
    CPresetSystemEditor::applyPendingChanges();
    uint32_t changed = pending.takeParameters();
    for (VstInt32 index = 0; changed != 0; ++index, changed >>= 1)
        if (changed & 1u) showParameter(index);
    switch (pending.takeMeter()) {
        case PendingChanges::kCleared: clearMeter(); break;
        case PendingChanges::kRefreshed: refreshMeter(); break;
        case PendingChanges::kNone: break;
    }
}

void ADEditor::idle() {
    if (!frame) return;
    AEffGUIEditor::idle();
    // The host may have closed the window from inside the idle.
    if (!frame) return;
    if (about && about->getValue() != 0.0f) return;
    CPresetSystemEditor::idle();
    float reduction = static_cast<float>(meterReduction());
    if (reduction < 0.0f) reduction = 0.0f;
    if (reduction > 1.0f) reduction = 1.0f;
    if (meter) meter->setValue(reduction);
}

void ADEditor::valueChanged(CDrawContext* context, CControl* control) {
    if (!control) return;
    CPresetSystemEditor::valueChanged(context, control);
    int32_t tag = control->getTag();
    if (tag == editor_layout::kProcessTag) {
        controller.performEdit(tag, 1.0f - control->getValue());
        control->setDirty(true);
        if (meter) {
            meter->setLit(controller.parameterValue(tag) != 0.0f);
            meter->setDirty(true);
        }
        return;
    }
    if (CAnimKnob3* knob = knobForTag(tag)) {
        // The parameter moves in exactly the steps of the knob's film strip: the product in
        // single precision, the rounding sum in double.
        int32_t steps = knob->getNumberOfFrames() - 1;
        float scaled = static_cast<float>(steps) * control->getValue();
        double rounded = std::trunc(static_cast<double>(scaled) + 0.5);
        controller.performEdit(tag, static_cast<float>(rounded / steps));
        control->setDirty(true);
    }
}

int32_t ADEditor::controlModifierClicked(CDrawContext*, CControl*, int32_t) { return 0; }
