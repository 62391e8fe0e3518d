// The promises every windowing backend keeps, written once as a state machine and run on
// each backend through a driver that makes real events of its kind: a child window is
// CREATED, EXPOSED once per pass however many exposures were queued (their union),
// PRESSED with the button and modifiers, and DESTROYED when its parent goes.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/NativeWindow.h"

class WindowDriver {
public:
    virtual ~WindowDriver() = default;
    // A parent window for the child; 0 when none can be made.
    virtual platform::WindowHandle makeParent(int width, int height) = 0;
    virtual void expose(platform::WindowHandle child, const platform::Rect& area) = 0;
    virtual void press(platform::WindowHandle child, platform::Point where, int buttons) = 0;
    virtual void destroyParent() = 0;
    // Lets the events sent so far arrive, so that one processPendingEvents sees them all.
    virtual void settle() = 0;
};

// Defined by each backend's test program.
std::unique_ptr<WindowDriver> makeWindowDriver();
