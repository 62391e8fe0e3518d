// Drops on a private Xvfb: a test client on a connection of its own plays the drag
// source, speaking XDND to our window directly or through the proxy on the host's
// top-level, and serving the dragged uri-list from XdndSelection. The listener's record
// reads as the drag's states: enter(items) move* (drop | leave).
// gtest before Xlib, whose None and Bool macros would rename gtest's own.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xatom.h>
// clang-format on
#include <poll.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/DropTarget.h"
#include "platform/HostWindow.h"
#include "platform/NativeWindow.h"
#include "support/SilentWindow.h"
#include "support/XvfbSuite.h"

namespace {

class RecordingDrops : public platform::DropListener {
public:
    void dragEntered(int items) override { record += "enter(" + std::to_string(items) + ") "; }
    void dragMoved() override { record += "move "; }
    void dragLeft() override { record += "leave "; }
    void dropped() override { record += "drop "; }
    std::string record;
};

// The drag source: its own connection and an unmapped window to be answered at.
class DragSource {
public:
    DragSource() : display(XOpenDisplay(nullptr)) {
        if (!display) return;
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
        XSelectInput(display, window, PropertyChangeMask);
        XSync(display, False);
    }
    ~DragSource() {
        if (!display) return;
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    Atom atom(const char* name) { return XInternAtom(display, name, False); }

    void send(Window to, Window addressed, const char* type, long l1 = 0, long l2 = 0, long l3 = 0,
              long l4 = 0) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = addressed;
        event.xclient.message_type = atom(type);
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(window);
        event.xclient.data.l[1] = l1;
        event.xclient.data.l[2] = l2;
        event.xclient.data.l[3] = l3;
        event.xclient.data.l[4] = l4;
        XSendEvent(display, to, False, NoEventMask, &event);
        XSync(display, False);
    }
    void enter(Window to, Window addressed, std::vector<Atom> types) {
        long flags = 5L << 24;
        if (types.size() > 3) {
            XChangeProperty(display, window, atom("XdndTypeList"), XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(types.data()), int(types.size()));
            flags |= 1;
            types.resize(3);
        }
        types.resize(3, 0);
        send(to, addressed, "XdndEnter", flags, long(types[0]), long(types[1]), long(types[2]));
    }
    void position(Window to, Window addressed) {
        send(to, addressed, "XdndPosition", 0, (10L << 16) | 10, CurrentTime,
             long(atom("XdndActionCopy")));
    }

    // Offers list from XdndSelection until the source is gone.
    void own(const std::string& list) {
        offered = list;
        XSetSelectionOwner(display, atom("XdndSelection"), window, CurrentTime);
        XSync(display, False);
    }
    // Answers selection requests; fills reply with the first XDND reply of type.
    bool serveUntilReply(const char* type, XClientMessageEvent& reply) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == SelectionRequest) answer(event.xselectionrequest);
            if (event.type == ClientMessage && event.xclient.message_type == atom(type)) {
                reply = event.xclient;
                return true;
            }
        }
        return false;
    }
    int requestsServed = 0;
    Display* display;
    Window window = 0;

private:
    void answer(const XSelectionRequestEvent& request) {
        XEvent notify{};
        notify.xselection.type = SelectionNotify;
        notify.xselection.requestor = request.requestor;
        notify.xselection.selection = request.selection;
        notify.xselection.target = request.target;
        notify.xselection.time = request.time;
        notify.xselection.property = None;
        if (request.target == atom("text/uri-list")) {
            XChangeProperty(display, request.requestor, request.property, request.target, 8,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(offered.data()),
                            int(offered.size()));
            notify.xselection.property = request.property;
            ++requestsServed;
        }
        XSendEvent(display, request.requestor, False, NoEventMask, &notify);
        XSync(display, False);
    }
    std::string offered;
};

class X11DropTargetTest : public XvfbSuite {
protected:
    void SetUp() override {
        ASSERT_TRUE(serverError.empty()) << serverError;
        std::string error;
        host = platform::HostWindow::create("drop host", 300, 200, error);
        ASSERT_TRUE(host) << error;
        editor = platform::NativeWindow::createChild(host->handle(), 300, 200, windowListener);
        ASSERT_TRUE(editor);
        ASSERT_TRUE(source.display);
    }
    void TearDown() override {
        target.reset();
        editor.reset();
        host.reset();
    }

    Window topLevel() const { return Window(host->handle()); }
    Window ours() const { return Window(editor->handle()); }

    // Serves our side and the source in turns until condition holds (or long enough that
    // it never will).
    bool serveUntil(const std::function<bool()>& condition, int turns = 500) {
        for (int turn = 0; turn < turns; ++turn) {
            platform::processPendingEvents();
            if (condition()) return true;
            pollfd waitFor{ConnectionNumber(source.display), POLLIN, 0};
            poll(&waitFor, 1, 10);
        }
        return false;
    }
    XClientMessageEvent awaitReply(const char* type) {
        XClientMessageEvent reply{};
        EXPECT_TRUE(serveUntil([&] { return source.serveUntilReply(type, reply); }))
            << "no " << type;
        return reply;
    }

    // A property of the source's view: the 32-bit value, or -1 when it is not set.
    long property(Window window, const char* name) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        long value = -1;
        XGetWindowProperty(source.display, window, source.atom(name), 0, 1, False, AnyPropertyType,
                           &type, &format, &count, &after, &data);
        if (data && format == 32 && count == 1) value = *reinterpret_cast<long*>(data);
        if (data) XFree(data);
        return value;
    }

    SilentWindow windowListener;
    RecordingDrops drops;
    std::unique_ptr<platform::HostWindow> host;
    std::unique_ptr<platform::NativeWindow> editor;
    std::unique_ptr<platform::DropTarget> target;
    DragSource source;
};


TEST_F(X11DropTargetTest, APlainHostTopLevelProxiesToOurWindowUntilTheTargetGoes) {
    target = platform::DropTarget::create(*editor, drops);
    ASSERT_TRUE(target);
    EXPECT_EQ(property(ours(), "XdndAware"), 5);
    EXPECT_EQ(property(ours(), "XdndProxy"), long(ours()));
    EXPECT_EQ(property(topLevel(), "XdndAware"), 5);
    EXPECT_EQ(property(topLevel(), "XdndProxy"), long(ours()));
    target.reset();
    EXPECT_EQ(property(topLevel(), "XdndAware"), -1);
    EXPECT_EQ(property(topLevel(), "XdndProxy"), -1);
}

TEST_F(X11DropTargetTest, AHostTopLevelThatTakesDropsItselfIsLeftAlone) {
    long version = 4;
    XChangeProperty(source.display, topLevel(), source.atom("XdndAware"), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&version), 1);
    XSync(source.display, False);
    target = platform::DropTarget::create(*editor, drops);
    ASSERT_TRUE(target);
    EXPECT_EQ(property(ours(), "XdndAware"), 5);
    EXPECT_EQ(property(topLevel(), "XdndProxy"), -1);
    target.reset();
    EXPECT_EQ(property(topLevel(), "XdndAware"), 4);
}

TEST_F(X11DropTargetTest, TextDraggedThroughTheProxyIsOneItemAndLeavingEndsTheDrag) {
    target = platform::DropTarget::create(*editor, drops);
    ASSERT_TRUE(target);
    Window proxy = Window(property(topLevel(), "XdndProxy"));
    ASSERT_EQ(proxy, ours());
    source.enter(proxy, topLevel(), {source.atom("text/plain")});
    source.position(proxy, topLevel());
    XClientMessageEvent status = awaitReply("XdndStatus");
    EXPECT_EQ(Window(status.data.l[0]), topLevel());
    EXPECT_EQ(status.data.l[1] & 1, 1) << "not accepted";
    EXPECT_EQ(status.data.l[3], 0) << "a rectangle would stop the positions";
    EXPECT_EQ(Atom(status.data.l[4]), source.atom("XdndActionMove"));
    source.position(proxy, topLevel());
    awaitReply("XdndStatus");
    source.send(proxy, topLevel(), "XdndLeave");
    EXPECT_TRUE(serveUntil([&] { return drops.record == "enter(1) move leave "; })) << drops.record;
}

TEST_F(X11DropTargetTest, DroppingThreeFilesCountsTheUrisOfTheListAndFinishes) {
    target = platform::DropTarget::create(*editor, drops);
    ASSERT_TRUE(target);
    source.own("file:///home/u/a.krb\r\nfile:///home/u/b.krb\r\nfile:///home/u/c%20d.krv\r\n");
    // Four types: the list travels in XdndTypeList.
    source.enter(ours(), ours(),
                 {source.atom("application/x-file-icons"), source.atom("text/uri-list"),
                  source.atom("UTF8_STRING"), source.atom("text/plain")});
    source.position(ours(), ours());
    awaitReply("XdndStatus");
    // The listener hears of the drag once the source has served the list.
    XClientMessageEvent none{};
    EXPECT_TRUE(serveUntil([&] {
        source.serveUntilReply("XdndFinished", none);
        return drops.record == "enter(3) ";
    })) << drops.record;
    EXPECT_EQ(source.requestsServed, 1);
    source.send(ours(), ours(), "XdndDrop", 0, CurrentTime);
    XClientMessageEvent finished = awaitReply("XdndFinished");
    EXPECT_EQ(Window(finished.data.l[0]), ours());
    EXPECT_EQ(finished.data.l[1] & 1, 1) << "not accepted";
    EXPECT_EQ(drops.record, "enter(3) drop ");
}

TEST_F(X11DropTargetTest, DataOfNoKnownTypeIsNoItem) {
    target = platform::DropTarget::create(*editor, drops);
    ASSERT_TRUE(target);
    source.enter(ours(), ours(), {source.atom("application/x-color")});
    source.position(ours(), ours());
    awaitReply("XdndStatus");
    source.send(ours(), ours(), "XdndDrop", 0, CurrentTime);
    awaitReply("XdndFinished");
    EXPECT_EQ(drops.record, "enter(0) drop ");
}

TEST_F(X11DropTargetTest, MessagesOfAnotherSourceOrAfterTheTargetIsGoneChangeNothing) {
    target = platform::DropTarget::create(*editor, drops);
    ASSERT_TRUE(target);
    source.enter(ours(), ours(), {source.atom("text/plain")});
    source.position(ours(), ours());
    awaitReply("XdndStatus");
    DragSource stranger;
    stranger.send(ours(), ours(), "XdndDrop");
    stranger.send(ours(), ours(), "XdndLeave");
    source.send(ours(), ours(), "XdndLeave");
    EXPECT_TRUE(serveUntil([&] { return drops.record == "enter(1) leave "; })) << drops.record;
    target.reset();
    source.enter(ours(), ours(), {source.atom("text/plain")});
    source.position(ours(), ours());
    XClientMessageEvent reply{};
    serveUntil([] { return false; }, 20);
    EXPECT_FALSE(source.serveUntilReply("XdndStatus", reply));
    EXPECT_EQ(drops.record, "enter(1) leave ");
}

}  // namespace
