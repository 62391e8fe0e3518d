// Message boxes on a private Xvfb: windows of ours that showMessageBox leaves open and the
// event passes serve, closed with xdotool, looked at by another client; some under a
// window manager, which frames the host's window.
#include "x11_desk.h"

#include <X11/Xatom.h>

#include "platform/MessageBox.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11TopLevel.h"
#include "support/WindowManager.h"

namespace {

using platform::MessageBoxIcon;
using platform::MessageBoxOwner;
using platform::Rect;

// The box's face, as it has always been painted: (0.93, 0.93, 0.92).
constexpr platform::Color kFace{238, 238, 235, 255};

}  // namespace

class X11MessageBoxTest : public X11Desk {
protected:
    // Windows come and go while the observer walks the tree (a manager's among them): a
    // request about one gone meanwhile is no failure. Other connections' errors go on.
    void SetUp() override {
        X11Desk::SetUp();
        tolerant = observer;
        before = XSetErrorHandler(ignoreObserverErrors);
    }
    void TearDown() override {
        XSetErrorHandler(before);
        tolerant = nullptr;
        X11Desk::TearDown();
    }
    static int ignoreObserverErrors(Display* display, XErrorEvent* error) {
        if (display == tolerant) return 0;
        return before ? before(display, error) : 0;
    }
    inline static Display* tolerant = nullptr;
    inline static XErrorHandler before = nullptr;

    // The mapped window titled title, at any depth (a manager frames it); 0 when none is.
    Window titled(const std::string& title) {
        XSync(observer, False);
        return findTitled(DefaultRootWindow(observer), title);
    }
    Rect screenRectOf(Window window) {
        XWindowAttributes attributes{};
        XGetWindowAttributes(observer, window, &attributes);
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(observer, window, attributes.root, 0, 0, &x, &y, &child);
        return Rect{x, y, x + attributes.width, y + attributes.height};
    }
    // A box on screen with its face painted; its window, or 0 when none came.
    Window shown(const std::string& title) {
        Window box = 0;
        bool painted = settle([&] {
            box = titled(title);
            if (!box) return false;
            Rect rect = screenRectOf(box);
            return screenPixel(rect.left + 2, rect.top + 2) == kFace;
        });
        return painted ? box : 0;
    }
    bool gone(const std::string& title) {
        return settle([&] { return titled(title) == 0; });
    }
    Window transientFor(Window window) {
        Window owner = 0;
        return XGetTransientForHint(observer, window, &owner) ? owner : 0;
    }
    // Without a window manager the keys go to the window under the pointer.
    void keyOn(Window box, const std::string& key) {
        Rect rect = screenRectOf(box);
        xdotool("mousemove " + std::to_string((rect.left + rect.right) / 2) + " " +
                std::to_string((rect.top + rect.bottom) / 2) + " key " + key);
    }
    void clickOk(Window box) {
        // The button is centred, 16 pixels above the bottom edge and 26 high.
        Rect rect = screenRectOf(box);
        xdotool("mousemove --sync " + std::to_string((rect.left + rect.right) / 2) + " " +
                std::to_string(rect.bottom - 16 - 13) + " click 1");
    }
    static bool sameCentre(const Rect& a, const Rect& b) {
        return std::abs((a.left + a.right) - (b.left + b.right)) <= 2 &&
               std::abs((a.top + a.bottom) - (b.top + b.bottom)) <= 2;
    }

private:
    Window findTitled(Window parent, const std::string& title) {
        Window root = 0, up = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(observer, parent, &root, &up, &children, &count)) return 0;
        Window found = 0;
        for (unsigned int i = 0; i < count && !found; ++i) {
            XWindowAttributes attributes{};
            if (!XGetWindowAttributes(observer, children[i], &attributes) ||
                attributes.map_state != IsViewable)
                continue;
            char* name = nullptr;
            if (XFetchName(observer, children[i], &name) && name) {
                if (title == name) found = children[i];
                XFree(name);
            }
            if (!found) found = findTitled(children[i], title);
        }
        if (children) XFree(children);
        return found;
    }
};

TEST_F(X11MessageBoxTest, BoxesServeSideBySideAndCloseWithTheirEditorOrTheConnection) {
    std::string error;
    auto secondHost = platform::HostWindow::create("second", kWidth, kHeight, error, 560, 400);
    ASSERT_TRUE(secondHost) << error;
    RecordingWindowListener secondListener;
    auto second = platform::NativeWindow::createChild(secondHost->handle(), kWidth, kHeight,
                                                     secondListener);
    ASSERT_TRUE(second);
    {
        MessageBoxOwner owner(child->handle());
        platform::showMessageBox("First", "Belongs to the first editor.", MessageBoxIcon::Error);
    }
    {
        MessageBoxOwner owner(second->handle());
        platform::showMessageBox("Second", "Belongs to the second.", MessageBoxIcon::Warning);
    }
    platform::showMessageBox("Third", "Belongs to nobody.", MessageBoxIcon::Information);
    Window first = shown("First"), other = shown("Second"), third = shown("Third");
    ASSERT_TRUE(first && other && third);
    // Without a window manager the host's window is the root's child.
    EXPECT_EQ(transientFor(first), Window(host->handle()));
    EXPECT_EQ(transientFor(other), Window(secondHost->handle()));
    EXPECT_EQ(transientFor(third), 0u);
    EXPECT_TRUE(sameCentre(screenRectOf(first), Rect{0, 0, kWidth, kHeight}));
    EXPECT_TRUE(sameCentre(screenRectOf(other), screenRectOf(Window(secondHost->handle()))));
    EXPECT_TRUE(sameCentre(screenRectOf(third), Rect{0, 0, DisplayWidth(observer, 0),
                                                     DisplayHeight(observer, 0)}));

    // The editor closing takes its box along at once, no pass needed; the other editor's
    // stays.
    child.reset();
    XSync(platform::x11::currentDisplay(), False);
    EXPECT_EQ(titled("First"), 0u);
    EXPECT_NE(titled("Second"), 0u);

    // A click on OK and a key close one box each, while the other keeps serving.
    clickOk(third);
    EXPECT_TRUE(gone("Third"));
    EXPECT_NE(titled("Second"), 0u);
    keyOn(other, "Escape");
    EXPECT_TRUE(gone("Second"));

    // The last editor closing closes the connection and every box on it.
    platform::showMessageBox("Fourth", "Belongs to nobody either.", MessageBoxIcon::Error);
    ASSERT_NE(shown("Fourth"), 0u);
    second.reset();
    EXPECT_EQ(platform::x11::currentDisplay(), nullptr);
    EXPECT_EQ(titled("Fourth"), 0u);
}

TEST_F(X11MessageBoxTest, WithoutAWindowOfOursTheMessageGoesToStandardError) {
    child.reset();
    ::testing::internal::CaptureStderr();
    platform::showMessageBox("Error...", "Cannot read the bank file.", MessageBoxIcon::Error);
    std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed, "Error... (error): Cannot read the bank file.\n");
    EXPECT_EQ(titled("Error..."), 0u);
}

// A box drawn once would stay blank after another window covered it, and an editor that
// stopped painting while a box is up would look frozen.
TEST_F(X11MessageBoxTest, TheBoxAndTheEditorBeneathRepaintWhenUncovered) {
    {
        MessageBoxOwner owner(child->handle());
        platform::showMessageBox("Covered", "Shows again when uncovered.", MessageBoxIcon::Error);
    }
    Window box = shown("Covered");
    ASSERT_NE(box, 0u);
    Rect rect = screenRectOf(box);
    ASSERT_GT(rect.left, 0);  // over the editor, within its host
    auto picture = [&] {
        XSync(observer, False);
        XImage* image = XGetImage(observer, DefaultRootWindow(observer), rect.left, rect.top,
                                  unsigned(rect.width()), unsigned(rect.height()), AllPlanes,
                                  ZPixmap);
        std::vector<unsigned long> pixels;
        for (int y = 0; image && y < rect.height(); ++y)
            for (int x = 0; x < rect.width(); ++x) pixels.push_back(XGetPixel(image, x, y));
        if (image) XDestroyImage(image);
        return pixels;
    };
    const auto painted = picture();
    auto coverAndUncover = [&] {
        Window cover = XCreateSimpleWindow(observer, DefaultRootWindow(observer), 0, 0, kWidth,
                                           kHeight, 0, 0, BlackPixel(observer, 0));
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        XChangeWindowAttributes(observer, cover, CWOverrideRedirect, &attributes);
        XMapRaised(observer, cover);
        XSync(observer, False);
        XDestroyWindow(observer, cover);
        XSync(observer, False);
    };

    // The event passes of the host's idle calls.
    int exposes = listener.exposes;
    coverAndUncover();
    ASSERT_NE(picture(), painted);  // the server cleared the box to its background
    EXPECT_TRUE(settle([&] { return picture() == painted && listener.exposes > exposes; }));

    // A control's drag lets one Expose through at a time and nothing else.
    exposes = listener.exposes;
    coverAndUncover();
    bool again = false;
    for (int turn = 0; turn < 300 && !again; ++turn) {
        while (platform::dispatchOnePendingPaint()) {
        }
        again = picture() == painted && listener.exposes > exposes;
        if (!again) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(again);
    keyOn(box, "Return");
    EXPECT_TRUE(gone("Covered"));
}

// A reparenting window manager puts a frame of its own around the host's window.
class X11MessageBoxUnderAWindowManager : public X11MessageBoxTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(serverError.empty()) << serverError;
        std::string error;
        ASSERT_TRUE(manager.start(error)) << error;
        X11MessageBoxTest::SetUp();
    }
    void TearDown() override {
        X11MessageBoxTest::TearDown();
        manager.stop();
    }

    WindowManager manager;
};

TEST_F(X11MessageBoxUnderAWindowManager, TheHostsOwnWindowIsTheTopLevelNotTheFrame) {
    Window root = 0, frame = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    ASSERT_TRUE(XQueryTree(observer, Window(host->handle()), &root, &frame, &children, &count));
    if (children) XFree(children);
    ASSERT_NE(frame, root);  // framed: the root's child is the manager's
    Display* ours = platform::x11::currentDisplay();
    EXPECT_EQ(platform::x11::topLevelOf(ours, Window(child->handle())), Window(host->handle()));
    EXPECT_EQ(platform::x11::topLevelOf(ours, Window(host->handle())), Window(host->handle()));

    {
        MessageBoxOwner owner(child->handle());
        platform::showMessageBox("Framed", "Stays with the host's window.", MessageBoxIcon::Error);
    }
    Window box = shown("Framed");
    ASSERT_NE(box, 0u);
    EXPECT_EQ(transientFor(box), Window(host->handle()));

    // Closing through the manager: it asks the box with WM_DELETE_WINDOW.
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = box;
    close.xclient.message_type = XInternAtom(observer, "_NET_CLOSE_WINDOW", False);
    close.xclient.format = 32;
    close.xclient.data.l[1] = 2;  // a pager's request, on the user's behalf
    XSendEvent(observer, DefaultRootWindow(observer), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &close);
    XFlush(observer);
    EXPECT_TRUE(gone("Framed"));
}
