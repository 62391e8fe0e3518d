// The built plug-in's editor at a factor on a private Xvfb: where the factor comes from
// (the host, the user's zoom, the desktop's Xft.dpi and XSETTINGS), what the host is told,
// and input at scaled positions acting as at 1×.
#include "e2e/FullEditorDesk.h"

#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <fstream>

#include "effect/Parameters.h"
#include "platform/HostWindow.h"
#include "skin/SkinLayout.h"

namespace {

using desk::Area;
using desk::areaOf;

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

class ScaledEditorTest : public FullEditorDesk {
protected:
    void SetUp() override {
        FullEditorDesk::SetUp();
        // Every test starts from Auto: the zoom is kept for the user's every instance.
        std::remove((configFolder->path() + "/SOFTWARE/KRV-soundlab/KRVTW1/Editor.key").c_str());
    }
    void TearDown() override {
        ::unsetenv("KRV_UI_SCALE");
        FullEditorDesk::TearDown();
    }
    // A host that follows the editor's size requests with its window.
    void followSizeRequests() {
        host.canDoAnswers["sizeWindow"] = 1;
        host.sizeWindowAnswer = 1;
        host.reaction = [this](AEffect*, VstInt32 opcode) {
            if (opcode != audioMasterSizeWindow || !window) return;
            const HostCall& call = host.calls.back();
            window->resize(call.index, int(call.value));
        };
    }

    // The host names its factor, then makes its window the size the editor asks for.
    void openAt(float factor) {
        if (factor > 0)
            dispatch(effVendorSpecific, kContentScaleIndex, kContentScaleValue, nullptr, factor);
        Geometry size = editorSize();
        std::string error;
        window.reset();
        window = platform::HostWindow::create("scaled host", size.width, size.height, error);
        ASSERT_TRUE(window) << error;
        openEditor();
    }
    Geometry editorSize() {
        ERect* rect = nullptr;
        dispatch(effEditGetRect, 0, 0, &rect);
        if (!rect) return {};
        return Geometry{0, 0, rect->right - rect->left, rect->bottom - rect->top};
    }
    // A second instance of the plug-in in this process, as a host's next one.
    Geometry sizeOfAnotherInstance() {
        RecordingHost otherHost;
        std::string error;
        auto other = HostedEffect::create(*library, otherHost, error);
        if (!other) return {};
        ERect* rect = nullptr;
        other->dispatch(effEditGetRect, 0, 0, &rect);
        return rect ? Geometry{0, 0, rect->right - rect->left, rect->bottom - rect->top} : Geometry{};
    }
    // Our window inside the host's.
    Geometry editorWindow() {
        XSync(observer, False);
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        Geometry found;
        if (XQueryTree(observer, Window(window->handle()), &root, &parent, &children, &count) &&
            count > 0) {
            XWindowAttributes attributes{};
            XGetWindowAttributes(observer, children[0], &attributes);
            found = Geometry{attributes.x, attributes.y, attributes.width, attributes.height};
        }
        if (children) XFree(children);
        return found;
    }
    // The open popup menu on the screen.
    Geometry menu() {
        XSync(observer, False);
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        Geometry found;
        if (XQueryTree(observer, DefaultRootWindow(observer), &root, &parent, &children, &count))
            for (unsigned int i = 0; i < count; ++i) {
                XWindowAttributes a{};
                if (XGetWindowAttributes(observer, children[i], &a) && a.override_redirect &&
                    a.map_state == IsViewable)
                    found = Geometry{a.x, a.y, a.width, a.height};
            }
        if (children) XFree(children);
        return found;
    }
    // Drags a knob up by `distance` logical pixels at the editor's factor.
    float dragKnobUp(const skin::BitmapLayout& strip, int parameter, double factor, int distance) {
        const Area area = areaOf(strip.rect);
        const int x = int(area.centerX() * factor), y = int(area.centerY() * factor);
        host.clear();
        xdotool("mousemove --sync " + std::to_string(x) + " " + std::to_string(y) + " mousedown 1");
        std::string moves = "sleep 0.3";
        for (int up = 4; up <= distance; up += 4)
            moves += "; xdotool mousemove " + std::to_string(x) + " " +
                     std::to_string(y - int(std::lround(up * factor))) + "; sleep 0.03";
        inBackground(moves + "; sleep 0.2; xdotool mouseup 1");
        EXPECT_TRUE(waitFor([&] { return !host.callsOf(audioMasterEndEdit).empty(); }));
        return plugin->getParameter(parameter);
    }
    void closeEditor() {
        dispatch(effEditClose);
        pump(2);
    }
};

TEST_F(ScaledEditorTest, AtTheHostsFactorClicksDragsAndTheProgramMenuActAsAtOneTimes) {
    // At 1×: a knob drag, and the program menu's size.
    plugin->setParameter(parameters::kCompression, 0.25f);
    openAt(0);
    const float atOne = dragKnobUp(skin::kCompressionKnob, parameters::kCompression, 1.0, 40);
    EXPECT_GT(atOne, 0.25f);
    const Area arrow = areaOf(skin::kProgramMenu);
    click(arrow.centerX(), arrow.centerY());
    ASSERT_TRUE(waitFor([&] { return openMenus() > 0; }));
    const Geometry menuAtOne = menu();
    xdotool("key Escape");
    ASSERT_TRUE(waitFor([&] { return openMenus() == 0; }));
    closeEditor();

    // At 2× the window is twice as large and the same gestures, twice as long in device
    // pixels, do the same.
    plugin->setParameter(parameters::kCompression, 0.25f);
    plugin->setParameter(parameters::kProcess, 1.0f);
    openAt(2.0f);
    EXPECT_EQ(editorSize().width, 800);
    EXPECT_EQ(editorSize().height, 618);
    const Geometry ours = editorWindow();
    EXPECT_EQ(ours.width, 800);
    EXPECT_EQ(ours.height, 618);
    EXPECT_EQ(dragKnobUp(skin::kCompressionKnob, parameters::kCompression, 2.0, 40), atOne);
    click(352 * 2, 80 * 2);  // the switch's right third
    EXPECT_TRUE(waitFor([&] { return plugin->getParameter(parameters::kProcess) == 0.0f; }));

    click(arrow.centerX() * 2, arrow.centerY() * 2);
    ASSERT_TRUE(waitFor([&] { return openMenus() > 0; }));
    const Geometry menuAtTwo = menu();
    // Its text is drawn twice as large; it opens at the arrow and stays on the screen.
    EXPECT_NEAR(menuAtTwo.height, 2 * menuAtOne.height, 8);
    EXPECT_NEAR(menuAtTwo.width, 2 * menuAtOne.width, 16);
    EXPECT_GE(menuAtTwo.x, 0);
    EXPECT_LE(menuAtTwo.x + menuAtTwo.width, 1024);
    if (arrow.left * 2 + menuAtTwo.width <= 1024) {
        EXPECT_EQ(menuAtTwo.x, arrow.left * 2);
    }
    EXPECT_GE(menuAtTwo.y, 0);
    EXPECT_LE(menuAtTwo.y + menuAtTwo.height, 768);
    xdotool("key Escape");
    EXPECT_TRUE(waitFor([&] { return openMenus() == 0; }));
}

TEST_F(ScaledEditorTest, TheHostsFactorChangingWhileOpenResizesTheWindowAndTellsTheHost) {
    followSizeRequests();
    openAt(0);
    EXPECT_EQ(editorWindow().width, 400);
    host.clear();
    EXPECT_EQ(dispatch(effVendorSpecific, kContentScaleIndex, kContentScaleValue, nullptr, 1.5f), 1);
    pump(3);
    std::vector<HostCall> sized = host.callsOf(audioMasterSizeWindow);
    ASSERT_EQ(sized.size(), 1u);
    EXPECT_EQ(sized[0].index, 600);
    EXPECT_EQ(sized[0].value, 464);
    EXPECT_EQ(editorWindow().width, 600);
    EXPECT_EQ(editorWindow().height, 464);
    EXPECT_EQ(editorSize().width, 600);
}

TEST_F(ScaledEditorTest, TheZoomChosenOnThePanelResizesTheEditorAndReachesTheNextInstance) {
    followSizeRequests();
    openAt(0);
    // A right-click on the bare panel: "Editor size", Auto, 100 %, 125 %, 150 %, 200 %.
    xdotool("mousemove 390 135 click 3");
    ASSERT_TRUE(waitFor([&] { return openMenus() > 0; }));
    xdotool("mousemove 1000 700 key Down Down Down Down Down Return");
    ASSERT_TRUE(waitFor([&] { return !host.callsOf(audioMasterSizeWindow).empty(); }));
    EXPECT_EQ(host.callsOf(audioMasterSizeWindow)[0].index, 800);
    EXPECT_EQ(editorWindow().width, 800);
    EXPECT_EQ(sizeOfAnotherInstance().width, 800);
    // The user's zoom is over the host's factor.
    dispatch(effVendorSpecific, kContentScaleIndex, kContentScaleValue, nullptr, 1.5f);
    pump(2);
    EXPECT_EQ(editorWindow().width, 800);

    // Auto again: the host's factor counts.
    xdotool("mousemove 780 270 click 3");
    ASSERT_TRUE(waitFor([&] { return openMenus() > 0; }));
    xdotool("mousemove 1000 700 key Down Return");
    EXPECT_TRUE(waitFor([&] { return editorWindow().width == 600; }));
    EXPECT_EQ(sizeOfAnotherInstance().width, 400);
}

TEST_F(ScaledEditorTest, TheDesktopsFactorComesFromXftDpiThenXSettings) {
    auto xrdb = [](const std::string& arguments) {
        return std::system(("PATH=/usr/bin:/bin " + arguments + " >/dev/null 2>&1").c_str());
    };
    ASSERT_EQ(xrdb("echo 'Xft.dpi: 144' | xrdb -merge"), 0);
    EXPECT_EQ(sizeOfAnotherInstance().width, 600);
    ::setenv("KRV_UI_SCALE", "1.25", 1);
    EXPECT_EQ(sizeOfAnotherInstance().width, 500);
    ::unsetenv("KRV_UI_SCALE");
    ASSERT_EQ(xrdb("xrdb -remove"), 0);
    EXPECT_EQ(sizeOfAnotherInstance().width, 400);

    // XSETTINGS from a settings daemon: Xft/DPI in 1024ths of a dot per inch.
    TemporaryFolder folder;
    const std::string conf = folder.path() + "/xsettingsd.conf";
    std::ofstream(conf) << "Xft/DPI 196608\nGdk/WindowScalingFactor 1\n";
    pid_t daemon = fork();
    ASSERT_GE(daemon, 0);
    if (daemon == 0) {
        execlp("xsettingsd", "xsettingsd", "-c", conf.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    EXPECT_TRUE(waitFor([&] { return sizeOfAnotherInstance().width == 800; }, 200))
        << "is the xsettingsd package installed?";
    // Opened, the editor takes the same factor from the same server.
    openAt(0);
    EXPECT_EQ(editorWindow().width, 800);
    closeEditor();
    kill(daemon, SIGTERM);
    waitpid(daemon, nullptr, 0);
}

}  // namespace
