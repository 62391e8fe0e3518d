// Message boxes, the only way failures reach the user. Each backend (x11, win32, headless
// for tests) defines them; a program links exactly one.
#pragma once

#include "platform/NativeWindow.h"

namespace platform {

enum class MessageBoxIcon { Error, Warning, Information };

// Shows text under title with an OK button.
// - X11: returns at once; the box is a window of ours, served with our windows' events,
//   until the user closes it or the window it belongs to closes. Without a window of ours
//   open nobody would serve it, so the message goes to standard error instead.
// - Windows: the system's box; returns when the user has closed it.
void showMessageBox(const char* title, const char* text, MessageBoxIcon icon);

// While one lives, boxes shown on this thread belong to owner (an editor's window): they
// stay above the host's window around it and close with owner. Scopes nest.
class MessageBoxOwner {
public:
    explicit MessageBoxOwner(WindowHandle owner);
    ~MessageBoxOwner();
    MessageBoxOwner(const MessageBoxOwner&) = delete;
    MessageBoxOwner& operator=(const MessageBoxOwner&) = delete;

    // The owner of the innermost scope on this thread; 0 outside every scope.
    static WindowHandle current();

private:
    WindowHandle previous;
};

}  // namespace platform
