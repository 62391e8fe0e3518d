// The keyboard focus after editing the name field of the built plug-in: the host's window
// on a connection of its own, counting the keys it hears, with and without a window
// manager on the Xvfb.
#include "e2e/FullEditorDesk.h"

#include "support/WindowManager.h"

namespace {

using desk::Area;
using desk::areaOf;

// Wider than the editor, so that the pointer can rest on the host's own window.
constexpr int kHostWidth = skin::kEditorWidth + 200;
constexpr int kHostHeight = skin::kEditorHeight + 100;

class KeysAfterRenaming : public FullEditorDesk, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        ASSERT_TRUE(serverError.empty()) << serverError;
        std::string error;
        if (GetParam()) {
            ASSERT_TRUE(manager.start(error)) << error;
        }
        FullEditorDesk::SetUp();
        window.reset();  // the counting window below is the host's here
        if (!GetParam()) {
            // What an X server starts with: keys go to the window under the pointer.
            XSetInputFocus(observer, PointerRoot, RevertToPointerRoot, CurrentTime);
            XSync(observer, False);
        }
        hostDisplay = XOpenDisplay(nullptr);
        ASSERT_TRUE(hostDisplay);
        hostWindow = XCreateSimpleWindow(hostDisplay, DefaultRootWindow(hostDisplay), 0, 0,
                                         kHostWidth, kHostHeight, 0, 0,
                                         BlackPixel(hostDisplay, 0));
        XStoreName(hostDisplay, hostWindow, "counting host");
        XSelectInput(hostDisplay, hostWindow, KeyPressMask | StructureNotifyMask);
        XMapWindow(hostDisplay, hostWindow);
        ASSERT_TRUE(waitFor([&] {
            drainHost();
            return mapped;
        }));
        if (GetParam()) xdotool("windowactivate --sync " + std::to_string(hostWindow));
    }
    void TearDown() override {
        FullEditorDesk::TearDown();
        if (hostDisplay) XCloseDisplay(hostDisplay);
        manager.stop();
    }

    void drainHost() {
        while (XPending(hostDisplay) > 0) {
            XEvent event;
            XNextEvent(hostDisplay, &event);
            if (event.type == KeyPress) ++hostKeys;
            if (event.type == MapNotify) mapped = true;
        }
    }
    // Where the host's window shows on the screen (a window manager may frame and place it).
    void hostOrigin(int& x, int& y) {
        Window child = 0;
        XSync(observer, False);
        XTranslateCoordinates(observer, hostWindow, DefaultRootWindow(observer), 0, 0, &x, &y,
                              &child);
    }
    int boxesInHost() {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        XSync(observer, False);
        int editors = XQueryTree(observer, hostWindow, &root, &parent, &children, &count) &&
                              count == 1
                          ? 1
                          : 0;
        Window editor = editors ? children[0] : 0;
        if (children) XFree(children);
        if (!editor || !XQueryTree(observer, editor, &root, &parent, &children, &count)) return 0;
        if (children) XFree(children);
        return int(count);
    }
    std::string programName() { return plugin->text(effGetProgramName); }

    WindowManager manager;
    Display* hostDisplay = nullptr;
    Window hostWindow = 0;
    bool mapped = false;
    int hostKeys = 0;
};

TEST_P(KeysAfterRenaming, AKeyOverTheHostsWindowReachesTheHost) {
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(hostWindow)), 1);
    pump(10);
    int x = 0, y = 0;
    hostOrigin(x, y);
    const Area field = areaOf(skin::kNameField);
    xdotool("mousemove --sync " + std::to_string(x + field.centerX()) + " " +
            std::to_string(y + field.centerY()) + " click 1");
    ASSERT_TRUE(waitFor([&] { return boxesInHost() == 1; }));
    xdotool("type --delay 20 Bass");
    xdotool("key Return");
    ASSERT_TRUE(waitFor([&] { return programName() == "Bass" && boxesInHost() == 0; }))
        << programName();

    drainHost();
    const int before = hostKeys;
    xdotool("mousemove --sync " + std::to_string(x + kWidth + 100) + " " +
            std::to_string(y + kHeight / 2) + " key x");
    EXPECT_TRUE(waitFor([&] {
        drainHost();
        return hostKeys > before;
    }));
}

INSTANTIATE_TEST_SUITE_P(WindowManagers, KeysAfterRenaming, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "UnderOpenbox" : "WithoutWindowManager";
                         });

}  // namespace
