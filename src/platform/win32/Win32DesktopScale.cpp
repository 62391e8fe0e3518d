// The desktop's factor on Windows: the dots per inch the system gives the host's window. The
// functions that tell it per window came after Windows 7, our floor: they are looked up at
// run time, and without them the screen's dots per inch answer (which Windows 7 already
// reports as 96 to a program it stretches).
#include <windows.h>

#include "platform/DisplayScale.h"
#include "platform/common/DesktopScale.h"

namespace platform {

namespace {

// Windows 10's awareness contexts, under names of our own: the SDK level we build for has
// none of them.
using AwarenessContext = HANDLE;
using DpiForWindowFunction = UINT(WINAPI*)(HWND);
using WindowAwarenessFunction = AwarenessContext(WINAPI*)(HWND);
using ThreadAwarenessFunction = AwarenessContext(WINAPI*)();
using AwarenessOfContextFunction = int(WINAPI*)(AwarenessContext);
constexpr int kAwarenessUnaware = 0;  // DPI_AWARENESS_UNAWARE

struct DpiFunctions {
    DpiForWindowFunction dpiForWindow;
    WindowAwarenessFunction windowAwareness;
    ThreadAwarenessFunction threadAwareness;
    AwarenessOfContextFunction awarenessOf;
};

template <typename Function>
Function lookUp(HMODULE library, const char* name) {
    FARPROC found = library ? GetProcAddress(library, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

const DpiFunctions& dpiFunctions() {
    // user32 stays loaded for the life of any program with windows.
    static const DpiFunctions functions = [] {
        HMODULE user32 = GetModuleHandleA("user32.dll");
        return DpiFunctions{
            lookUp<DpiForWindowFunction>(user32, "GetDpiForWindow"),
            lookUp<WindowAwarenessFunction>(user32, "GetWindowDpiAwarenessContext"),
            lookUp<ThreadAwarenessFunction>(user32, "GetThreadDpiAwarenessContext"),
            lookUp<AwarenessOfContextFunction>(user32, "GetAwarenessFromDpiAwarenessContext")};
    }();
    return functions;
}

unsigned screenDpi() {
    HDC screen = GetDC(nullptr);
    if (!screen) return 96;
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? unsigned(dpi) : 96;
}

}  // namespace

double desktopScaleFactor(WindowHandle parent) {
    const DpiFunctions& f = dpiFunctions();
    HWND window = reinterpret_cast<HWND>(parent);
    if (window && !IsWindow(window)) window = nullptr;
    unsigned dpi = 0;
    if (window && f.dpiForWindow) dpi = f.dpiForWindow(window);
    if (dpi == 0) dpi = screenDpi();
    // A window that is not aware of dots per inch is stretched by the system: drawing it
    // larger as well would enlarge it twice.
    bool aware = true;
    if (f.awarenessOf) {
        AwarenessContext context = nullptr;
        if (window && f.windowAwareness)
            context = f.windowAwareness(window);
        else if (!window && f.threadAwareness)
            context = f.threadAwareness();
        if (context) aware = f.awarenessOf(context) != kAwarenessUnaware;
    }
    return windowsDesktopFactor(dpi, aware);
}

}  // namespace platform
