// A window manager (openbox) on the X server DISPLAY names, for tests of what changes
// under one: frames around top-level windows, WM_STATE, focus given to new windows,
// closing through the manager.
#pragma once

#include <string>
#include <sys/types.h>

class WindowManager {
public:
    WindowManager() = default;
    ~WindowManager() { stop(); }
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // Returns once the manager owns the screen's WM_S selection and manages new windows;
    // false with a reason when it did not come up.
    bool start(std::string& error);
    // Ends it; its windows' clients go back to the root.
    void stop();

private:
    pid_t pid = -1;
};
