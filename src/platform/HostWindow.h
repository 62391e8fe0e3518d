// A top-level window for a standalone host to embed an editor in.
#pragma once

#include <memory>
#include <string>

#include "platform/NativeWindow.h"

namespace platform {

class HostWindow {
public:
    // Null with a reason when no display can be opened. x and y place it on the screen.
    static std::unique_ptr<HostWindow> create(const std::string& title, int width, int height,
                                              std::string& error, int x = 0, int y = 0);
    virtual ~HostWindow() = default;

    virtual WindowHandle handle() const = 0;
    virtual void resize(int width, int height) = 0;
    virtual void setTitle(const std::string& title) = 0;
    // Waits until the display server has handled everything sent to it so far.
    virtual void sync() = 0;
    // Handles this window's pending events; false once the user has closed it.
    virtual bool processEvents() = 0;
    // Writes what the window shows (children included) to a PNG file.
    virtual bool saveScreenshot(const std::string& path) = 0;
};

}  // namespace platform
