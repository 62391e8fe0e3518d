// The editor opcodes reach an attached editor with the arguments the host gave, and the
// effect tells its editor about every change.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "host/AEffEditor.h"
#include "support/InProcessEffect.h"

namespace {

class RecordingEditor : public AEffEditor {
public:
    using AEffEditor::AEffEditor;
    bool getRect(ERect** rect) override {
        *rect = &area;
        return true;
    }
    bool open(void* window) override {
        AEffEditor::open(window);
        return true;
    }
    void idle() override { ++idles; }
    bool onKeyDown(VstKeyCode& key) override {
        keys.push_back(key);
        return key.virt == VKEY_UP;
    }
    bool onKeyUp(VstKeyCode& key) override {
        keys.push_back(key);
        return false;
    }
    bool setKnobMode(VstInt32 mode) override {
        knobMode = mode;
        return true;
    }
    void setParameter(VstInt32 index, float value) override {
        parameters.push_back({index, value});
    }
    void programNameChanged(const char* name) override { names.push_back(name); }

    ERect area{0, 0, 309, 400};
    int idles = 0;
    VstInt32 knobMode = -1;
    std::vector<VstKeyCode> keys;
    std::vector<std::pair<VstInt32, float>> parameters;
    std::vector<std::string> names;
};

class EditorOpcodesTest : public ::testing::Test {
protected:
    void SetUp() override {
        editor = new RecordingEditor(&fixture.effect());
        fixture.effect().setEditor(editor);
    }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) {
        return fixture.record()->dispatcher(fixture.record(), opcode, index, value, ptr, opt);
    }
    InProcessEffect fixture;
    RecordingEditor* editor = nullptr;  // owned by the effect
};

TEST_F(EditorOpcodesTest, AttachedEditorSetsTheFlagAndAnswersTheWindowOpcodes) {
    EXPECT_EQ(fixture.record()->flags, 0x1011);
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 400);
    int window = 0;
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, &window), 1);
    EXPECT_TRUE(editor->isOpen());
    EXPECT_EQ(dispatch(effEditIdle), 0);
    EXPECT_EQ(editor->idles, 1);
    EXPECT_EQ(dispatch(effSetEditKnobMode, 0, 2), 1);
    EXPECT_EQ(editor->knobMode, 2);
    EXPECT_EQ(dispatch(effEditClose), 0);
    EXPECT_FALSE(editor->isOpen());
}

TEST_F(EditorOpcodesTest, KeyCodesCarryTheLowBytesOfValueAndModifiers) {
    EXPECT_EQ(dispatch(effEditKeyDown, 'q', 0x1234, nullptr, 265.0f), 0);
    EXPECT_EQ(dispatch(effEditKeyDown, 0, VKEY_UP, nullptr, MODIFIER_SHIFT), 1);
    EXPECT_EQ(dispatch(effEditKeyUp, 'q', VKEY_UP), 0);
    ASSERT_EQ(editor->keys.size(), 3u);
    EXPECT_EQ(editor->keys[0].character, 'q');
    EXPECT_EQ(editor->keys[0].virt, 0x34);
    EXPECT_EQ(editor->keys[0].modifier, 265 & 0xFF);
    EXPECT_EQ(editor->keys[1].modifier, MODIFIER_SHIFT);
}

// A host that passes garbage as the modifier float gets no modifier, not undefined behaviour.
TEST_F(EditorOpcodesTest, NonFiniteOrHugeModifiersGiveNone) {
    for (float opt : {std::numeric_limits<float>::quiet_NaN(),
                      std::numeric_limits<float>::infinity(), 1e30f, -1e30f})
        dispatch(effEditKeyDown, 0, 1, nullptr, opt);
    ASSERT_EQ(editor->keys.size(), 4u);
    for (const VstKeyCode& key : editor->keys) EXPECT_EQ(key.modifier, 0);
}

TEST_F(EditorOpcodesTest, EditorHearsEveryStoredParameterAndRename) {
    fixture.record()->setParameter(fixture.record(), 5, 1.5f);
    fixture.record()->setParameter(fixture.record(), 12, 0.5f);
    ASSERT_EQ(editor->parameters.size(), 1u);
    EXPECT_EQ(editor->parameters[0].first, 5);
    EXPECT_EQ(editor->parameters[0].second, 1.0f);
    char name[] = "Renamed";
    dispatch(effSetProgramName, 0, 0, name);
    ASSERT_EQ(editor->names.size(), 1u);
    EXPECT_EQ(editor->names[0], "Renamed");
}

TEST_F(EditorOpcodesTest, DetachedEditorClearsTheFlag) {
    fixture.effect().setEditor(nullptr);
    delete editor;
    EXPECT_EQ(fixture.record()->flags, 0x1010);
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, &rect), 0);
    EXPECT_EQ(dispatch(effSetEditKnobMode, 0, 2), 0);
    EXPECT_EQ(dispatch(effEditKeyDown, 0, VKEY_UP), 0);
}

}  // namespace
