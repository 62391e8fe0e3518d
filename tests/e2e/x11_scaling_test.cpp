// The built plug-in's editor at a factor on a private Xvfb: where the factor comes from
// (the host, the user's zoom, the desktop's Xft.dpi and XSETTINGS), what the host is told,
// and input at scaled positions acting as at 1×.
#include "e2e/FullEditorDesk.h"

#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <vector>

#include "effect/Parameters.h"
#include "platform/HostWindow.h"
#include "skin/SkinBitmaps.h"
#include "skin/SkinLayout.h"

namespace {

using desk::Area;
using desk::areaOf;

// Where the editor shows nothing but its background, in logical pixels: the title band,
// the band between the first and second row of controls, the margins.
const Area kBackgroundOnly[] = {{0, 0, 400, 22}, {0, 22, 96, 46}, {304, 22, 400, 46},
                                {0, 124, 400, 143}, {0, 46, 28, 278}, {372, 46, 400, 278}};

// An RGB picture in device pixels.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0xRRGGBB
    uint32_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

Picture fromRgb(const unsigned char* rgb, int width, int height) {
    Picture picture{width, height, {}};
    for (int i = 0; i < width * height; ++i, rgb += 3)
        picture.pixels.push_back(uint32_t(rgb[0]) << 16 | uint32_t(rgb[1]) << 8 | rgb[2]);
    return picture;
}

Picture fromScreen(const desk::ScreenPicture& screen) {
    Picture picture{screen.area.width(), screen.area.height(), {}};
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) picture.pixels.push_back(screen.at(x, y));
    return picture;
}

Area toDevice(const Area& a, double factor) {
    auto at = [factor](int v) { return int(std::lround(v * factor)); };
    return Area{at(a.left), at(a.top), at(a.right), at(a.bottom)};
}

double luma(uint32_t p) {
    return 0.299 * (p >> 16 & 0xFF) + 0.587 * (p >> 8 & 0xFF) + 0.114 * (p & 0xFF);
}

// Edge energy: the sum of the brightness steps between neighbouring pixels.
double edgeEnergy(const Picture& picture, const Area& area) {
    double sum = 0;
    for (int y = area.top; y + 1 < area.bottom; ++y)
        for (int x = area.left; x + 1 < area.right; ++x) {
            double here = luma(picture.at(x, y));
            sum += std::fabs(luma(picture.at(x + 1, y)) - here) +
                   std::fabs(luma(picture.at(x, y + 1)) - here);
        }
    return sum;
}

// How crisp a picture is against a native render of the same: their edge energies over the
// background-only areas. A native render scores about 1, an enlarged smaller one far less.
double crispness(const Picture& candidate, const Picture& native, double factor) {
    double ours = 0, theirs = 0;
    for (const Area& area : kBackgroundOnly) {
        ours += edgeEnergy(candidate, toDevice(area, factor));
        theirs += edgeEnergy(native, toDevice(area, factor));
    }
    return ours / theirs;
}

// The 1x background enlarged bilinearly, as a plug-in that scales a bitmap up would show it.
Picture bilinear(const Picture& small, int width, int height) {
    Picture out{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double u = std::clamp((x + 0.5) * small.width / width - 0.5, 0.0, small.width - 1.0);
            double v = std::clamp((y + 0.5) * small.height / height - 0.5, 0.0, small.height - 1.0);
            int x0 = int(u), y0 = int(v);
            int x1 = std::min(x0 + 1, small.width - 1), y1 = std::min(y0 + 1, small.height - 1);
            double fx = u - x0, fy = v - y0;
            uint32_t mixed = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                auto c = [&](int px, int py) { return double(small.at(px, py) >> shift & 0xFF); };
                double top = c(x0, y0) + (c(x1, y0) - c(x0, y0)) * fx;
                double bottom = c(x0, y1) + (c(x1, y1) - c(x0, y1)) * fx;
                mixed |= uint32_t(std::lround(top + (bottom - top) * fy)) << shift;
            }
            out.pixels.push_back(mixed);
        }
    return out;
}

// The generator's native background at a factor (the first bitmap of the set it writes).
Picture nativeBackground(double factor) {
    TemporaryFolder folder;
    const std::string raw = folder.path() + "/skin.raw";
    std::string command = std::string(KRV_SKIN_GEN_PATH) + " --raw " + raw + " --scale " +
                          std::to_string(factor);
    if (std::system(command.c_str()) != 0) return {};
    std::ifstream in(raw, std::ios::binary);
    const int width = int(std::lround(400 * factor)), height = int(std::lround(309 * factor));
    std::vector<unsigned char> rgb(size_t(width) * size_t(height) * 3);
    if (!in.read(reinterpret_cast<char*>(rgb.data()), std::streamsize(rgb.size()))) return {};
    return fromRgb(rgb.data(), width, height);
}

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
        // The next set-up waits for the pointer to move to its resting place.
        xdotool("mousemove 10 10");
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
    // The windows directly inside parent, as the server has them now.
    std::vector<Window> childrenOf(Window parent) {
        XSync(observer, False);
        Window root = 0, up = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        std::vector<Window> found;
        if (XQueryTree(observer, parent, &root, &up, &children, &count))
            found.assign(children, children + count);
        if (children) XFree(children);
        return found;
    }
    Geometry geometryOf(Window of) {
        XWindowAttributes a{};
        XGetWindowAttributes(observer, of, &a);
        return Geometry{a.x, a.y, a.width, a.height};
    }
    // Our window inside the host's.
    Geometry editorWindow() {
        std::vector<Window> ours = childrenOf(Window(window->handle()));
        return ours.empty() ? Geometry{} : geometryOf(ours[0]);
    }
    // The open popup menu on the screen.
    Geometry menu() {
        Geometry found;
        for (Window child : childrenOf(DefaultRootWindow(observer))) {
            XWindowAttributes a{};
            if (XGetWindowAttributes(observer, child, &a) && a.override_redirect &&
                a.map_state == IsViewable)
                found = geometryOf(child);
        }
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

TEST_F(ScaledEditorTest, AtTwoTimesTheStaticAreasAreTheNativeSetAndAtOneAndAHalfTheyAreAsCrisp) {
    openAt(2.0f);
    const Picture atTwo = fromScreen(picture(Area{0, 0, 800, 618}));
    std::shared_ptr<const SkinSet> doubled = openSkinSet(2);
    ASSERT_TRUE(doubled);
    const SkinBitmap* background = doubled->find(skin::kBackground.id);
    ASSERT_NE(background, nullptr);
    const Picture native = fromRgb(background->rgb, background->width, background->height);
    int mismatches = 0;
    for (const Area& area : kBackgroundOnly) {
        const Area device = toDevice(area, 2.0);
        for (int y = device.top; y < device.bottom; ++y)
            for (int x = device.left; x < device.right; ++x)
                mismatches += atTwo.at(x, y) != native.at(x, y);
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_NEAR(crispness(atTwo, native, 2.0), 1.0, 1e-9);
    closeEditor();

    // At 1.5 the 2x set is resampled once: against the generator's own 1.5x drawing it is
    // as crisp, where the 1x set enlarged bilinearly is not.
    const Picture nativeAtOneAndAHalf = nativeBackground(1.5);
    ASSERT_EQ(nativeAtOneAndAHalf.width, 600);
    openAt(1.5f);
    ASSERT_EQ(editorSize().height, 464);
    const Picture atOneAndAHalf = fromScreen(picture(Area{0, 0, 600, 464}));
    const double ours = crispness(atOneAndAHalf, nativeAtOneAndAHalf, 1.5);
    RecordProperty("crispness_at_1.5", std::to_string(ours));
    EXPECT_GT(ours, 0.9);
    EXPECT_LT(ours, 1.15);
    const SkinBitmap* single = findSkinBitmap(skin::kBackground.id);
    ASSERT_NE(single, nullptr);
    const Picture enlarged = bilinear(fromRgb(single->rgb, single->width, single->height), 600, 464);
    const double enlargedCrispness = crispness(enlarged, nativeAtOneAndAHalf, 1.5);
    RecordProperty("crispness_of_1x_enlarged", std::to_string(enlargedCrispness));
    EXPECT_LT(enlargedCrispness, 0.9) << "the measure tells them apart";
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
    // A right-click on the title area changes nothing; on the bare panel it opens "Editor
    // size", Auto, 100 %, 125 %, 150 %, 200 %, where it was clicked.
    xdotool("mousemove 200 34 click 3 mousemove 390 135 click 3");
    ASSERT_TRUE(waitFor([&] { return openMenus() > 0; }));
    EXPECT_EQ(menu().x, 390);
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
