// The one display connection of our windows in this process, shared with a use count, and
// the table that leads an X event to the window it belongs to. The host's windows live on
// the host's own connection.
#pragma once

#include <X11/Xlib.h>

#include <functional>

namespace platform::x11 {

class EventTarget {
public:
    virtual ~EventTarget() = default;
    // merge: Expose only collects damage, painted later by paintDamage.
    virtual void handleEvent(const XEvent& event, bool merge) = 0;
    virtual void paintDamage() = 0;
    // The scale of what the window shows; what opens over it (menus, edit boxes, message
    // boxes, dialogs) is drawn at the same.
    virtual double drawingScale() const { return 1.0; }
};

// The drawing scale of one of our windows; 1 for any other window.
double scaleOfWindow(Window window);

// Opens the connection for its first user; null when no display can be opened.
Display* acquireDisplay();
void releaseDisplay();
// The open connection, or null.
Display* currentDisplay();
// Changes whenever a connection opens, so that a loop can tell that the one it started on
// closed (and another may have opened at the same address) while it handled an event.
unsigned long connectionGeneration();
// True while display is still the open connection of that generation.
bool stillConnected(Display* display, unsigned long generation);

void registerTarget(Window window, EventTarget* target);
void unregisterTarget(Window window);
EventTarget* findTarget(Window window);

// Protocols spoken through ClientMessage (drag and drop) and the SelectionNotify answers
// they ask for reach a handler set for the event's window; an empty handler removes it.
// Our windows pass these events on; the table is cleared with the connection.
using ClientMessageHandler = std::function<void(const XEvent&)>;
void setClientMessageHandler(Window window, ClientMessageHandler handler);
// False when no handler is set for the event's window.
bool dispatchClientMessage(const XEvent& event);

// Something of ours that stays open across the host's calls (a popup menu, a file
// dialog, a message box) and is served by the event passes of processPendingEvents
// instead of a loop of its own. Watchers may add and remove watchers from every call.
class PassWatcher {
public:
    virtual ~PassWatcher() = default;
    // A button press for one of our windows, before it is handled; true swallows it.
    virtual bool pressFor(Window, const XEvent&) { return false; }
    // The end of every pass, outside every window's own handler: work that may destroy
    // windows or call back into the editor, and whatever is watched without events.
    virtual void passEnded() {}
    // One of our windows is about to go: what belongs to it ends now.
    virtual void windowClosing(Window) {}
    // The connection is about to close: everything on it ends now.
    virtual void connectionClosing() {}
};
void addPassWatcher(PassWatcher* watcher);
void removePassWatcher(PassWatcher* watcher);
// The press goes to no window when a watcher swallows it.
bool pressSwallowed(const XEvent& press);
// Tells every watcher that the pass ended; the connection may have closed afterwards.
void endPass();
// Tells every watcher that window is about to go.
void announceWindowClosing(Window window);

// While one exists, X errors on our connection are collected instead of ending the
// process; errors of other connections (the host's) go to the handler installed before.
// The outermost trap waits for the server's answer to everything sent before it ends,
// unless told to leave the answers to the next trap (each event pass sets one).
class ErrorTrap {
public:
    explicit ErrorTrap(bool waitForAnswers = true);
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;
    // True when an error arrived since the trap was set (waits for the server).
    bool failed();

private:
    int errorsAtStart;
    bool waitForAnswers;
};

}  // namespace platform::x11
