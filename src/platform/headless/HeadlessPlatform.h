// Controls of the headless backend for tests: a scripted pointer, an injectable clock
// and windows that draw into images and take posted events.
#pragma once

#include <vector>

#include "platform/NativeWindow.h"
#include "platform/PointerState.h"

namespace platform::headless {

struct PointerStep {
    Point screen;
    int buttons;
};

// The pointer rests at start. Each read of the buttons moves to the next step and answers
// its buttons; position reads answer the current step's position. After the last step
// the state stays as it is.
void scriptPointer(Point start, std::vector<PointerStep> steps);
void setPointer(Point screen, int buttons);
int pointerButtonReads();

void setTicks(int32_t ticks);
int32_t ticks();
// Sleeps move the clock on by their length and are recorded.
const std::vector<int>& sleeps();

// The window created last, and the windows still open.
WindowHandle lastWindow();
int openWindowCount();
// The image a window draws into; null for a closed window.
const Canvas* windowImage(WindowHandle window);
void setWindowScreenOrigin(WindowHandle window, Point origin);
CursorStyle windowCursor(WindowHandle window);
// How many surfaces were made to draw on the window: each paint or redraw makes one.
int canvasesCreated(WindowHandle window);
// Events wait until processPendingEvents or dispatchOnePendingPaint handles them.
void postExpose(WindowHandle window, Rect damaged);
void postButtonPress(WindowHandle window, Point where, int buttons);
void postWheel(WindowHandle window, Point where, float distance);
void postKey(WindowHandle window, Key key, bool pressed);
// The window goes away as when its parent is destroyed.
void destroyFromOutside(WindowHandle window);
int paintsLetThrough();

// What desktopScaleFactor answers (1 until set).
void setDesktopScale(double factor);

// Back to a fresh state (pointer, clock, counters, the services' scripts); open windows stay.
void reset();

}  // namespace platform::headless
