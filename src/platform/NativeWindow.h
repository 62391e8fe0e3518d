// Windows and their events: the child window an editor lives in, queries on the host's
// windows around it, and the event pump that runs on the host's user-interface thread.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/Canvas.h"
#include "platform/CursorStyle.h"

namespace platform {

// A native window id as the host hands it over (an X11 Window on X11, an HWND on Windows).
using WindowHandle = std::uintptr_t;

// What a window reports; positions and damage are in the window's logical pixels.
class WindowListener {
public:
    virtual ~WindowListener() = default;
    virtual void windowExposed(const Rect& damaged) = 0;
    // buttons: the pressed button and the modifiers held (PointerBits).
    virtual void buttonPressed(Point where, int buttons) = 0;
    // One notch is 1.0; positive away from the user.
    virtual void wheelTurned(Point where, float distance) = 0;
    virtual void keyPressed(const Key& key) = 0;
    virtual void keyReleased(const Key& key) = 0;
    // The window went away without being asked (its parent was destroyed).
    virtual void windowDestroyed() = 0;
    // The system may now show the window at another factor (Windows: the dots per inch of
    // the window or its parent changed); desktopScaleFactor tells the new one.
    virtual void scaleMayHaveChanged() {}
};

class NativeWindow {
public:
    // A visible child of parent at (0, 0), width × height logical pixels drawn at scale
    // (DeviceScale.h); null when the parent does not exist or no display can be reached.
    // What the platform shows for the window (its menus, edit boxes, message boxes and
    // dialogs) takes the window's scale.
    static std::unique_ptr<NativeWindow> createChild(WindowHandle parent, int width, int height,
                                                     WindowListener& listener,
                                                     double scale = 1.0);
    // Destroys the window unless it is already gone.
    virtual ~NativeWindow() = default;

    virtual WindowHandle handle() const = 0;
    virtual bool exists() const = 0;
    // The logical size; the window takes its device size.
    virtual void resize(int width, int height) = 0;
    virtual double scale() const = 0;
    // Draws at another scale from now on: the window takes the device size of its logical
    // size at that scale and is exposed whole.
    virtual void setScale(double scale) = 0;
    // Top-left corner in screen (device) coordinates.
    virtual Point screenOrigin() const = 0;
    // A surface that draws into the window.
    virtual std::unique_ptr<Canvas> createCanvas() = 0;
    virtual void setCursor(CursorStyle shape) = 0;
};

// Queries on any window of the display (the host's ones included), in device pixels; they
// answer only while one of our windows is open.
bool windowScreenRect(WindowHandle window, Rect& rect);
WindowHandle parentWindow(WindowHandle window);  // 0 at the top
bool isTopLevelWindow(WindowHandle window);      // a direct child of the screen
void resizeWindow(WindowHandle window, int width, int height);

// Drawing on our windows outside processPendingEvents (the editor's idle redraw) happens
// while one of these lives: what the display says about it meanwhile (a window the host
// destroyed behind our back) is collected, never the end of the program. It adds no round
// trip: later answers are collected by the next event pass.
class DrawingOutsidePass {
public:
    DrawingOutsidePass();
    ~DrawingOutsidePass();
    DrawingOutsidePass(const DrawingOutsidePass&) = delete;
    DrawingOutsidePass& operator=(const DrawingOutsidePass&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};

// Handles every pending event of our windows, painting each damaged window once.
void processPendingEvents();
// Sends what was drawn on to the display.
void flushDrawing();
// A descriptor that becomes readable when events for our windows arrive, for hosts that
// watch descriptors and call processPendingEvents then; -1 where there is none (no window
// of ours is open, or the system delivers events through the host's own loop).
int eventDescriptor();
// Lets one pending paint through; false when none was waiting. Drag loops call it so the
// window keeps painting while the mouse is held.
bool dispatchOnePendingPaint();

}  // namespace platform
