// Our child window inside the host's window, and the message pumping the editor asks for.
// The host's own message loop delivers our messages; the pump only empties what waits for
// our windows while a control's drag loop holds the host's loop still.
#include <windowsx.h>

#include <algorithm>

#include "platform/DeviceScale.h"
#include "platform/NativeWindow.h"
#include "platform/PointerState.h"
#include "platform/win32/GdiCanvas.h"
#include "platform/win32/Win32Keys.h"
#include "platform/win32/Win32WindowClass.h"
#include "platform/win32/Win32Windows.h"

namespace platform {

namespace {

// A bound on one pass, so that a window that keeps posting to itself cannot hold us.
constexpr int kMostMessagesPerPass = 256;

// Sent to a child whose parent's dots per inch changed (Windows 10 1607 on; our SDK level
// predates its name).
constexpr UINT kDpiChangedAfterParent = 0x02E3;

std::vector<HWND>& windowList() {
    static std::vector<HWND> windows;
    return windows;
}

void forget(HWND window) {
    auto& windows = windowList();
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

bool isOpen(HWND window) {
    const auto& windows = windowList();
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

BOOL CALLBACK findDamagedChild(HWND child, LPARAM found) {
    if (!GetUpdateRect(child, nullptr, FALSE)) return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

// Damage on the window or on a window inside it (an edit box).
bool needsPaint(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE)) return true;
    bool found = false;
    EnumChildWindows(window, findDamagedChild, reinterpret_cast<LPARAM>(&found));
    return found;
}

// WM_PAINT sent straight to the window and its damaged children, past the queue.
void paintNow(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

HWND toHwnd(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }

LPCSTR cursorResource(CursorStyle shape) {
    switch (shape) {
        case CursorStyle::Wait: return IDC_WAIT;
        case CursorStyle::SizeHorizontal: return IDC_SIZEWE;
        case CursorStyle::SizeVertical: return IDC_SIZENS;
        case CursorStyle::SizeAll: return IDC_SIZEALL;
        case CursorStyle::SizeNortheastSouthwest: return IDC_SIZENESW;
        case CursorStyle::SizeNorthwestSoutheast: return IDC_SIZENWSE;
        case CursorStyle::NotAllowed: return IDC_NO;
        case CursorStyle::Hand: return IDC_HAND;
        default: return IDC_ARROW;
    }
}

// Buttons in messages are logical already: a left-handed user's press is WM_LBUTTONDOWN.
int pressedButton(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN: return kPointerLeft;
        case WM_MBUTTONDOWN: return kPointerMiddle;
        default: return kPointerRight;
    }
}

int pressModifiers(WPARAM keyState) {
    int bits = 0;
    if (keyState & MK_SHIFT) bits |= kPointerShift;
    if (keyState & MK_CONTROL) bits |= kPointerControl;
    if (GetKeyState(VK_MENU) < 0) bits |= kPointerAlt;  // not among the message's key state
    return bits;
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

win32::SharedWindowClass& childClass() {
    // No background brush: every paint covers what it was asked to.
    static win32::SharedWindowClass windowClass("KrvTarnwickEditor", windowProcedure, nullptr);
    return windowClass;
}

class Win32Window : public NativeWindow {
public:
    Win32Window(HWND window, int width, int height, double scale, WindowListener& listener)
        : window(window), width(width), height(height), drawScale(scale), listener(listener) {
        windowList().push_back(window);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }

    ~Win32Window() override {
        if (alive) {
            forget(window);
            // Detached first: the destruction is ours, not news for the listener.
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            DestroyWindow(window);
        }
        childClass().release();
    }

    WindowHandle handle() const override { return reinterpret_cast<WindowHandle>(window); }
    bool exists() const override { return alive; }

    void resize(int newWidth, int newHeight) override {
        if (!alive || newWidth <= 0 || newHeight <= 0) return;
        width = newWidth;
        height = newHeight;
        takeDeviceSize();
    }

    double scale() const override { return drawScale; }

    void setScale(double newScale) override {
        if (!(newScale > 0.0) || newScale == drawScale) return;
        drawScale = newScale;
        if (!alive) return;
        takeDeviceSize();
        // Everything is drawn anew at the new scale.
        InvalidateRect(window, nullptr, FALSE);
    }

    Point screenOrigin() const override {
        POINT origin{0, 0};
        if (alive) ClientToScreen(window, &origin);
        return Point{int(origin.x), int(origin.y)};
    }

    std::unique_ptr<Canvas> createCanvas() override {
        return canvasOnWindow(alive ? window : nullptr, width, height, drawScale);
    }

    void setCursor(CursorStyle shape) override {
        cursor = LoadCursorA(nullptr, cursorResource(shape));
        if (!alive) return;
        // WM_SETCURSOR shows it from the next move on; a pointer resting on us sees it now.
        POINT pointer{};
        if (GetCursorPos(&pointer) && WindowFromPoint(pointer) == window) SetCursor(cursor);
    }

    // Every branch that tells the listener does so last: the listener may destroy this
    // object (the host closes the editor from inside a press), so nothing of it may be
    // touched afterwards.
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) {
        HWND self = window;
        Key key;
        switch (message) {
            case WM_PAINT: {
                RECT update{};
                if (!GetUpdateRect(self, &update, FALSE)) break;
                ValidateRect(self, nullptr);
                listener.windowExposed(coveringLogical(
                    Rect{update.left, update.top, update.right, update.bottom}, drawScale));
                return 0;
            }
            case WM_LBUTTONDOWN:
            case WM_MBUTTONDOWN:
            case WM_RBUTTONDOWN:
                win32::notePressMessage(pressedButton(message));
                listener.buttonPressed(
                    toLogical(Point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, drawScale),
                    pressedButton(message) | pressModifiers(wParam));
                return 0;
            case WM_LBUTTONUP:
                win32::noteReleaseMessage(kPointerLeft);
                break;
            case WM_MBUTTONUP:
                win32::noteReleaseMessage(kPointerMiddle);
                break;
            case WM_RBUTTONUP:
                win32::noteReleaseMessage(kPointerRight);
                break;
            case WM_MOUSEWHEEL: {
                POINT where{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};  // on the screen
                ScreenToClient(self, &where);
                float distance = GET_WHEEL_DELTA_WPARAM(wParam) / float(WHEEL_DELTA);
                listener.wheelTurned(toLogical(Point{int(where.x), int(where.y)}, drawScale),
                                     distance);
                return DefWindowProcA(self, message, wParam, lParam);
            }
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
                if (keys.keyDown(wParam, win32::heldKeyModifiers(), key)) listener.keyPressed(key);
                return message == WM_KEYDOWN ? 0 : DefWindowProcA(self, message, wParam, lParam);
            case WM_CHAR:
            case WM_SYSCHAR:
                if (keys.character(wParam, win32::heldKeyModifiers(), key))
                    listener.keyPressed(key);
                return message == WM_CHAR ? 0 : DefWindowProcA(self, message, wParam, lParam);
            case WM_KEYUP:
            case WM_SYSKEYUP:
                if (keys.keyUp(wParam, win32::heldKeyModifiers(), key)) listener.keyReleased(key);
                return message == WM_KEYUP ? 0 : DefWindowProcA(self, message, wParam, lParam);
            case kDpiChangedAfterParent:
                listener.scaleMayHaveChanged();
                return 0;
            case WM_SETCURSOR:
                if (LOWORD(lParam) != HTCLIENT) break;
                SetCursor(cursor);
                return TRUE;
            case WM_DESTROY:
                // Not ours (the destructor detaches first): the parent went away.
                alive = false;
                forget(self);
                SetWindowLongPtrA(self, GWLP_USERDATA, 0);
                listener.windowDestroyed();
                return 0;
            default:
                break;
        }
        return DefWindowProcA(self, message, wParam, lParam);
    }

private:
    void takeDeviceSize() {
        SetWindowPos(window, nullptr, 0, 0, std::max(1, toDevice(width, drawScale)),
                     std::max(1, toDevice(height, drawScale)),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    HWND window;
    int width;  // logical
    int height;
    double drawScale;
    WindowListener& listener;
    HCURSOR cursor = LoadCursorA(nullptr, IDC_ARROW);
    win32::KeyTranslator keys;
    bool alive = true;
};

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* target = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!target) return DefWindowProcA(window, message, wParam, lParam);
    return target->handle(message, wParam, lParam);
}

}  // namespace

namespace win32 {

const std::vector<HWND>& openWindows() { return windowList(); }
bool anyWindowOpen() { return !windowList().empty(); }

}  // namespace win32

std::unique_ptr<NativeWindow> NativeWindow::createChild(WindowHandle parent, int width, int height,
                                                        WindowListener& listener, double scale) {
    if (parent == 0 || width <= 0 || height <= 0 || !(scale > 0.0) || !IsWindow(toHwnd(parent)))
        return nullptr;
    if (!childClass().acquire()) return nullptr;
    HWND window = CreateWindowExA(0, childClass().name(), "Window",
                                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                                  std::max(1, toDevice(width, scale)),
                                  std::max(1, toDevice(height, scale)), toHwnd(parent), nullptr,
                                  win32::ownModule(), nullptr);
    if (!window) {
        childClass().release();
        return nullptr;
    }
    return std::make_unique<Win32Window>(window, width, height, scale, listener);
}

bool windowScreenRect(WindowHandle window, Rect& rect) {
    RECT area{};
    if (!window || !IsWindow(toHwnd(window)) || !GetWindowRect(toHwnd(window), &area))
        return false;
    rect = Rect{area.left, area.top, area.right, area.bottom};
    return true;
}

WindowHandle parentWindow(WindowHandle window) {
    if (!window || !IsWindow(toHwnd(window))) return 0;
    HWND parent = GetAncestor(toHwnd(window), GA_PARENT);
    return parent == GetDesktopWindow() ? 0 : reinterpret_cast<WindowHandle>(parent);
}

bool isTopLevelWindow(WindowHandle window) {
    if (!window || !IsWindow(toHwnd(window))) return false;
    return GetAncestor(toHwnd(window), GA_PARENT) == GetDesktopWindow();
}

void resizeWindow(WindowHandle window, int width, int height) {
    if (!window || width <= 0 || height <= 0 || !IsWindow(toHwnd(window))) return;
    SetWindowPos(toHwnd(window), nullptr, 0, 0, width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void processPendingEvents() {
    for (int handled = 0; handled < kMostMessagesPerPass; ++handled) {
        // A copy: a handled message may open or close windows of ours.
        std::vector<HWND> windows = windowList();
        MSG message{};
        bool found = false;
        for (HWND window : windows)
            if (PeekMessageA(&message, window, 0, 0, PM_REMOVE)) {
                found = true;
                break;
            }
        if (!found) break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // The queue holds back a child's paint while its parent (the host's window) waits for
    // one of its own; ours are painted directly, each once.
    std::vector<HWND> windows = windowList();
    for (HWND window : windows)
        if (isOpen(window) && needsPaint(window)) paintNow(window);
}

// GDI reports no errors later: nothing to collect.
struct DrawingOutsidePass::Impl {};
DrawingOutsidePass::DrawingOutsidePass() = default;
DrawingOutsidePass::~DrawingOutsidePass() = default;

void flushDrawing() { GdiFlush(); }

// Window messages reach our windows through the host's message loop.
int eventDescriptor() { return -1; }

bool dispatchOnePendingPaint() {
    std::vector<HWND> windows = windowList();
    for (HWND window : windows)
        if (isOpen(window) && needsPaint(window)) {
            paintNow(window);
            return true;
        }
    return false;
}

}  // namespace platform
