// The edit box on a real X server: typed with xdotool, keys forwarded as a host forwards
// them, pasted from selections another client owns, and the focus taken away.
#include "x11_desk.h"

#include <X11/Xatom.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/EditBox.h"

using platform::EditBox;
using platform::Key;
using platform::KeyName;

namespace {

struct RecordingEditListener : platform::EditBoxListener {
    void editBoxReturnPressed() override {
        ++returns;
        if (closeOnReturn) {
            textAtClose = box->text();
            box.reset();
        }
    }
    void editBoxFocusLost() override { ++focusLosses; }
    int returns = 0;
    int focusLosses = 0;
    bool closeOnReturn = false;
    std::string textAtClose;
    std::unique_ptr<EditBox> box;
};

Key typed(int character, int modifiers = 0) { return Key{character, KeyName::Unnamed, modifiers}; }

// Another client owning CLIPBOARD and PRIMARY with one text, in a process of its own so
// that it answers while the box waits.
class SelectionOwner {
public:
    explicit SelectionOwner(const std::string& utf8) {
        int ready[2];
        if (pipe(ready) != 0) return;
        pid = fork();
        if (pid == 0) {
            close(ready[0]);
            serve(utf8, ready[1]);
            _exit(0);
        }
        close(ready[1]);
        char c = 0;
        owning = read(ready[0], &c, 1) == 1;
        close(ready[0]);
    }
    ~SelectionOwner() {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    bool owns() const { return owning; }

private:
    static void serve(const std::string& utf8, int ready) {
        Display* display = XOpenDisplay(nullptr);
        if (!display) return;
        Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0,
                                            0, 0);
        Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
        Atom utf8String = XInternAtom(display, "UTF8_STRING", False);
        XSetSelectionOwner(display, clipboard, window, CurrentTime);
        XSetSelectionOwner(display, XA_PRIMARY, window, CurrentTime);
        XSync(display, False);
        if (write(ready, "r", 1) != 1) return;
        close(ready);
        for (;;) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != SelectionRequest) continue;
            XSelectionRequestEvent& request = event.xselectionrequest;
            XEvent answer{};
            answer.xselection.type = SelectionNotify;
            answer.xselection.requestor = request.requestor;
            answer.xselection.selection = request.selection;
            answer.xselection.target = request.target;
            answer.xselection.time = request.time;
            answer.xselection.property = None;
            if (request.target == utf8String) {
                XChangeProperty(display, request.requestor, request.property, utf8String, 8,
                                PropModeReplace,
                                reinterpret_cast<const unsigned char*>(utf8.data()),
                                int(utf8.size()));
                answer.xselection.property = request.property;
            }
            XSendEvent(display, request.requestor, False, 0, &answer);
            XFlush(display);
        }
    }

    pid_t pid = -1;
    bool owning = false;
};

}  // namespace

class X11EditBoxTest : public X11Desk {
protected:
    static constexpr platform::Rect kArea{20, 20, 220, 44};

    EditBox& open(const std::string& text, platform::TextAlign align = platform::TextAlign::Left) {
        platform::EditBoxStyle style;
        style.align = align;
        style.font = platform::FontSpec{"Arial", 14};
        style.text = platform::Color{0, 0, 0, 255};
        style.background = platform::Color{255, 255, 255, 255};
        edit.box = EditBox::create(*child, kArea, text, style, edit);
        EXPECT_TRUE(edit.box);
        settle([] { return false; }, 5);
        return *edit.box;
    }
    bool textBecomes(const std::string& expected) {
        return settle([&] { return edit.box && edit.box->text() == expected; });
    }
    std::unique_ptr<platform::Canvas> screenshot() {
        std::string path = ::testing::TempDir() + "edit_box_" + std::to_string(getpid()) + ".png";
        EXPECT_TRUE(host->saveScreenshot(path));
        auto image = platform::Canvas::readPng(path);
        std::remove(path.c_str());
        return image;
    }
    // Dark pixels near the box's left end.
    double darkShare() {
        auto image = screenshot();
        if (!image) return -1;
        int dark = 0, all = 0;
        for (int y = kArea.top + 6; y < kArea.bottom - 6; ++y)
            for (int x = kArea.left + 3; x < kArea.left + 40; ++x, ++all)
                dark += image->pixel(x, y).red < 128;
        return double(dark) / all;
    }

    RecordingEditListener edit;
};

TEST_F(X11EditBoxTest, TypingReplacesTheSelectedTextAndReturnIsReported) {
    EditBox& box = open("Init");
    EXPECT_EQ(box.text(), "Init");
    xdotool("type --delay 20 abc");
    EXPECT_TRUE(textBecomes("abc"));
    xdotool("key BackSpace Left Left Delete");
    EXPECT_TRUE(textBecomes("b"));
    xdotool("key Return");
    EXPECT_TRUE(settle([&] { return edit.returns == 1; }));
    EXPECT_EQ(edit.focusLosses, 0);
}

TEST_F(X11EditBoxTest, TheSelectionIsDrawnInvertedAndTheCaretAlone) {
    open("MMMM");
    double selected = darkShare();
    xdotool("key End");
    EXPECT_TRUE(settle([&] { return darkShare() < 0.5; }, 50));
    EXPECT_GT(selected, 0.5);
}

TEST_F(X11EditBoxTest, ShortTextIsAlignedAsAskedAndLongTextKeepsTheCaretInView) {
    auto inkColumns = [&](int& first, int& last) {
        auto image = screenshot();
        first = last = -1;
        for (int x = kArea.left; image && x < kArea.right; ++x)
            for (int y = kArea.top; y < kArea.bottom; ++y)
                if (image->pixel(x, y).red < 128) {
                    if (first < 0) first = x;
                    last = x;
                }
    };
    int first = 0, last = 0;
    open("ab", platform::TextAlign::Right);
    xdotool("key End");
    EXPECT_TRUE(settle([&] {
        inkColumns(first, last);
        return first > (kArea.left + kArea.right) / 2;
    }, 50));
    EXPECT_GE(last, kArea.right - 4);  // the caret after the text, at the right end

    // Wider than the box: at the end only the trailing spaces and the caret show; at
    // the start the letters come back.
    edit.box.reset();
    open("WWWWW" + std::string(80, ' '), platform::TextAlign::Center);
    int middle = (kArea.left + kArea.right) / 2;
    xdotool("key End");
    EXPECT_TRUE(settle([&] {
        inkColumns(first, last);
        return first > middle;
    }, 50));
    EXPECT_GE(last, kArea.right - 4);
    xdotool("key Home");
    EXPECT_TRUE(settle([&] {
        inkColumns(first, last);
        return first >= 0 && last < middle;
    }, 50));
    EXPECT_LE(first, kArea.left + 4);
}

TEST_F(X11EditBoxTest, TextIsCutAt255CharactersAndNonPrintableKeysAreIgnored) {
    EditBox& box = open(std::string(300, 'x'));
    EXPECT_EQ(box.text().size(), 255u);
    xdotool("key End BackSpace BackSpace BackSpace");
    EXPECT_TRUE(textBecomes(std::string(252, 'x')));
    xdotool("type --delay 20 abcdef");
    EXPECT_TRUE(textBecomes(std::string(252, 'x') + "abc"));
    xdotool("key Tab Escape ctrl+b");
    EXPECT_FALSE(box.forwardKey(typed(0x07), true));
    EXPECT_FALSE(box.forwardKey(Key{0, KeyName::Tab, 0}, true));
    xdotool("key BackSpace");  // a sign that the keys before it have been handled
    EXPECT_TRUE(textBecomes(std::string(252, 'x') + "ab"));
}

TEST_F(X11EditBoxTest, ControlVPastesTheClipboardCutAtTheLimit) {
    SelectionOwner owner("na\xc3\xafve\nline " + std::string(300, 'p'));
    ASSERT_TRUE(owner.owns());
    open("old");
    xdotool("key ctrl+v");
    std::string expected = "na\xefveline " + std::string(255 - 10, 'p');
    EXPECT_TRUE(textBecomes(expected));
}

TEST_F(X11EditBoxTest, TheMiddleButtonPastesThePrimarySelectionWhereItClicks) {
    SelectionOwner owner("XY");
    ASSERT_TRUE(owner.owns());
    open("ab");
    xdotool("mousemove --sync 210 32 click 2");
    EXPECT_TRUE(textBecomes("abXY"));
}

TEST_F(X11EditBoxTest, WithoutAnOwnerThePasteChangesNothing) {
    EditBox& box = open("kept");
    xdotool("key ctrl+v");
    xdotool("key End");
    // End collapses the selection; the paste before it changed nothing.
    EXPECT_TRUE(settle([&] { return darkShare() < 0.5; }, 100));
    EXPECT_EQ(box.text(), "kept");
}

TEST_F(X11EditBoxTest, LosingTheFocusIsReportedAndForwardedKeysStillEdit) {
    EditBox& box = open("name");
    XSetInputFocus(observer, Window(host->handle()), RevertToParent, CurrentTime);
    XSync(observer, False);
    EXPECT_TRUE(settle([&] { return edit.focusLosses == 1; }));
    EXPECT_TRUE(box.forwardKey(typed('q'), true));
    EXPECT_TRUE(box.forwardKey(typed('q'), false));
    EXPECT_TRUE(box.forwardKey(Key{0, KeyName::Left, 0}, true));
    EXPECT_TRUE(box.forwardKey(typed('r'), true));
    EXPECT_EQ(box.text(), "rq");
    EXPECT_TRUE(box.forwardKey(Key{0, KeyName::Return, 0}, true));
    EXPECT_EQ(edit.returns, 1);
}

TEST_F(X11EditBoxTest, OpeningUnderThePointerWhileTheFocusFollowsItKeepsTheBoxOpen) {
    // The usual case: a click on the field opens the box under the pointer, and without a
    // window manager the focus is the pointer's. Taking the focus then ends that pointer
    // focus first, which is no loss of focus.
    XSetInputFocus(observer, PointerRoot, RevertToPointerRoot, CurrentTime);
    xdotool("mousemove --sync 60 30");
    EditBox& box = open("Current");
    EXPECT_FALSE(settle([&] { return edit.focusLosses > 0; }, 20));
    xdotool("type Mix");
    EXPECT_TRUE(textBecomes("Mix"));
    EXPECT_EQ(box.text(), "Mix");
}

TEST_F(X11EditBoxTest, APressDeliveredByBothPathsIsTakenOnce) {
    EditBox& box = open("");
    xdotool("key w");
    EXPECT_TRUE(textBecomes("w"));
    EXPECT_TRUE(box.forwardKey(typed('w'), true));  // the host's copy of the same press
    EXPECT_EQ(box.text(), "w");

    EXPECT_TRUE(box.forwardKey(typed('z'), true));  // the host first, the window later
    EXPECT_EQ(box.text(), "wz");
    xdotool("key z y");
    EXPECT_TRUE(textBecomes("wzy"));
}

TEST_F(X11EditBoxTest, AClickElsewhereInOurWindowEndsTheEditingAndStillReachesTheWindow) {
    open("text");
    xdotool("mousemove --sync 300 200 click 1");
    EXPECT_TRUE(settle([&] { return edit.focusLosses >= 1 && listener.presses == 1; }));
    EXPECT_EQ(edit.returns, 0);
}

TEST_F(X11EditBoxTest, TheListenerMayCloseTheBoxFromInsideItsCall) {
    open("before");
    edit.closeOnReturn = true;
    xdotool("key End x Return");
    EXPECT_TRUE(settle([&] { return !edit.box; }));
    EXPECT_EQ(edit.textAtClose, "beforex");
    // The window is ours again: its clicks reach it and end nothing.
    xdotool("mousemove --sync 310 210 click 1");
    EXPECT_TRUE(settle([&] { return listener.presses == 1; }));
    EXPECT_EQ(edit.focusLosses, 0);
}

TEST_F(X11EditBoxTest, AnEmptyAreaMakesNoBox) {
    platform::EditBoxStyle style;
    EXPECT_FALSE(EditBox::create(*child, platform::Rect{10, 10, 10, 30}, "x", style, edit));
}

TEST_F(X11EditBoxTest, TwoBoxesClosedInTheOrderTheyOpenedGiveTheWindowBack) {
    platform::EditBoxStyle style;
    RecordingEditListener second;
    open("first");
    second.box = EditBox::create(*child, platform::Rect{20, 60, 220, 84}, "second", style, second);
    ASSERT_TRUE(second.box);
    edit.box.reset();
    xdotool("mousemove --sync 300 220 click 1");
    EXPECT_TRUE(settle([&] { return second.focusLosses == 1 && listener.presses == 1; }));
    second.box.reset();
    xdotool("mousemove --sync 310 230 click 1");
    EXPECT_TRUE(settle([&] { return listener.presses == 2; }));
    EXPECT_EQ(edit.focusLosses, 0);
}
