// What the frame needs from the editor that owns it.
#pragma once

#include <cstdint>

class CFrameEditor {
public:
    virtual ~CFrameEditor() = default;
    // Idle work while a control holds the mouse: repaint and keep the host alive.
    virtual void doIdleStuff() = 0;
    // Start and end of a user's edit of the parameter with this index.
    virtual void beginEdit(int32_t index) = 0;
    virtual void endEdit(int32_t index) = 0;
    // Asks the host to resize the editor's window; false when the host cannot.
    virtual bool sizeWindowThroughHost(int32_t width, int32_t height) = 0;
    // Brackets one window event that reached the frame outside any call of the host's (a
    // host delivering our events itself): what the event sets off may call the host, which
    // may close the editor meanwhile; the editor stays until the bracket ends.
    virtual void holdForEvent() {}
    // The system says the window's dots per inch may have changed (moved to another screen).
    virtual void scaleMayHaveChanged() {}
    virtual void releaseAfterEvent() {}
};
