#include "platform/x11/X11Connection.h"

#include <map>
#include <utility>

#include "platform/common/WatcherList.h"

namespace platform::x11 {

namespace {

struct Connection {
    Display* display = nullptr;
    int users = 0;
    std::map<Window, EventTarget*> targets;
    std::map<Window, ClientMessageHandler> clientMessageHandlers;
    int trapDepth = 0;
    int errorCount = 0;
    XErrorHandler previousHandler = nullptr;
    unsigned long generation = 0;
    WatcherList<PassWatcher> watchers;
};

Connection& connection() {
    static Connection instance;
    return instance;
}

int collectError(Display* display, XErrorEvent* error) {
    Connection& c = connection();
    if (display == c.display) {
        ++c.errorCount;
        return 0;
    }
    return c.previousHandler ? c.previousHandler(display, error) : 0;
}

}  // namespace

Display* acquireDisplay() {
    Connection& c = connection();
    if (!c.display) {
        c.display = XOpenDisplay(nullptr);
        if (!c.display) return nullptr;
        ++c.generation;
    }
    ++c.users;
    return c.display;
}

void addPassWatcher(PassWatcher* watcher) { connection().watchers.add(watcher); }
void removePassWatcher(PassWatcher* watcher) { connection().watchers.remove(watcher); }

bool pressSwallowed(const XEvent& press) {
    bool swallowed = false;
    connection().watchers.tellEach([&](PassWatcher* watcher) {
        swallowed = watcher->pressFor(press.xany.window, press);
        return swallowed;
    });
    return swallowed;
}

void endPass() {
    connection().watchers.tellEach([](PassWatcher* watcher) {
        watcher->passEnded();
        return false;
    });
}

void announceWindowClosing(Window window) {
    connection().watchers.tellEach([window](PassWatcher* watcher) {
        watcher->windowClosing(window);
        return false;
    });
}

void releaseDisplay() {
    Connection& c = connection();
    if (c.users == 0 || c.users > 1) {
        if (c.users > 0) --c.users;
        return;
    }
    // Still one user while the watchers end, so that their own release cannot close it.
    connection().watchers.tellEach([](PassWatcher* watcher) {
        watcher->connectionClosing();
        return false;
    });
    if (--c.users > 0) return;
    XCloseDisplay(c.display);
    c.display = nullptr;
    c.targets.clear();
    c.clientMessageHandlers.clear();
    c.watchers.clear();
}

Display* currentDisplay() { return connection().display; }

unsigned long connectionGeneration() { return connection().generation; }

bool stillConnected(Display* display, unsigned long generation) {
    return display && connection().display == display && connection().generation == generation;
}

void registerTarget(Window window, EventTarget* target) { connection().targets[window] = target; }
void unregisterTarget(Window window) { connection().targets.erase(window); }

EventTarget* findTarget(Window window) {
    auto& targets = connection().targets;
    auto found = targets.find(window);
    return found == targets.end() ? nullptr : found->second;
}

double scaleOfWindow(Window window) {
    if (!currentDisplay()) return 1.0;
    EventTarget* target = findTarget(window);
    return target ? target->drawingScale() : 1.0;
}

void setClientMessageHandler(Window window, ClientMessageHandler handler) {
    auto& handlers = connection().clientMessageHandlers;
    if (handler)
        handlers[window] = std::move(handler);
    else
        handlers.erase(window);
}

bool dispatchClientMessage(const XEvent& event) {
    auto& handlers = connection().clientMessageHandlers;
    auto found = handlers.find(event.xany.window);
    if (found == handlers.end()) return false;
    // A copy: the handler may remove itself.
    ClientMessageHandler handler = found->second;
    handler(event);
    return true;
}

ErrorTrap::ErrorTrap(bool waitForAnswers)
    : errorsAtStart(connection().errorCount), waitForAnswers(waitForAnswers) {
    Connection& c = connection();
    if (c.trapDepth++ == 0) c.previousHandler = XSetErrorHandler(collectError);
}

ErrorTrap::~ErrorTrap() {
    Connection& c = connection();
    if (--c.trapDepth > 0) return;
    // The connection may have closed while the trap was set. A round trip is needed only
    // while the server has requests it has not answered: their errors may still come.
    if (waitForAnswers && c.display &&
        NextRequest(c.display) - 1 != LastKnownRequestProcessed(c.display))
        XSync(c.display, False);
    XSetErrorHandler(c.previousHandler);
    c.previousHandler = nullptr;
}

bool ErrorTrap::failed() {
    if (Display* display = connection().display) XSync(display, False);
    return connection().errorCount != errorsAtStart;
}

}  // namespace platform::x11
