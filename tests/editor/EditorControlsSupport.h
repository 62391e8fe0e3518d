// Shared pieces of the editor controls' tests: an editor-sized frame in a headless window
// whose idle pump can run a test's action, a recording preset listener, and film strips
// whose frames are told apart by colour.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "editor/CPresetSystemListener.h"
#include "skin/SkinLayout.h"

// A frame editor whose idle pump can act like a host that closes or redraws meanwhile.
class PumpingFrameEditor : public RecordingFrameEditor {
public:
    void doIdleStuff() override {
        RecordingFrameEditor::doIdleStuff();
        if (onIdle) onIdle();
    }
    std::function<void()> onIdle;
};

class RecordingPresetListener : public CPresetSystemListener {
public:
    void valueChanged(CDrawContext*, CControl* control) override {
        log.push_back("changed " + std::to_string(control->getTag()));
    }
    int32_t controlModifierClicked(CDrawContext*, CControl*, int32_t) override { return 0; }
    void loadBank() override { act("load bank"); }
    void saveBank() override { act("save bank"); }
    void loadPreset() override { act("load preset"); }
    void savePreset() override { act("save preset"); }
    void stepProgram(bool up) override { act(up ? "next" : "previous"); }

    std::vector<std::string> log;
    std::function<void()> duringAction;  // e.g. a file dialog the user cancels

private:
    void act(const std::string& what) {
        log.push_back(what);
        if (duringAction) duringAction();
    }
};

// Frame i of a strip is filled with red = 10 * i, so a pixel names the frame it shows.
inline CBitmap* makeNumberedStrip(int width, int frameHeight, int frames) {
    return makeBitmap(width, frameHeight * frames, [frameHeight](int, int y) {
        return CColor{static_cast<uint8_t>(10 * (y / frameHeight)), 40, 80, 255};
    });
}

// The frame a pixel drawn from a numbered strip shows.
inline int frameShownAt(const ImageContext& image, int x, int y) { return image.at(x, y).red / 10; }

// A frame of the editor's size in a headless window, at the editor's linear knob mode.
class EditorFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::reset();
        platform::headless::setTicks(1000);
        knobMode = 2;
        frame = new CFrame(CRect(0, 0, skin::kEditorWidth, skin::kEditorHeight),
                           reinterpret_cast<void*>(0x42), &editor);
    }
    void TearDown() override {
        if (frame) frame->forget();
    }
    // Adds a control created by the test; the frame takes over the test's reference.
    template <typename T>
    T* add(T* control) {
        frame->addView(control);
        return control;
    }

    PumpingFrameEditor editor;
    CFrame* frame = nullptr;
};
