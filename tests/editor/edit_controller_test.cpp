// The editor of any front end: built on a controller that is no VST plug-in, it shows what
// the controller answers and sends every edit, selection and request to it, and to nothing
// else (there is no effect and no host here).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/ADEditor.h"
#include "editor/COldVuMeter2.h"
#include "editor/CPresetSystemEditor.h"
#include "gui/CAnimKnob.h"
#include "gui/COptionMenu.h"
#include "gui/CTextEdit.h"
#include "platform/headless/HeadlessPlatform.h"
#include "skin/SkinLayout.h"
#include "support/TemporaryFolder.h"

namespace {

class LoggingController : public EditController {
public:
    float parameterValue(int index) override { return values[index]; }
    std::string parameterText(int index) override { return std::to_string(values[index]); }
    void beginEdit(int index) override { note("begin", index); }
    void performEdit(int index, float value) override {
        values[index] = value;
        note("perform", index, std::to_string(value));
    }
    void endEdit(int index) override { note("end", index); }
    bool hasPrograms() override { return true; }
    std::string programName(int program) override { return "Program " + std::to_string(program); }
    int selectedProgram() override { return selected; }
    void selectProgram(int program) override {
        selected = program;
        note("select", program);
    }
    void renameProgram(const std::string& name) override { note("rename", 0, name); }
    bool readBank(const std::string&, const std::string& name) override { return note("read bank", 0, name); }
    bool writeBank(const std::string&, const std::string& name) override { return note("write bank", 0, name); }
    bool readPreset(const std::string&, const std::string& name) override { return note("read preset", 0, name); }
    bool writePreset(const std::string&, const std::string& name) override { return note("write preset", 0, name); }
    bool storeMemory(Memory memory) override { return note("store", memory == Memory::A ? 0 : 1); }
    bool recallMemory(Memory memory) override { return note("recall", memory == Memory::A ? 0 : 1); }
    double meterGain() override { return 0.625; }
    bool requestWindowSize(int width, int height) override {
        return note("size", width, std::to_string(height));
    }
    std::optional<double> hostScale() override { return 2.0; }
    void hostIdle() override { ++hostIdles; }
    void hold() override { ++holds; }
    void release() override { --holds; }

    float values[12] = {1.0f, 0, 0.5f, 0, 0.25f, 0.75f, 0.1f};
    int selected = 3;
    int hostIdles = 0;
    int holds = 0;
    std::vector<std::string> log;

private:
    bool note(const char* what, int index, const std::string& more = "") {
        log.push_back(std::string(what) + " " + std::to_string(index) + (more.empty() ? "" : " " + more));
        return true;
    }
};

TEST(EditorOfAnyFrontEnd, ShowsAndEditsOnlyThroughItsController) {
    TemporaryFolder config;
    ScopedEnvironment configHome{"XDG_CONFIG_HOME", config.path().c_str()};
    ScopedEnvironment noForcedScale{"KRV_UI_SCALE", nullptr};
    platform::headless::reset();
    platform::headless::setTicks(1000);
    LoggingController controller;
    ADEditor editor(controller);

    // The host's factor comes from the controller, before and after opening.
    ERect* rect = nullptr;
    ASSERT_TRUE(editor.getRect(&rect));
    EXPECT_EQ(rect->right - rect->left, 800);
    EXPECT_EQ(rect->bottom - rect->top, 618);
    ASSERT_TRUE(editor.open(reinterpret_cast<void*>(0x77)));
    CFrame* frame = editor.getFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->getScale(), 2.0);
    auto control = [&](int32_t tag) -> CControl* {
        for (int32_t i = 0; i < frame->getNbViews(); ++i)
            if (auto* view = dynamic_cast<CControl*>(frame->getView(i)); view && view->getTag() == tag)
                return view;
        return nullptr;
    };
    for (int32_t tag : {2, 4, 5, 6}) EXPECT_EQ(control(tag)->getValue(), controller.values[tag]) << tag;
    EXPECT_STREQ(static_cast<CTextEdit*>(control(CPresetSystemEditor::kNameFieldTag))->getTextPointer(),
                 "Program 3");
    auto* menu = static_cast<COptionMenu*>(control(CPresetSystemEditor::kProgramMenuTag));
    char entry[kTextControlBufferSize] = "";
    ASSERT_TRUE(menu->getEntry(33, entry));
    EXPECT_STREQ(entry, "Program 32");

    const platform::WindowHandle window = platform::headless::lastWindow();
    auto click = [&](int x, int y) {  // logical pixels; the window has twice as many
        const platform::Point device{2 * x, 2 * y};
        platform::headless::setPointer(device, 0);
        platform::headless::postButtonPress(window, device, 1);
        editor.idle();
    };
    click(352, 80);  // the process switch's right third: Off
    const skin::Rect& rocker = skin::kRocker.rect;
    click(static_cast<int>(rocker.right) - 3, static_cast<int>(rocker.centerY()));
    click(static_cast<int>(skin::kStoreB.rect.centerX()), static_cast<int>(skin::kStoreB.rect.centerY()));
    EXPECT_EQ(controller.log, std::vector<std::string>({"begin 0", "perform 0 0.000000", "end 0",
                                                        "select 4", "store 1"}));
    EXPECT_STREQ(static_cast<CTextEdit*>(control(CPresetSystemEditor::kNameFieldTag))->getTextPointer(),
                 "Program 4");
    EXPECT_FLOAT_EQ(control(COldVuMeter2::kMeterTag)->getValue(), 0.375f);

    // A drag's pump lets the host breathe through the controller.
    editor.doIdleStuff();
    EXPECT_EQ(controller.hostIdles, 1);
    EXPECT_EQ(controller.holds, 0);
    // The user's zoom changes the size: the host is asked through the controller.
    controller.log.clear();
    editor.chooseZoom(1.5);
    EXPECT_EQ(controller.log, std::vector<std::string>({"size 600 464"}));
    editor.close();
    EXPECT_EQ(platform::headless::openWindowCount(), 0);
}

}  // namespace
