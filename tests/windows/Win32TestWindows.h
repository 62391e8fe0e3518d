// A host's top-level window for tests of our child windows, and a listener that records
// what the child reports.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/NativeWindow.h"
#include "platform/win32/Win32Module.h"

class TestParentWindow {
public:
    TestParentWindow(int width, int height, int x = 0, int y = 0) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = "KrvTestParent";
        RegisterClassA(&windowClass);  // once per program; later calls fail harmlessly
        // Without a caption: Wine then needs no window manager to let it go at once. Never
        // activated: Wine would take the keyboard state from the X server on the focus
        // change, undoing keys the tests hold.
        window = CreateWindowExA(WS_EX_NOACTIVATE, "KrvTestParent", "test host", WS_POPUP, x, y,
                                 width, height, nullptr, nullptr, GetModuleHandleA(nullptr),
                                 nullptr);
        ShowWindow(window, SW_SHOWNA);
        drain();
    }
    ~TestParentWindow() {
        if (IsWindow(window)) DestroyWindow(window);
    }
    TestParentWindow(const TestParentWindow&) = delete;
    TestParentWindow& operator=(const TestParentWindow&) = delete;

    platform::WindowHandle handle() const {
        return reinterpret_cast<platform::WindowHandle>(window);
    }
    HWND hwnd() const { return window; }

    // Everything the thread has waiting, as the host's message loop would handle it.
    static void drain() {
        MSG message{};
        for (int i = 0; i < 1000 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    // Lets what the X server reports about the last moves and clicks arrive: Wine syncs the
    // keyboard state from it when the pointer enters a window.
    static void settle() {
        for (int pass = 0; pass < 5; ++pass) {
            Sleep(20);
            drain();
        }
    }

private:
    HWND window = nullptr;
};

class RecordingListener : public platform::WindowListener {
public:
    void windowExposed(const platform::Rect& damaged) override {
        exposed.push_back(damaged);
        if (onExpose) onExpose();
    }
    void buttonPressed(platform::Point where, int buttons) override {
        presses.push_back(Press{where, buttons});
        if (onPress) onPress();
    }
    void wheelTurned(platform::Point where, float distance) override {
        wheels.push_back(Wheel{where, distance});
    }
    void keyPressed(const platform::Key& key) override { keysDown.push_back(key); }
    void keyReleased(const platform::Key& key) override { keysUp.push_back(key); }
    void windowDestroyed() override { ++destroyed; }
    void scaleMayHaveChanged() override { ++scaleChanges; }

    struct Press {
        platform::Point where;
        int buttons;
    };
    struct Wheel {
        platform::Point where;
        float distance;
    };
    std::vector<platform::Rect> exposed;
    std::vector<Press> presses;
    std::vector<Wheel> wheels;
    std::vector<platform::Key> keysDown;
    std::vector<platform::Key> keysUp;
    int destroyed = 0;
    int scaleChanges = 0;
    std::function<void()> onPress;
    std::function<void()> onExpose;
};
