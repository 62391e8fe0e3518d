#include "support/WindowManager.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

bool managed(Display* display) {
    std::string name = "WM_S" + std::to_string(DefaultScreen(display));
    Atom selection = XInternAtom(display, name.c_str(), False);
    return XGetSelectionOwner(display, selection) != 0;
}

bool hasProperty(Display* display, Window window, Atom property) {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, remaining = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, property, 0, 0, False, AnyPropertyType, &type, &format,
                       &items, &remaining, &data);
    if (data) XFree(data);
    return type != 0;
}

}  // namespace

bool WindowManager::start(std::string& error) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        error = "no X server to manage (is DISPLAY set?)";
        return false;
    }
    if (managed(display)) {
        XCloseDisplay(display);
        error = "the X server has a window manager already";
        return false;
    }
    pid = fork();
    if (pid < 0) {
        XCloseDisplay(display);
        error = "cannot start openbox";
        return false;
    }
    if (pid == 0) {
        // A test that dies (an X error ends the process) takes its manager along.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        // Its complaints about menus the test has no use for stay out of the test's output.
        int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
        }
        execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
        _exit(127);
    }
    // Owning the selection is not yet managing: a window mapped too early may stay
    // unmapped. A probe mapped until the manager marks it with WM_STATE tells. Bounded: a
    // manager that never comes up fails the test instead of hanging it.
    Window probe = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    Atom wmState = XInternAtom(display, "WM_STATE", False);
    bool up = false;
    for (int i = 0; i < 1000 && !up && pid > 0; ++i) {
        if (i % 10 == 0 && managed(display)) XMapWindow(display, probe);
        up = hasProperty(display, probe, wmState);
        if (!up && waitpid(pid, nullptr, WNOHANG) == pid) pid = -1;  // it gave up
        if (!up) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    XDestroyWindow(display, probe);
    XCloseDisplay(display);
    if (!up) {
        error = "openbox did not take the screen (is the openbox package installed?)";
        stop();
        return false;
    }
    return true;
}

void WindowManager::stop() {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    pid = -1;
}
