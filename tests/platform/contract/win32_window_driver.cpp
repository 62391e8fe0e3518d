// GoogleTest first; windows.h after it, lean.
#include "contract/WindowContract.h"

#include <windows.h>

#include "platform/PointerState.h"

namespace {

// A top-level window of the test's own plays the host's; messages reach our child as the
// system would send them.
class Win32Driver : public WindowDriver {
public:
    ~Win32Driver() override {
        if (parent && IsWindow(parent)) DestroyWindow(parent);
    }

    platform::WindowHandle makeParent(int width, int height) override {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "KrvContractParent";
        RegisterClassA(&windowClass);  // fails harmlessly when a second driver registers it
        // Without a caption: Wine then needs no window manager to let it go at once.
        parent = CreateWindowExA(0, "KrvContractParent", "contract", WS_POPUP, 0, 0, width,
                                 height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (!parent) return 0;
        ShowWindow(parent, SW_SHOWNA);
        drain();
        return reinterpret_cast<platform::WindowHandle>(parent);
    }
    void expose(platform::WindowHandle child, const platform::Rect& area) override {
        RECT rect{area.left, area.top, area.right, area.bottom};
        InvalidateRect(reinterpret_cast<HWND>(child), &rect, FALSE);
    }
    void press(platform::WindowHandle child, platform::Point where, int buttons) override {
        UINT message = (buttons & platform::kPointerRight) ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
        WPARAM keys = (buttons & platform::kPointerRight) ? MK_RBUTTON : MK_LBUTTON;
        if (buttons & platform::kPointerShift) keys |= MK_SHIFT;
        if (buttons & platform::kPointerControl) keys |= MK_CONTROL;
        PostMessageA(reinterpret_cast<HWND>(child), message, keys, MAKELPARAM(where.x, where.y));
    }
    void destroyParent() override {
        DestroyWindow(parent);
        parent = nullptr;
    }
    // Posted and invalidated: already waiting in the thread's queue.
    void settle() override {}

private:
    // The parent's own start-up messages, which the host's loop would handle.
    void drain() {
        MSG message{};
        while (PeekMessageA(&message, parent, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }

    HWND parent = nullptr;
};

}  // namespace

std::unique_ptr<WindowDriver> makeWindowDriver() { return std::make_unique<Win32Driver>(); }
