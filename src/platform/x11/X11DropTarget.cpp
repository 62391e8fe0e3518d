// Drops from other applications through XDND (version 5). Our window is a child of the
// host's, and sources only look at top-level windows, so a host top-level that takes no
// drops itself gets XdndAware and an XdndProxy naming our window; one that takes drops
// is left alone. The listener hears of a drag at its first position message, once the
// number of items is known: one for text, the number of URIs for a uri-list (which needs
// the data, requested with that message's timestamp), else none.
#include <X11/Xatom.h>
#include <poll.h>

#include <string>
#include <vector>

#include "platform/DropTarget.h"
#include "platform/posix/UriList.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11TopLevel.h"

namespace platform {

namespace {

using x11::ErrorTrap;

constexpr long kXdndVersion = 5;
// How long a drop waits for the data of a drag that ends before it arrived.
constexpr int kDropDataWaitSteps = 25;  // of 20 ms

struct Atoms {
    explicit Atoms(Display* display) {
        auto intern = [display](const char* name) { return XInternAtom(display, name, False); };
        aware = intern("XdndAware");
        proxy = intern("XdndProxy");
        enter = intern("XdndEnter");
        position = intern("XdndPosition");
        status = intern("XdndStatus");
        leave = intern("XdndLeave");
        drop = intern("XdndDrop");
        finished = intern("XdndFinished");
        selection = intern("XdndSelection");
        typeList = intern("XdndTypeList");
        actionMove = intern("XdndActionMove");
        uriList = intern("text/uri-list");
        utf8String = intern("UTF8_STRING");
        text = intern("TEXT");
        incr = intern("INCR");
        dropData = intern("KRV_DROP_DATA");
    }
    Atom aware, proxy, enter, position, status, leave, drop, finished, selection, typeList,
        actionMove, uriList, utf8String, text, incr, dropData;
};

// Window-valued property, or 0.
Window windowProperty(Display* display, Window window, Atom property) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Window value = 0;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_WINDOW, &type, &format,
                           &count, &after, &data) == Success &&
        data && type == XA_WINDOW && format == 32 && count == 1)
        value = Window(*reinterpret_cast<unsigned long*>(data));
    if (data) XFree(data);
    return value;
}

bool hasProperty(Display* display, Window window, Atom property) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool found = XGetWindowProperty(display, window, property, 0, 1, False, AnyPropertyType, &type,
                                    &format, &count, &after, &data) == Success &&
                 type != None;
    if (data) XFree(data);
    return found;
}

void setAware(Display* display, Window window) {
    long version = kXdndVersion;
    XChangeProperty(display, window, XInternAtom(display, "XdndAware", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&version), 1);
}

void setProxy(Display* display, Window window, Window proxy) {
    long value = long(proxy);
    XChangeProperty(display, window, XInternAtom(display, "XdndProxy", False), XA_WINDOW, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&value), 1);
}

// Events for the host's top-level (proxied messages carry its id) have no window of ours
// to go to; this entry in the table passes them on.
class ProxiedEvents : public x11::EventTarget {
public:
    void handleEvent(const XEvent& event, bool) override {
        if (event.type == ClientMessage) x11::dispatchClientMessage(event);
    }
    void paintDamage() override {}
};

class X11DropTarget : public DropTarget {
public:
    X11DropTarget(Display* display, Window own, DropListener& listener)
        : display(display), atoms(display), own(own), listener(listener) {}

    ~X11DropTarget() override {
        x11::setClientMessageHandler(own, nullptr);
        if (topLevel) {
            x11::setClientMessageHandler(topLevel, nullptr);
            if (x11::findTarget(topLevel) == &forwarder) x11::unregisterTarget(topLevel);
        }
        {
            ErrorTrap trap;
            if (topLevel && windowProperty(display, topLevel, atoms.proxy) == own) {
                XDeleteProperty(display, topLevel, atoms.proxy);
                XDeleteProperty(display, topLevel, atoms.aware);
            }
            XDeleteProperty(display, own, atoms.aware);
            XDeleteProperty(display, own, atoms.proxy);
        }
        XFlush(display);
        x11::releaseDisplay();
    }

    void install() {
        ErrorTrap trap;
        setAware(display, own);
        auto handler = [this](const XEvent& event) { handle(event); };
        x11::setClientMessageHandler(own, handler);
        Window top = x11::topLevelOf(display, own);
        if (top && top != own && !hasProperty(display, top, atoms.aware)) {
            setAware(display, top);
            setProxy(display, top, own);
            // A proxy names itself, so sources can tell a live proxy from a stale one.
            setProxy(display, own, own);
            topLevel = top;
            x11::setClientMessageHandler(topLevel, handler);
            if (!x11::findTarget(topLevel)) x11::registerTarget(topLevel, &forwarder);
        }
        XFlush(display);
    }

private:
    void handle(const XEvent& event) {
        if (event.type == SelectionNotify) {
            received(event.xselection);
            return;
        }
        if (event.type != ClientMessage || event.xclient.format != 32) return;
        const XClientMessageEvent& message = event.xclient;
        if (message.message_type == atoms.enter)
            entered(message);
        else if (message.message_type == atoms.position)
            moved(message);
        else if (message.message_type == atoms.leave)
            left(message);
        else if (message.message_type == atoms.drop)
            droppedOn(message);
    }

    void entered(const XClientMessageEvent& message) {
        source = Window(message.data.l[0]);
        std::vector<Atom> types;
        if (message.data.l[1] & 1) {
            types = typeListOf(source);
        } else {
            for (int i = 2; i <= 4; ++i)
                if (message.data.l[i]) types.push_back(Atom(message.data.l[i]));
        }
        dataRequested = false;
        needsData = false;
        items = 0;
        for (Atom type : types)
            if (type == atoms.uriList) needsData = true;
        if (!needsData)
            for (Atom type : types)
                if (isText(type)) items = 1;
        // A new drag while one is known: the source lost the old one without a leave.
        if (listenerKnows) {
            listenerKnows = false;
            listener.dragLeft();
        }
    }

    void moved(const XClientMessageEvent& message) {
        if (!source || Window(message.data.l[0]) != source) return;
        reply(message.window, atoms.status, 1 | 2, atoms.actionMove);
        if (needsData && !dataRequested) {
            ErrorTrap trap;
            XConvertSelection(display, atoms.selection, atoms.uriList, atoms.dropData, own,
                              Time(message.data.l[3]));
            XFlush(display);
            dataRequested = true;
        }
        if (listenerKnows)
            listener.dragMoved();
        else if (!needsData)
            tellEntered();
    }

    void left(const XClientMessageEvent& message) {
        if (!source || Window(message.data.l[0]) != source) return;
        bool known = listenerKnows;
        source = 0;
        listenerKnows = false;
        if (known) listener.dragLeft();
    }

    void droppedOn(const XClientMessageEvent& message) {
        if (!source || Window(message.data.l[0]) != source) return;
        if (!listenerKnows && needsData) awaitData();
        if (!listenerKnows) tellEntered();
        reply(message.window, atoms.finished, 1, atoms.actionMove);
        source = 0;
        listenerKnows = false;
        listener.dropped();
    }

    void received(const XSelectionEvent& answer) {
        if (!source || !needsData || answer.selection != atoms.selection) return;
        items = 0;
        if (answer.property != None) {
            ErrorTrap trap;
            Atom type = 0;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            // A list sent in pieces (INCR, for a huge number of files) is not read: 0 items.
            if (XGetWindowProperty(display, own, answer.property, 0, 1 << 20, True, AnyPropertyType,
                                   &type, &format, &count, &after, &data) == Success &&
                data && format == 8 && type != atoms.incr)
                items = posix::countUriListItems(
                    std::string(reinterpret_cast<const char*>(data), count));
            if (data) XFree(data);
        }
        needsData = false;
        if (!listenerKnows) tellEntered();
    }

    // The drop came before the data; the source answers quickly or not at all.
    void awaitData() {
        if (!dataRequested) {
            ErrorTrap trap;
            XConvertSelection(display, atoms.selection, atoms.uriList, atoms.dropData, own,
                              CurrentTime);
            dataRequested = true;
        }
        XFlush(display);
        for (int step = 0; step < kDropDataWaitSteps && needsData; ++step) {
            XEvent event;
            if (XCheckTypedWindowEvent(display, own, SelectionNotify, &event)) {
                received(event.xselection);
                continue;
            }
            pollfd waitFor{ConnectionNumber(display), POLLIN, 0};
            poll(&waitFor, 1, 20);
        }
    }

    void tellEntered() {
        listenerKnows = true;
        listener.dragEntered(items);
    }

    bool isText(Atom type) const {
        if (type == XA_STRING || type == atoms.utf8String || type == atoms.text) return true;
        char* name = XGetAtomName(display, type);
        bool plain = name && std::string(name).rfind("text/plain", 0) == 0;
        if (name) XFree(name);
        return plain;
    }

    std::vector<Atom> typeListOf(Window window) {
        std::vector<Atom> types;
        ErrorTrap trap;
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, window, atoms.typeList, 0, 1024, False, XA_ATOM, &type,
                               &format, &count, &after, &data) == Success &&
            data && format == 32) {
            auto* list = reinterpret_cast<unsigned long*>(data);
            types.assign(list, list + count);
        }
        if (data) XFree(data);
        return types;
    }

    // addressedAs: the window the source sent to (the host's top-level through the proxy).
    void reply(Window addressedAs, Atom type, long flags, Atom action) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.display = display;
        event.xclient.window = source;
        event.xclient.message_type = type;
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(addressedAs);
        event.xclient.data.l[1] = flags;
        // Status: an empty rectangle, so positions keep coming; Finished: the action.
        event.xclient.data.l[type == atoms.finished ? 2 : 4] = long(action);
        ErrorTrap trap;
        XSendEvent(display, source, False, NoEventMask, &event);
        XFlush(display);
    }

    Display* display;
    Atoms atoms;
    Window own;
    Window topLevel = 0;  // set while it is our proxy
    DropListener& listener;
    ProxiedEvents forwarder;
    Window source = 0;  // of the drag in progress
    bool needsData = false;
    bool dataRequested = false;
    bool listenerKnows = false;
    int items = 0;
};

}  // namespace

std::unique_ptr<DropTarget> DropTarget::create(NativeWindow& window, DropListener& listener) {
    if (!window.exists() || !window.handle()) return nullptr;
    Display* display = x11::acquireDisplay();
    if (!display) return nullptr;
    auto target = std::make_unique<X11DropTarget>(display, Window(window.handle()), listener);
    target->install();
    return target;
}

}  // namespace platform
