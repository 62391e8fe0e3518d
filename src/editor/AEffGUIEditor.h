// Editor base with a toolkit frame: the editor's rectangle, the idle pump that keeps the
// window and the host alive during drags, the process-wide knob mode, wheel and keys to
// the frame, and the start and end of a user's edit to the host.
//
// Everything the editor edits and asks of the host goes through its EditController, so
// one editor serves every plug-in format. The editor is driven as an AEffEditor (open,
// idle, close, the rectangle, keys) and hears of the core's changes through that class's
// calls; the VST 2.4 plug-in also routes its editor opcodes to it.
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

#include "editor/PendingChanges.h"
#include "effect/EditController.h"
#include "gui/CFrame.h"
#include "gui/CFrameEditor.h"
#include "host/AEffEditor.h"

class AEffGUIEditor : public AEffEditor, public CFrameEditor {
public:
    // The VST 2.4 plug-in's editor: edits the effect through a VstEditController and
    // attaches itself to it, so that the effect reports an editor to the host.
    explicit AEffGUIEditor(AudioEffect* effect);
    // The editor of what controller edits, which must outlive it. Attached to nothing: the
    // front end that made it attaches it to the core (setEditor) for the core's changes.
    explicit AEffGUIEditor(EditController& controller);
    ~AEffGUIEditor() override;

    EditController& editController() const { return controller; }

    // The window's size in device pixels: the logical size at the factor the editor is (or,
    // closed, would be) drawn at.
    bool getRect(ERect** rect) override;
    // The host's factor changed (the controller has it); taken at any time, absolute,
    // never multiplied by the desktop's factor.
    bool setContentScaleFactor(float factor) override;
    // The factor the editor's sources name now: KRV_UI_SCALE, the user's zoom, the host's
    // factor, the desktop's.
    double editorScale() const;
    // The user chose a zoom (none: Auto), kept for every instance; the open editor follows.
    void chooseZoom(std::optional<double> zoom);
    // The open editor takes the factor its sources name now; the host is told the new size.
    void applyScale();
    // Host's idle: handles our windows' events, then redraws what is dirty.
    void idle() override;
    bool onKeyDown(VstKeyCode& keyCode) override;
    bool onKeyUp(VstKeyCode& keyCode) override;
    bool onWheel(float distance) override;
    bool setKnobMode(VstInt32 mode) override;

    void beginEdit(int32_t index) override;
    void endEdit(int32_t index) override;
    // At most one full pass every 100 ms: the editor's idle, one pending paint, the
    // host's idle.
    void doIdleStuff() override;
    bool sizeWindowThroughHost(int32_t width, int32_t height) override;
    void holdForEvent() override;
    void scaleMayHaveChanged() override { applyScale(); }
    void releaseAfterEvent() override;

    CFrame* getFrame() const { return frame; }

protected:
    // Where the idle pump is: re-entered from a control's loop it must neither drain the
    // queue again nor call the host's idle from inside the host's idle.
    enum class PumpState { Idle, Pumping, InHostIdle };

    // Takes the new frame; from now on calls on this thread reach the controls at once.
    void adoptFrame(CFrame* newFrame);
    // Releases the frame and everything in it; the derived editor's close calls it. Loops
    // still running inside the frame see it go and unwind.
    void destroyFrame();
    // Detaches from the effect; the final editor's destructor calls it first.
    void detachFromEffect();
    // True on the thread that opened the window while it is open: there an effect call may
    // set controls at once. Any other thread leaves its change in pending.
    bool onEditorThread() const;
    // Applies what other threads left in pending; idle calls it first.
    virtual void applyPendingChanges() {}

    ERect rect{0, 0, 0, 0};  // logical
    ERect deviceRect{0, 0, 0, 0};
    // The zoom chosen here when it could not be stored.
    std::optional<std::optional<double>> unstoredZoom;
    int32_t lLastTicks;
    PumpState pumpState = PumpState::Idle;
    CFrame* frame = nullptr;
    PendingChanges pending;

private:
    // The controller the VST constructor makes, declared before the reference to it.
    std::unique_ptr<EditController> ownController;

protected:
    // Everything the editor edits and asks of the host.
    EditController& controller;

private:
    std::atomic<std::thread::id> editorThread{};
    std::atomic<bool> scaleToApply{false};
};
