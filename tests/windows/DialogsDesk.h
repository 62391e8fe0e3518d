// A host's top-level window with a child window of ours in it, made with plain Win32 so
// that the services are tested without the window backend, and a loop that dispatches
// this thread's messages as a host's loop does.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/NativeWindow.h"

// The child window as the services see an editor's window.
class DeskWindow : public platform::NativeWindow {
public:
    explicit DeskWindow(HWND window) : window(window) {}
    platform::WindowHandle handle() const override {
        return reinterpret_cast<platform::WindowHandle>(window);
    }
    bool exists() const override { return IsWindow(window) != FALSE; }
    void resize(int width, int height) override {
        SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    }
    platform::Point screenOrigin() const override {
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        return platform::Point{origin.x, origin.y};
    }
    double scale() const override { return drawScale; }
    // Only what opens over the window takes it: the tests' window keeps its size.
    void setScale(double scale) override { drawScale = scale; }
    std::unique_ptr<platform::Canvas> createCanvas() override { return nullptr; }
    void setCursor(platform::CursorStyle) override {}

private:
    HWND window;
    double drawScale = 1.0;
};

class DialogsDesk : public ::testing::Test {
protected:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 300;

    // One host window for the whole program: Wine takes seconds to destroy a top-level
    // window where no window manager runs.
    static HWND hostWindow() {
        static HWND host = [] {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = DefWindowProcA;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
            windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
            windowClass.lpszClassName = "KrvDeskWindow";
            RegisterClassA(&windowClass);
            return CreateWindowExA(0, "KrvDeskWindow", "host",
                                   WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, kWidth + 40,
                                   kHeight + 60, nullptr, nullptr, GetModuleHandleA(nullptr),
                                   nullptr);
        }();
        return host;
    }

    void SetUp() override {
        top = hostWindow();
        ASSERT_TRUE(top);
        editor = CreateWindowExA(0, "KrvDeskWindow", "editor",
                                 WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, kWidth, kHeight,
                                 top, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(editor);
        window = std::make_unique<DeskWindow>(editor);
        SetForegroundWindow(top);
        SetFocus(top);
        settle([] { return false; }, 5);
    }

    void TearDown() override {
        window.reset();
        if (IsWindow(editor)) DestroyWindow(editor);
        settle([] { return false; }, 2);
    }

    // Dispatches this thread's messages until done answers true; false when it never did.
    static bool settle(const std::function<bool()>& done, int turns = 300) {
        for (int i = 0; i < turns; ++i) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            if (done()) return true;
            Sleep(10);
        }
        return false;
    }

    HWND top = nullptr;
    HWND editor = nullptr;
    std::unique_ptr<DeskWindow> window;
};

// Runs an action once from inside whatever modal loop this thread is in (a menu, a
// dialog): a thread timer is dispatched by every such loop.
class LoopAction {
public:
    explicit LoopAction(std::function<bool()> step, UINT everyMilliseconds = 100)
        : step(std::move(step)) {
        current() = this;
        timer = SetTimer(nullptr, 0, everyMilliseconds, tick);
    }
    ~LoopAction() {
        if (timer) KillTimer(nullptr, timer);
        current() = nullptr;
    }
    LoopAction(const LoopAction&) = delete;
    LoopAction& operator=(const LoopAction&) = delete;
    bool done() const { return finished; }

private:
    static LoopAction*& current() {
        static LoopAction* running = nullptr;
        return running;
    }
    // The step answers true once it has done its work; until then it is tried again.
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        LoopAction* action = current();
        if (!action || action->finished) return;
        action->finished = action->step();
    }

    std::function<bool()> step;
    UINT_PTR timer = 0;
    bool finished = false;
};
