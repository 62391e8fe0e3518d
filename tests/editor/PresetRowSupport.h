// The preset row's tests: an editor that makes its frame the way the compressor's editor
// does and then lets the preset-system base add the row, on an in-process effect driven
// through its dispatcher, with clicks posted to the headless window.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "editor/CPresetSystemEditor.h"
#include "gui/COptionMenu.h"
#include "gui/CTextEdit.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/HeadlessServices.h"
#include "platform/headless/RecordedMessageBoxes.h"
#include "skin/SkinLayout.h"
#include "support/InProcessEffect.h"

class PresetRowEditor : public CPresetSystemEditor {
public:
    explicit PresetRowEditor(AudioEffect* effect) : CPresetSystemEditor(effect) {
        rect.right = skin::kEditorWidth;
        rect.bottom = skin::kEditorHeight;
    }
    ~PresetRowEditor() override {
        close();
        detachFromEffect();
    }
    bool open(void* window) override {
        if (!window) return false;
        if (frame) close();
        AEffEditor::open(window);
        adoptFrame(new CFrame(CRect(0, 0, rect.right, rect.bottom), window, this));
        return CPresetSystemEditor::open(window);
    }
    void close() override {
        CPresetSystemEditor::close();
        destroyFrame();
        AEffEditor::close();
    }
    void idle() override {
        AEffGUIEditor::idle();
        CPresetSystemEditor::idle();
    }
    // Runs after each turn of the idle pump, as a host that acts meanwhile.
    void doIdleStuff() override {
        AEffGUIEditor::doIdleStuff();
        if (duringPump) duringPump();
    }

    std::function<void()> duringPump;
};

class PresetRowTest : public ::testing::Test {
protected:
    static inline void* const kHostWindow = reinterpret_cast<void*>(0x77);

    void SetUp() override {
        platform::headless::reset();
        platform::headless::setTicks(1000);
        platform::clearRecordedMessageBoxes();
        editor = new PresetRowEditor(&fixture.effect());
        fixture.host.clear();
    }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) {
        return fixture.record()->dispatcher(fixture.record(), opcode, index, value, ptr, opt);
    }
    void open() { ASSERT_EQ(dispatch(effEditOpen, 0, 0, kHostWindow), 1); }
    void idle() { dispatch(effEditIdle); }
    CFrame* frame() const { return editor->getFrame(); }

    template <typename T>
    T* control(int32_t tag) const {
        if (!frame()) return nullptr;
        for (int32_t i = 0; i < frame()->getNbViews(); ++i) {
            auto* view = dynamic_cast<CControl*>(frame()->getView(i));
            if (view && view->getTag() == tag) return dynamic_cast<T*>(view);
        }
        return nullptr;
    }
    CTextEdit* nameField() const { return control<CTextEdit>(CPresetSystemEditor::kNameFieldTag); }
    COptionMenu* menu() const { return control<COptionMenu>(CPresetSystemEditor::kProgramMenuTag); }
    std::string fieldText() const { return nameField()->getTextPointer(); }
    std::string entry(int32_t index) const {
        char text[kTextControlBufferSize] = "";
        EXPECT_TRUE(menu()->getEntry(index, text)) << index;
        return text;
    }
    std::string storedName(int program) {
        char name[kVstMaxProgNameLen + 1] = "";
        fixture.effect().program(program)->getName(name);
        return name;
    }

    // A left click where the user sees the point, handled by the next host idle.
    void click(int x, int y) {
        platform::headless::setPointer(platform::Point{x, y}, 0);
        platform::headless::postButtonPress(platform::headless::lastWindow(),
                                            platform::Point{x, y}, 1);
        idle();
    }
    void clickCenterOf(const skin::Rect& area) {
        click(static_cast<int>(area.centerX()), static_cast<int>(area.centerY()));
    }

    InProcessEffect fixture;
    PresetRowEditor* editor = nullptr;  // owned by the effect
};
