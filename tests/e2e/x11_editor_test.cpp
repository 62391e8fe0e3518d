// The built plug-in's editor on a real X server (a private Xvfb), loaded through its
// entry point and embedded in a top-level window as a host does; input comes from
// xdotool, pixels from screenshots.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "hosting/RecordingHost.h"
#include "platform/Canvas.h"
#include "platform/HostWindow.h"
#include "platform/MessageBox.h"
#include "platform/NativeWindow.h"
#include "skin/SkinBitmaps.h"
#include "support/SilentWindow.h"
#include "support/XvfbSuite.h"

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 309;

struct Area {
    int left, top, right, bottom;
    // The base knob's handle line may end one pixel outside its rectangle.
    bool contains(int x, int y) const {
        return x >= left - 1 && x <= right && y >= top - 1 && y <= bottom;
    }
};
const Area kSwitch{262, 46, 368, 124};
const Area kMeter{150, 66, 250, 109};
const Area kPresetRow{55, 278, 339, 308};  // name field and buttons draw themselves
const Area kControls[] = {kSwitch, kMeter, kPresetRow, {28, 143, 142, 257},
                          {143, 143, 257, 257}, {258, 143, 372, 257}, {50, 50, 120, 120}};

platform::Color skinPixel(const SkinBitmap* bitmap, int x, int y) {
    const unsigned char* rgb = bitmap->rgb + (size_t(y) * size_t(bitmap->width) + size_t(x)) * 3;
    return platform::Color{rgb[0], rgb[1], rgb[2], 255};
}

class X11EditorTest : public XvfbSuite {
protected:
    void SetUp() override {
        ASSERT_TRUE(serverError.empty()) << serverError;
        std::string error;
        library = PluginLibrary::open(KRV_PLUGIN_PATH, error);
        ASSERT_TRUE(library) << error;
        plugin = HostedEffect::create(*library, host, error);
        ASSERT_TRUE(plugin) << error;
        window = platform::HostWindow::create("test host", kWidth, kHeight, error);
        ASSERT_TRUE(window) << error;
        host.recordIdle = false;
    }
    void TearDown() override {
        plugin.reset();
        window.reset();
        library.reset();
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr) {
        return plugin->dispatch(opcode, index, value, ptr);
    }
    VstIntPtr openIn(platform::HostWindow& parent) {
        return dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent.handle()));
    }
    // Host idle calls, about as often as a host makes them.
    void pump(int times) {
        for (int i = 0; i < times; ++i) {
            window->processEvents();
            dispatch(effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    std::unique_ptr<platform::Canvas> screenshot(platform::HostWindow& of) {
        std::string path = ::testing::TempDir() + "x11_editor_" + std::to_string(getpid()) + ".png";
        EXPECT_TRUE(of.saveScreenshot(path));
        auto image = platform::Canvas::readPng(path);
        std::remove(path.c_str());
        return image;
    }
    // Background pixels that differ, on a grid that leaves out the controls.
    static int backgroundMismatches(const platform::Canvas& image) {
        const SkinBitmap* background = findSkinBitmap(12128);
        if (!background) return -1;
        int mismatches = 0;
        for (int y = 0; y < kHeight; y += 2)
            for (int x = 0; x < kWidth; x += 2) {
                bool onControl = false;
                for (const Area& area : kControls) onControl = onControl || area.contains(x, y);
                if (!onControl && image.pixel(x, y) != skinPixel(background, x, y)) {
                    if (mismatches < 5) ADD_FAILURE() << "differs at " << x << "," << y;
                    ++mismatches;
                }
            }
        return mismatches;
    }
    // Does the switch show film-strip frame index (0 left ... 2 right)?
    static bool switchShows(const platform::Canvas& image, int index) {
        const SkinBitmap* strip = findSkinBitmap(12129);
        if (!strip) return false;
        for (int y = 0; y < 78; y += 3)
            for (int x = 0; x < 106; x += 3)
                if (image.pixel(kSwitch.left + x, kSwitch.top + y) != skinPixel(strip, x, index * 78 + y))
                    return false;
        return true;
    }
    static void xdotool(const std::string& arguments) {
        ASSERT_EQ(std::system(("xdotool " + arguments).c_str()), 0) << "xdotool " << arguments;
    }
    std::string display(VstInt32 index) { return plugin->parameterDisplay(index); }

    RecordingHost host;
    std::unique_ptr<PluginLibrary> library;
    std::unique_ptr<HostedEffect> plugin;
    std::unique_ptr<platform::HostWindow> window;
};


TEST_F(X11EditorTest, TheEditorIsFourHundredByThreeHundredNine) {
    EXPECT_EQ(plugin->effect()->flags, 0x1011);
    ERect* rect = nullptr;
    ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, kWidth);
    EXPECT_EQ(rect->bottom - rect->top, kHeight);
}

TEST_F(X11EditorTest, OpeningPaintsTheBackgroundAndTheSwitchPosition) {
    plugin->setParameter(0, 1.0f);
    ASSERT_EQ(openIn(*window), 1);
    pump(10);
    auto image = screenshot(*window);
    ASSERT_TRUE(image);
    EXPECT_EQ(backgroundMismatches(*image), 0);
    EXPECT_TRUE(switchShows(*image, 0));  // "Process" 1.0: the left frame
    dispatch(effEditClose);

    plugin->setParameter(0, 0.0f);
    ASSERT_EQ(openIn(*window), 1);
    pump(10);
    image = screenshot(*window);
    EXPECT_TRUE(switchShows(*image, 2));  // 0.0: the right frame
}

TEST_F(X11EditorTest, HostAutomationMovesTheSwitchOnTheNextIdle) {
    plugin->setParameter(0, 1.0f);
    openIn(*window);
    pump(10);
    plugin->setParameter(0, 0.0f);
    pump(1);
    pump(2);  // let the server catch up before the picture is taken
    auto image = screenshot(*window);
    EXPECT_TRUE(switchShows(*image, 2));
}

TEST_F(X11EditorTest, AClickOnTheSwitchsRightThirdTurnsProcessingOff) {
    plugin->setParameter(0, 1.0f);
    openIn(*window);
    pump(10);
    host.clear();
    xdotool("mousemove --sync 352 80 click 1");
    for (int i = 0; i < 100 && plugin->getParameter(0) != 0.0f; ++i) pump(1);
    EXPECT_EQ(display(0), "Off");
    std::vector<VstInt32> edits;
    for (const HostCall& call : host.calls) {
        if (call.opcode != audioMasterBeginEdit && call.opcode != audioMasterEndEdit &&
            call.opcode != audioMasterAutomate)
            continue;
        edits.push_back(call.opcode);
        EXPECT_EQ(call.index, 0);
    }
    EXPECT_EQ(edits, std::vector<VstInt32>({audioMasterBeginEdit, audioMasterAutomate,
                                            audioMasterEndEdit}));
    pump(3);
    EXPECT_TRUE(switchShows(*screenshot(*window), 2));
}

TEST_F(X11EditorTest, TheWheelTurnsTheKnobUnderThePointer) {
    plugin->setParameter(4, 0.5f);
    openIn(*window);
    pump(10);
    host.clear();
    xdotool("mousemove --sync 85 200 click 4");
    for (int i = 0; i < 100 && host.callsOf(audioMasterAutomate).empty(); ++i) pump(1);
    EXPECT_FLOAT_EQ(plugin->getParameter(4), 0.6f);
    xdotool("click 5");
    xdotool("click 5");
    for (int i = 0; i < 100 && host.callsOf(audioMasterAutomate).size() < 3; ++i) pump(1);
    EXPECT_FLOAT_EQ(plugin->getParameter(4), 0.4f);
}

TEST_F(X11EditorTest, WithSwappedButtonsThePhysicalRightButtonClicks) {
    plugin->setParameter(0, 1.0f);
    openIn(*window);
    pump(10);
    xdotool("mousemove --sync 352 80");
    ASSERT_EQ(std::system("xmodmap -e 'pointer = 3 2 1'"), 0);
    xdotool("click 3");
    for (int i = 0; i < 100 && plugin->getParameter(0) != 0.0f; ++i) pump(1);
    std::system("xmodmap -e 'pointer = 1 2 3'");
    EXPECT_EQ(display(0), "Off");
}

TEST_F(X11EditorTest, KeysOnTheWindowStepTheKnobLastDragged) {
    plugin->setParameter(5, 0.5f);
    openIn(*window);
    pump(10);
    xdotool("mousemove --sync 200 200 click 1");  // gives the knob the focus
    for (int i = 0; i < 100 && host.callsOf(audioMasterEndEdit).empty(); ++i) pump(1);
    ASSERT_FALSE(host.callsOf(audioMasterEndEdit).empty());
    float before = plugin->getParameter(5);
    xdotool("key Up");
    for (int i = 0; i < 100 && plugin->getParameter(5) == before; ++i) pump(1);
    EXPECT_FLOAT_EQ(plugin->getParameter(5), before + 0.1f);
    // The host's forwarded keys take the same way.
    EXPECT_EQ(dispatch(effEditKeyDown, 0, VKEY_DOWN), 1);
    EXPECT_FLOAT_EQ(plugin->getParameter(5), before);
}

TEST_F(X11EditorTest, OpeningAndClosingFiftyTimesLeavesAWorkingEditor) {
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(openIn(*window), 1);
        pump(1);
        dispatch(effEditClose);
    }
    ASSERT_EQ(openIn(*window), 1);
    pump(10);
    EXPECT_EQ(backgroundMismatches(*screenshot(*window)), 0);
}

TEST_F(X11EditorTest, TwoEditorsOfTwoEffectsAreOpenAtOnce) {
    RecordingHost secondHost;
    std::string error;
    auto second = HostedEffect::create(*library, secondHost, error);
    ASSERT_TRUE(second) << error;
    auto secondWindow = platform::HostWindow::create("second", kWidth, kHeight, error, 500, 300);
    ASSERT_TRUE(secondWindow) << error;
    plugin->setParameter(0, 1.0f);
    second->setParameter(0, 0.0f);
    ASSERT_EQ(openIn(*window), 1);
    ASSERT_EQ(second->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(secondWindow->handle())), 1);
    for (int i = 0; i < 10; ++i) {
        pump(1);
        secondWindow->processEvents();
        second->dispatch(effEditIdle);
    }
    auto first = screenshot(*window);
    auto other = screenshot(*secondWindow);
    EXPECT_EQ(backgroundMismatches(*first), 0);
    EXPECT_EQ(backgroundMismatches(*other), 0);
    EXPECT_TRUE(switchShows(*first, 0));
    EXPECT_TRUE(switchShows(*other, 2));
    second->dispatch(effEditClose);
    pump(2);
    EXPECT_EQ(backgroundMismatches(*screenshot(*window)), 0);  // the first one lives on
    second.reset();
}

TEST_F(X11EditorTest, OpenTwiceAndCloseWithoutOpenAreHarmless) {
    dispatch(effEditClose);
    ASSERT_EQ(openIn(*window), 1);
    ASSERT_EQ(openIn(*window), 1);
    pump(10);
    EXPECT_EQ(backgroundMismatches(*screenshot(*window)), 0);
    dispatch(effEditClose);
    dispatch(effEditClose);
}

TEST_F(X11EditorTest, ClosingTheEffectWithTheEditorOpenIsClean) {
    ASSERT_EQ(openIn(*window), 1);
    pump(3);
    plugin->close();
    pump(2);
}

TEST_F(X11EditorTest, AHostWindowThatDisappearsFirstIsSurvived) {
    ASSERT_EQ(openIn(*window), 1);
    pump(3);
    window.reset();
    for (int i = 0; i < 3; ++i) dispatch(effEditIdle);
    plugin->setParameter(0, 0.5f);
    dispatch(effEditIdle);
    dispatch(effEditClose);

    std::string error;
    window = platform::HostWindow::create("again", kWidth, kHeight, error);
    ASSERT_TRUE(window) << error;
    ASSERT_EQ(openIn(*window), 1);
    pump(10);
    EXPECT_EQ(backgroundMismatches(*screenshot(*window)), 0);
}

// Hosts may close the editor, or the whole effect, from inside a callback that a knob drag
// makes: its idle pump calls audioMasterIdle, its gesture audioMasterBeginEdit.
class HostClosingDuringADrag : public X11EditorTest,
                               public ::testing::WithParamInterface<std::pair<VstInt32, VstInt32>> {
};

TEST_P(HostClosingDuringADrag, EndsTheDragCleanly) {
    auto [trigger, closing] = GetParam();
    ASSERT_EQ(openIn(*window), 1);
    pump(10);
    bool closed = false;
    host.reaction = [&](AEffect* effect, VstInt32 opcode) {
        if (closed || opcode != trigger || !effect) return;
        closed = true;
        if (closing == effClose)
            plugin->close();  // the host's wrapper forgets the record, as a host does
        else
            effect->dispatcher(effect, closing, 0, 0, nullptr, 0.0f);
    };
    host.recordIdle = true;
    host.clear();
    // The drag runs inside one idle call until the button comes up, so the rest of the
    // gesture comes from another process.
    xdotool("mousemove --sync 200 200 mousedown 1");
    ASSERT_EQ(std::system("(sleep 0.5; xdotool mousemove 200 150 sleep 0.5 mouseup 1) &"), 0);
    for (int i = 0; i < 100 && !closed; ++i) pump(1);
    EXPECT_TRUE(closed);
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    if (closing == effClose) return;
    // Whatever the host heard begin, it heard end.
    EXPECT_EQ(host.callsOf(audioMasterBeginEdit).size(), host.callsOf(audioMasterEndEdit).size());
    // The editor opens again and works.
    host.reaction = nullptr;
    pump(5);
    ASSERT_EQ(openIn(*window), 1);
    pump(10);
    EXPECT_EQ(backgroundMismatches(*screenshot(*window)), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Callbacks, HostClosingDuringADrag,
    ::testing::Values(std::make_pair(audioMasterIdle, effEditClose),
                      std::make_pair(audioMasterBeginEdit, effEditClose),
                      std::make_pair(audioMasterIdle, effClose),
                      std::make_pair(audioMasterBeginEdit, effClose)));

TEST_F(X11EditorTest, KrvHostShowsTheEditorInItsScreenshot) {
    std::string path = ::testing::TempDir() + "krv_host_" + std::to_string(getpid()) + ".png";
    std::string command = std::string(KRV_HOST_PATH) + " --plugin " + KRV_PLUGIN_PATH +
                          " --screenshot " + path + " --after 700 > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto image = platform::Canvas::readPng(path);
    std::remove(path.c_str());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), kWidth);
    EXPECT_EQ(image->height(), kHeight);
    EXPECT_EQ(backgroundMismatches(*image), 0);
}

// The CLAP plug-in's editor, opened through its gui calls and driven by krv-host's timers
// and descriptor polling, shows what the VST one shows after the same signal.
TEST_F(X11EditorTest, KrvHostShowsTheClapEditorAsTheVstOne) {
    ASSERT_TRUE(serverError.empty()) << serverError;
    const char* clap = std::getenv("KRV_CLAP_PATH");
    if (!clap) GTEST_SKIP() << "KRV_CLAP_PATH names no built krv-tarnwick.clap";
    std::unique_ptr<platform::Canvas> images[2];
    const std::string plugins[2] = {KRV_PLUGIN_PATH, clap};
    for (int i = 0; i < 2; ++i) {
        std::string path = ::testing::TempDir() + "krv_host_" + std::to_string(getpid()) + "_" +
                           std::to_string(i) + ".png";
        std::string command = std::string(KRV_HOST_PATH) + " --plugin " + plugins[i] +
                              " --scale 1.5 --screenshot " + path + " --after 700 > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << plugins[i];
        images[i] = platform::Canvas::readPng(path);
        std::remove(path.c_str());
        ASSERT_TRUE(images[i]) << plugins[i];
    }
    ASSERT_EQ(images[1]->width(), 600);
    ASSERT_EQ(images[1]->height(), 464);
    ASSERT_EQ(images[0]->width(), images[1]->width());
    ASSERT_EQ(images[0]->height(), images[1]->height());
    int differing = 0;
    for (int y = 0; y < images[0]->height(); ++y)
        for (int x = 0; x < images[0]->width(); ++x)
            if (images[0]->pixel(x, y) != images[1]->pixel(x, y) && differing++ < 5)
                ADD_FAILURE() << "differs at " << x << "," << y;
    EXPECT_EQ(differing, 0);
}

TEST_F(X11EditorTest, KrvHostQuitsCleanlyWhenItsWindowIsClosed) {
    std::string command = "timeout 30 sh -c '" + std::string(KRV_HOST_PATH) + " --plugin " +
                          KRV_PLUGIN_PATH +
                          " > /dev/null & xdotool search --sync --name \"^KRV tarnwick - \" "
                          "windowclose; wait $!'";
    EXPECT_EQ(std::system(command.c_str()), 0);
}

// The host may hold a lock while it calls us: the box returns at once and is served by the
// event passes of the host's idle calls, as long as a window of ours is open.
TEST_F(X11EditorTest, TheMessageBoxReturnsAtOnceAndReturnClosesItInALaterPass) {
    SilentWindow quiet;
    auto ours = platform::NativeWindow::createChild(window->handle(), kWidth, kHeight, quiet);
    ASSERT_TRUE(ours);
    platform::showMessageBox("Error...", "This is not a preset file.\nNothing was loaded.",
                             platform::MessageBoxIcon::Error);
    const std::string search = "xdotool search --onlyvisible --name '^Error\\.\\.\\.$'";
    bool shown = false;
    for (int i = 0; i < 300 && !shown; ++i) {
        platform::processPendingEvents();
        shown = std::system((search + " > /dev/null").c_str()) == 0;
    }
    ASSERT_TRUE(shown);
    ASSERT_EQ(std::system((search + " key --window %1 Return").c_str()), 0);
    bool gone = false;
    for (int i = 0; i < 300 && !gone; ++i) {
        platform::processPendingEvents();
        gone = std::system((search + " > /dev/null").c_str()) != 0;
    }
    EXPECT_TRUE(gone);
}

TEST(MessageBoxWithoutDisplay, TheMessageGoesToStandardError) {
    std::string saved = getenv("DISPLAY") ? getenv("DISPLAY") : "";
    setenv("DISPLAY", ":999", 1);
    ::testing::internal::CaptureStderr();
    platform::showMessageBox("Error...", "Cannot read the bank file.", platform::MessageBoxIcon::Error);
    std::string printed = ::testing::internal::GetCapturedStderr();
    if (saved.empty())
        unsetenv("DISPLAY");
    else
        setenv("DISPLAY", saved.c_str(), 1);
    EXPECT_EQ(printed, "Error... (error): Cannot read the bank file.\n");
}

}  // namespace
