#include "editor/AEffGUIEditor.h"

#include <cmath>

#include "editor/ScaleChoice.h"
#include "effect/VstEditController.h"
#include "gui/CDrawContext.h"
#include "host/AudioEffect.h"
#include "platform/Clock.h"
#include "platform/DeviceScale.h"
#include "platform/DisplayScale.h"
#include "platform/NativeWindow.h"

namespace {
constexpr int32_t kIdleInterval = 100;
constexpr int32_t kEarlySleep = 4;
constexpr int32_t kEarlyTolerance = 50;
}  // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect)
    : AEffEditor(effect),
      lLastTicks(platform::tickCount()),
      ownController(std::make_unique<VstEditController>(effect)),
      controller(*ownController) {
    if (effect) effect->setEditor(this);
}

AEffGUIEditor::AEffGUIEditor(EditController& controller)
    : AEffEditor(nullptr), lLastTicks(platform::tickCount()), controller(controller) {}

AEffGUIEditor::~AEffGUIEditor() {
    destroyFrame();
    detachFromEffect();
}

void AEffGUIEditor::detachFromEffect() {
    if (effect && effect->getEditor() == this) effect->setEditor(nullptr);
}

void AEffGUIEditor::adoptFrame(CFrame* newFrame) {
    frame = newFrame;
    // The controls are built from the effect's current state; nothing older is pending.
    pending.clear();
    editorThread.store(std::this_thread::get_id(), std::memory_order_release);
}

void AEffGUIEditor::destroyFrame() {
    editorThread.store(std::thread::id(), std::memory_order_release);
    if (!frame) return;
    CFrame* closing = frame;
    frame = nullptr;
    closing->detachEditor();
    closing->forget();
}

bool AEffGUIEditor::onEditorThread() const {
    return editorThread.load(std::memory_order_acquire) == std::this_thread::get_id() &&
           frame != nullptr;
}

bool AEffGUIEditor::getRect(ERect** outRect) {
    if (!outRect) return false;
    const double scale = frame ? frame->getScale() : editorScale();
    deviceRect = ERect{static_cast<VstInt16>(platform::toDevice(rect.top, scale)),
                       static_cast<VstInt16>(platform::toDevice(rect.left, scale)),
                       static_cast<VstInt16>(platform::toDevice(rect.bottom, scale)),
                       static_cast<VstInt16>(platform::toDevice(rect.right, scale))};
    *outRect = &deviceRect;
    return true;
}

bool AEffGUIEditor::setContentScaleFactor(float factor) {
    if (!std::isfinite(factor) || factor <= 0.0f) return false;
    applyScale();
    return true;
}

double AEffGUIEditor::editorScale() const {
    editor_scale::ScaleSources sources;
    sources.forced = editor_scale::forcedScale();
    sources.user = unstoredZoom ? *unstoredZoom : editor_scale::storedZoom();
    sources.host = controller.hostScale();
    sources.desktop = platform::desktopScaleFactor(
        reinterpret_cast<platform::WindowHandle>(systemWindow));
    return editor_scale::chooseScale(sources);
}

void AEffGUIEditor::chooseZoom(std::optional<double> zoom) {
    if (editor_scale::storeZoom(zoom))
        unstoredZoom.reset();
    else
        unstoredZoom = zoom;
    applyScale();
}

void AEffGUIEditor::applyScale() {
    // Another thread leaves it to the next idle: the window is the editor thread's.
    if (!onEditorThread()) {
        scaleToApply.store(true, std::memory_order_release);
        return;
    }
    scaleToApply.store(false, std::memory_order_release);
    frame->setScale(editorScale());
}

void AEffGUIEditor::idle() {
    if (frame) applyPendingChanges();
    if (frame && scaleToApply.load(std::memory_order_acquire)) applyScale();
    // Inside a drag loop only the pump lets events through, one paint at a time.
    if (pumpState == PumpState::Idle) platform::processPendingEvents();
    if (pumpState != PumpState::InHostIdle && frame) {
        frame->idle();
        platform::flushDrawing();
    }
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode) {
    return frame && frame->onKeyDown(keyCode) == 1;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode) { return frame && frame->onKeyUp(keyCode) == 1; }

bool AEffGUIEditor::onWheel(float distance) {
    if (!frame) return false;
    CDrawContext* context = new CDrawContext(frame, nullptr, frame->getNativeWindow());
    CPoint where;
    context->getMouseLocation(where);
    bool handled = frame->onWheel(context, where, distance);
    context->forget();
    return handled;
}

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
    knobMode = mode;
    return true;
}

void AEffGUIEditor::beginEdit(int32_t index) { controller.beginEdit(index); }

void AEffGUIEditor::endEdit(int32_t index) { controller.endEdit(index); }

bool AEffGUIEditor::sizeWindowThroughHost(int32_t width, int32_t height) {
    return controller.requestWindowSize(width, height);
}

void AEffGUIEditor::holdForEvent() { controller.hold(); }

void AEffGUIEditor::releaseAfterEvent() {
    // May delete the effect and this editor with it: nothing may follow.
    controller.release();
}

void AEffGUIEditor::doIdleStuff() {
    int32_t now = platform::tickCount();
    if (now < lLastTicks) {
        platform::sleepMilliseconds(kEarlySleep);
        now += kEarlySleep;
        if (now < lLastTicks - kEarlyTolerance) return;
    }
    PumpState outer = pumpState;
    pumpState = PumpState::Pumping;
    idle();
    platform::dispatchOnePendingPaint();
    lLastTicks = now + kIdleInterval;
    pumpState = PumpState::InHostIdle;
    controller.hostIdle();
    pumpState = outer;
}
