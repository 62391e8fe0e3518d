// Text edit: the box it opens over itself, the cycle of typing and closing with its edit
// bracket, host keys, double clicks, and closing with the frame.
#include <cstring>

#include "TextControlsSupport.h"
#include "gui/CTextEdit.h"
#include "gui/KeyCodes.h"
#include "platform/headless/HeadlessServices.h"

namespace {

using platform::Key;
using platform::KeyName;
using platform::headless::editBoxLoseFocus;
using platform::headless::openEditBox;
using platform::headless::pressEditBoxKey;
using platform::headless::typeIntoEditBox;

std::string textOf(const CTextEdit& edit) {
    char text[kTextControlBufferSize] = "?";
    edit.getText(text);
    return text;
}

class TextEditTest : public TextControlsTest {
protected:
    // A name field at (20, 10, 120, 24) of a container at (30, 40).
    void SetUp() override {
        TextControlsTest::SetUp();
        container = new NotedContainer(CRect(30, 40, 190, 140), frame);
        frame->addView(container);
        edit = new CTextEdit(CRect(20, 10, 120, 24), &recorder, 43, "Current");
        edit->setFont(kNormalFontSmall);
        edit->setFontColor(CColor{76, 76, 72, 255});
        edit->setBackColor(CColor{207, 222, 235, 255});
        edit->setHoriAlign(kCenterText);
        container->addView(edit);
    }
    // A click on the field, through the frame.
    void clickField() { click(CPoint(30 + 25, 40 + 15)); }
    std::vector<std::string> notes() const {
        std::vector<std::string> messages;
        for (const auto& note : container->notes) {
            EXPECT_EQ(note.sender, edit);
            messages.push_back(note.message);
        }
        return messages;
    }

    NotedContainer* container = nullptr;
    CTextEdit* edit = nullptr;
};

TEST_F(TextEditTest, AClickOpensABoxOverTheFieldWithItsTextFontAndColours) {
    clickField();
    auto box = openEditBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->parent, window);
    EXPECT_EQ(box->area.left, 30 + 20);
    EXPECT_EQ(box->area.top, 40 + 10);
    EXPECT_EQ(box->area.width(), 100);
    EXPECT_EQ(box->area.height(), 14);
    EXPECT_EQ(box->text, "Current");
    EXPECT_TRUE(box->allSelected);
    EXPECT_EQ(box->style.font.face, "Arial");
    EXPECT_EQ(box->style.font.pixelHeight, 11);
    EXPECT_FALSE(box->style.font.bold);
    EXPECT_EQ(box->style.text, (platform::Color{76, 76, 72, 255}));
    EXPECT_EQ(box->style.background, (platform::Color{207, 222, 235, 255}));
    EXPECT_EQ(box->style.align, platform::TextAlign::Center);
    EXPECT_TRUE(edit->isEditing());
    EXPECT_EQ(frame->getFocusView(), edit);
    EXPECT_EQ(editor.edits, std::vector<std::string>({"begin 43"}));
}

TEST_F(TextEditTest, ReturnTakesTheTypedTextAndClosesTheEdit) {
    clickField();
    int idlesBefore = editor.idles;
    typeIntoEditBox("Kick");
    pressEditBoxKey(Key{0, KeyName::Return, 0});
    EXPECT_FALSE(openEditBox());
    EXPECT_FALSE(edit->isEditing());
    EXPECT_EQ(textOf(*edit), "Kick");
    EXPECT_TRUE(edit->wasReturnPressed());
    ASSERT_EQ(recorder.controls.size(), 1u);
    EXPECT_EQ(recorder.controls[0], edit);
    EXPECT_EQ(editor.edits, std::vector<std::string>({"begin 43", "end 43"}));
    EXPECT_EQ(notes(), std::vector<std::string>({kMsgLooseFocus}));
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_GT(editor.idles, idlesBefore);
    EXPECT_TRUE(edit->isDirty());  // the new text gets drawn
}

TEST_F(TextEditTest, AnUnchangedTextSendsNoValueChangeButStillLosesFocus) {
    clickField();
    pressEditBoxKey(Key{0, KeyName::Return, 0});
    EXPECT_TRUE(recorder.controls.empty());
    EXPECT_EQ(textOf(*edit), "Current");
    EXPECT_EQ(editor.edits, std::vector<std::string>({"begin 43", "end 43"}));
    EXPECT_EQ(notes(), std::vector<std::string>({kMsgLooseFocus}));
}

TEST_F(TextEditTest, LosingFocusOrAClickElsewhereAlsoTakesTheText) {
    clickField();
    typeIntoEditBox("Bus");
    editBoxLoseFocus();
    EXPECT_EQ(textOf(*edit), "Bus");
    EXPECT_FALSE(edit->wasReturnPressed());
    EXPECT_EQ(recorder.controls.size(), 1u);

    clickField();
    typeIntoEditBox("Vocal");
    click(CPoint(5, 5));  // on the frame, away from the field
    EXPECT_FALSE(openEditBox());
    EXPECT_EQ(textOf(*edit), "Vocal");
    EXPECT_EQ(recorder.controls.size(), 2u);
    EXPECT_EQ(editor.edits, std::vector<std::string>({"begin 43", "end 43", "begin 43", "end 43"}));
}

TEST_F(TextEditTest, HostKeysReachTheOpenBoxFirst) {
    VstKeyCode letter = toVstKeyCode(Key{'L', KeyName::Unnamed, 0});
    VstKeyCode ret = toVstKeyCode(Key{0, KeyName::Return, 0});
    EXPECT_EQ(frame->onKeyDown(letter), -1);  // no box: nobody wants it

    clickField();
    EXPECT_EQ(frame->onKeyDown(letter), 1);
    EXPECT_EQ(frame->onKeyUp(letter), 1);
    EXPECT_EQ(openEditBox()->text, "L");  // the selected text was replaced
    EXPECT_EQ(frame->onKeyDown(ret), 1);
    EXPECT_FALSE(openEditBox());
    EXPECT_EQ(textOf(*edit), "L");
    EXPECT_EQ(recorder.controls.size(), 1u);
}

TEST_F(TextEditTest, TextsAreCutTo255CharactersAndOnlyPrintableBytesAreTyped) {
    edit->setText(std::string(300, 'a').c_str());
    EXPECT_EQ(textOf(*edit), std::string(255, 'a'));
    clickField();
    EXPECT_EQ(openEditBox()->text.size(), 255u);
    typeIntoEditBox(std::string("x\x01y\n") + std::string(300, 'z'));
    pressEditBoxKey(Key{0, KeyName::Return, 0});
    std::string taken = textOf(*edit);
    EXPECT_EQ(taken.size(), 255u);
    EXPECT_EQ(taken.substr(0, 3), "xyz");
}

TEST_F(TextEditTest, WithDoubleClickStyleOnlyTheSecondOfTwoCloseClicksOpens) {
    edit->setStyle(kDoubleClickStyle);
    platform::headless::setTicks(1000);
    clickField();
    EXPECT_FALSE(openEditBox());
    platform::headless::setTicks(1600);  // further apart than the double-click delay
    clickField();
    EXPECT_FALSE(openEditBox());
    platform::headless::setTicks(1650);
    clickField();
    EXPECT_TRUE(openEditBox());
    EXPECT_EQ(editor.edits, std::vector<std::string>({"begin 43"}));
}

TEST_F(TextEditTest, OnlyLeftClicksOpenAndTheListenerMayTakeModifierClicks) {
    clickField();
    pressEditBoxKey(Key{0, KeyName::Return, 0});
    editor.edits.clear();
    click(CPoint(55, 55), kRButton);
    EXPECT_FALSE(openEditBox());
    recorder.modifierAnswer = 1;
    click(CPoint(55, 55), kLButton | kControl);
    EXPECT_FALSE(openEditBox());
    EXPECT_EQ(recorder.modifierClicks, std::vector<int32_t>({kLButton | kControl}));
    EXPECT_TRUE(editor.edits.empty());
}

TEST_F(TextEditTest, WhileOpenTheFieldDrawsNothingAndAfterwardsItsShownText) {
    ImageContext open(200, 150, frame);
    clickField();
    edit->draw(open.context);
    EXPECT_FALSE(edit->isDirty());
    EXPECT_EQ(open.at(30, 15), kBlackCColor);  // the box covers it

    pressEditBoxKey(Key{0, KeyName::Return, 0});
    edit->setTextEditConvert([](const char* input, char* output) {
        std::strcpy(output, input);
        std::strcat(output, "!");
    });
    ImageContext converted(200, 150, frame);
    edit->draw(converted.context);

    CTextEdit* reference = new CTextEdit(CRect(20, 10, 120, 24), nullptr, 0, "Current!");
    reference->setFont(kNormalFontSmall);
    reference->setFontColor(CColor{76, 76, 72, 255});
    reference->setBackColor(CColor{207, 222, 235, 255});
    ImageContext expected(200, 150, frame);
    reference->draw(expected.context);
    reference->forget();
    int differing = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 150; ++x)
            if (converted.at(x, y) != expected.at(x, y)) ++differing;
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(textOf(*edit), "Current");  // the conversion only shows
}

TEST_F(TextEditTest, AValueCallbackOfTheDisplayAlsoReplacesTheText) {
    static char data[] = "from value";
    edit->setStringConvert(
        [](float, char* text, void* userData) {
            std::strcpy(text, static_cast<const char*>(userData));
        },
        data);
    ImageContext context(200, 150, frame);
    edit->draw(context.context);
    EXPECT_EQ(textOf(*edit), "from value");
}

TEST_F(TextEditTest, SetTextMarksDirtyOnlyOnAChange) {
    edit->setDirty(false);
    edit->setText("Current");
    EXPECT_FALSE(edit->isDirty());
    edit->setText(nullptr);
    EXPECT_TRUE(edit->isDirty());
    EXPECT_EQ(textOf(*edit), "");
    edit->setDirty(false);
    edit->setText(nullptr);
    EXPECT_FALSE(edit->isDirty());
    edit->getText(nullptr);  // no buffer: nothing to do
}

TEST_F(TextEditTest, AClosedFrameTakesTheTextButTellsNoListener) {
    clickField();
    typeIntoEditBox("Late");
    frame->setOpenFlag(false);  // the host closed the editor window meanwhile
    pressEditBoxKey(Key{0, KeyName::Return, 0});
    EXPECT_FALSE(openEditBox());
    EXPECT_TRUE(recorder.controls.empty());
    EXPECT_EQ(textOf(*edit), "Late");
}

TEST(TextEditClosing, DestroyingTheFrameClosesTheBoxWithoutAWord) {
    platform::headless::reset();
    RecordingFrameEditor editor;
    ControlRecorder recorder;
    auto* frame = new CFrame(CRect(0, 0, 200, 100), reinterpret_cast<void*>(0x42), &editor);
    auto* edit = new CTextEdit(CRect(10, 10, 110, 24), &recorder, 43, "Name");
    edit->remember();  // outlives the frame
    frame->addView(edit);
    CPoint where(20, 15);
    {
        ImageContext context(1, 1, frame);
        frame->mouse(context.context, where, kLButton);
    }
    typeIntoEditBox("Other");
    ASSERT_TRUE(openEditBox());
    frame->forget();
    EXPECT_FALSE(openEditBox());
    EXPECT_TRUE(recorder.controls.empty());
    EXPECT_EQ(editor.edits, std::vector<std::string>({"begin 43"}));
    EXPECT_FALSE(edit->isEditing());
    EXPECT_FALSE(editBoxLoseFocus());  // nothing left to report
    edit->forget();
}

TEST(TextEditClosing, AFrameWithoutAWindowOpensNoBox) {
    platform::headless::reset();
    RecordingFrameEditor editor;
    auto* frame = new CFrame(CRect(0, 0, 200, 100), nullptr, &editor);
    auto* edit = new CTextEdit(CRect(10, 10, 110, 24), nullptr, 43, "Name");
    frame->addView(edit);
    edit->takeFocus(nullptr);
    EXPECT_FALSE(openEditBox());
    EXPECT_EQ(platform::headless::editBoxesCreated(), 0);
    frame->forget();
}

}  // namespace
