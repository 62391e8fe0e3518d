// The standalone host's top-level window; its message loop is the host's, so processEvents
// pumps every message of the thread, the editor's included.
#include "platform/HostWindow.h"
#include "platform/win32/GdiCanvas.h"
#include "platform/win32/Win32WindowClass.h"

namespace platform {

namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kMostMessagesPerPass = 1024;

LRESULT CALLBACK hostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

win32::SharedWindowClass& hostClass() {
    static win32::SharedWindowClass windowClass(
        "KrvTarnwickHost", hostProcedure, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return windowClass;
}

// The outer size that gives the client area width × height.
SIZE outerSize(int width, int height) {
    RECT area{0, 0, width > 0 ? width : 1, height > 0 ? height : 1};
    AdjustWindowRectEx(&area, kStyle, FALSE, 0);
    return SIZE{area.right - area.left, area.bottom - area.top};
}

class Win32HostWindow : public HostWindow {
public:
    explicit Win32HostWindow(HWND window) : window(window) {
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Win32HostWindow() override {
        if (!closed) {
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            DestroyWindow(window);
        }
        hostClass().release();
    }

    WindowHandle handle() const override { return reinterpret_cast<WindowHandle>(window); }

    void resize(int width, int height) override {
        if (closed || width <= 0 || height <= 0) return;
        SIZE outer = outerSize(width, height);
        SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void setTitle(const std::string& title) override {
        if (!closed) SetWindowTextA(window, title.c_str());
    }

    void sync() override { GdiFlush(); }

    bool processEvents() override {
        MSG message{};
        for (int handled = 0; handled < kMostMessagesPerPass; ++handled) {
            if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) break;
            if (message.message == WM_QUIT) {
                closed = true;
                break;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        return !closed;
    }

    bool saveScreenshot(const std::string& path) override {
        if (closed) return false;
        // Paints still due, the editor's included, happen before the picture is taken.
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        RECT client{};
        GetClientRect(window, &client);
        auto image = Canvas::createImage(client.right, client.bottom);
        if (!image) return false;
        // A context without the children clipped out reads what they show as well.
        HDC source = GetDCEx(window, nullptr, DCX_CACHE);
        if (!source) return false;
        BOOL copied = BitBlt(image->impl().surface->dc, 0, 0, client.right, client.bottom, source,
                             0, 0, SRCCOPY);
        ReleaseDC(window, source);
        return copied && image->writePng(path);
    }

    void markClosed() {
        closed = true;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    }

private:
    HWND window;
    bool closed = false;
};

LRESULT CALLBACK hostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* host = reinterpret_cast<Win32HostWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (host && message == WM_DESTROY) host->markClosed();
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

std::unique_ptr<HostWindow> HostWindow::create(const std::string& title, int width, int height,
                                               std::string& error, int x, int y) {
    if (!hostClass().acquire()) {
        error = "cannot register the host window's class";
        return nullptr;
    }
    SIZE outer = outerSize(width, height);
    HWND window = CreateWindowExA(0, hostClass().name(), title.c_str(), kStyle, x, y, outer.cx,
                                  outer.cy, nullptr, nullptr, win32::ownModule(), nullptr);
    if (!window) {
        hostClass().release();
        error = "cannot create the host window (is there a display?)";
        return nullptr;
    }
    auto host = std::make_unique<Win32HostWindow>(window);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    return host;
}

}  // namespace platform
