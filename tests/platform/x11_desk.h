// A private X server with a host's top-level window and our child window in it, as an
// editor has them, and a second client that looks on and drives the pointer and keys.
#pragma once

// GoogleTest before Xlib: Xlib's macros (None, Bool) clash with its names.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/HostWindow.h"
#include "platform/NativeWindow.h"
#include "support/XvfbSuite.h"

struct RecordingWindowListener : platform::WindowListener {
    void windowExposed(const platform::Rect&) override { ++exposes; }
    void buttonPressed(platform::Point, int) override { ++presses; }
    void wheelTurned(platform::Point, float) override {}
    void keyPressed(const platform::Key&) override { ++keys; }
    void keyReleased(const platform::Key&) override {}
    void windowDestroyed() override {}
    int exposes = 0;
    int presses = 0;
    int keys = 0;
};

class X11Desk : public XvfbSuite {
protected:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 300;

    void SetUp() override {
        ASSERT_TRUE(serverError.empty()) << serverError;
        std::string error;
        host = platform::HostWindow::create("owner", kWidth, kHeight, error, 0, 0);
        ASSERT_TRUE(host) << error;
        child = platform::NativeWindow::createChild(host->handle(), kWidth, kHeight, listener);
        ASSERT_TRUE(child);
        observer = XOpenDisplay(nullptr);
        ASSERT_TRUE(observer);
        settle([] { return false; }, 5);
    }
    void TearDown() override {
        child.reset();
        host.reset();
        if (observer) XCloseDisplay(observer);
    }

    // Handles our windows' events until done answers true; false when it never did.
    static bool settle(const std::function<bool()>& done, int turns = 300) {
        for (int i = 0; i < turns; ++i) {
            platform::processPendingEvents();
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    static void xdotool(const std::string& arguments) {
        ASSERT_EQ(std::system(("xdotool " + arguments).c_str()), 0) << "xdotool " << arguments;
    }

    // Override-redirect windows on the screen, bottom to top: our open menus.
    std::vector<platform::Rect> openMenus() {
        std::vector<platform::Rect> menus;
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        XSync(observer, False);
        if (!XQueryTree(observer, DefaultRootWindow(observer), &root, &parent, &children, &count))
            return menus;
        for (unsigned int i = 0; i < count; ++i) {
            XWindowAttributes attributes{};
            if (!XGetWindowAttributes(observer, children[i], &attributes)) continue;
            if (attributes.override_redirect && attributes.map_state == IsViewable)
                menus.push_back(platform::Rect{attributes.x, attributes.y,
                                               attributes.x + attributes.width,
                                               attributes.y + attributes.height});
        }
        if (children) XFree(children);
        return menus;
    }

    // Can another client take the pointer and the keyboard? Gives them back at once.
    bool inputIsFree() {
        Window root = DefaultRootWindow(observer);
        bool pointer = XGrabPointer(observer, root, False, ButtonPressMask, GrabModeAsync,
                                    GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
        bool keyboard = XGrabKeyboard(observer, root, False, GrabModeAsync, GrabModeAsync,
                                      CurrentTime) == GrabSuccess;
        XUngrabPointer(observer, CurrentTime);
        XUngrabKeyboard(observer, CurrentTime);
        XSync(observer, False);
        return pointer && keyboard;
    }

    platform::Color screenPixel(int x, int y) {
        XSync(observer, False);
        XImage* image = XGetImage(observer, DefaultRootWindow(observer), x, y, 1, 1, AllPlanes,
                                  ZPixmap);
        if (!image) return platform::Color{0, 0, 0, 0};
        unsigned long pixel = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return platform::Color{uint8_t(pixel >> 16), uint8_t(pixel >> 8), uint8_t(pixel), 255};
    }

    // Pixels of one colour in an area of the screen.
    int countPixels(const platform::Rect& area, platform::Color color) {
        XSync(observer, False);
        XImage* image = XGetImage(observer, DefaultRootWindow(observer), area.left, area.top,
                                  unsigned(area.width()), unsigned(area.height()), AllPlanes,
                                  ZPixmap);
        if (!image) return -1;
        unsigned long wanted =
            (unsigned long)color.red << 16 | (unsigned long)color.green << 8 | color.blue;
        int count = 0;
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x)
                count += (XGetPixel(image, x, y) & 0xFFFFFF) == wanted;
        XDestroyImage(image);
        return count;
    }

    RecordingWindowListener listener;
    std::unique_ptr<platform::HostWindow> host;
    std::unique_ptr<platform::NativeWindow> child;
    Display* observer = nullptr;
};
