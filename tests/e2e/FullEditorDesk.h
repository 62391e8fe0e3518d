// The built plug-in's editor in a host window on a private Xvfb, with what the tests of it
// share: a second client that looks at the screen and takes grabs, clicks at editor
// coordinates (the host window sits at the screen's origin), waiting while the host pumps,
// pictures of screen areas compared with the skin's bitmaps, and stub file-dialog helpers.
#pragma once

// GoogleTest before Xlib: Xlib's macros (None, Bool) clash with its names.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "hosting/RecordingHost.h"
#include "platform/HostWindow.h"
#include "skin/SkinBitmaps.h"
#include "skin/SkinLayout.h"
#include "support/TemporaryFolder.h"
#include "support/DeskObservation.h"
#include "support/XvfbSettingsSuite.h"

namespace desk {

struct Area {
    int left, top, right, bottom;  // right and bottom exclusive
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    int centerX() const { return (left + right) / 2; }
    int centerY() const { return (top + bottom) / 2; }
};

inline Area areaOf(const skin::Rect& r) { return Area{r.left, r.top, r.right, r.bottom}; }

// What the screen showed over one area at one moment, as 0xRRGGBB.
class ScreenPicture {
public:
    ScreenPicture(Display* display, const Area& area) : area(area) {
        XSync(display, False);
        XImage* image = XGetImage(display, DefaultRootWindow(display), area.left, area.top,
                                  unsigned(area.width()), unsigned(area.height()), AllPlanes,
                                  ZPixmap);
        if (!image) return;
        pixels.reserve(size_t(area.width()) * size_t(area.height()));
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x)
                pixels.push_back(uint32_t(XGetPixel(image, x, y) & 0xFFFFFF));
        XDestroyImage(image);
    }
    bool valid() const { return !pixels.empty(); }
    // At screen (= editor) coordinates inside the area.
    uint32_t at(int x, int y) const {
        return pixels[size_t(y - area.top) * size_t(area.width()) + size_t(x - area.left)];
    }
    bool operator==(const ScreenPicture& other) const { return pixels == other.pixels; }
    bool operator!=(const ScreenPicture& other) const { return !(*this == other); }

    const Area area;

private:
    std::vector<uint32_t> pixels;
};

// A pixel of a skin bitmap's frame, as 0xRRGGBB.
inline uint32_t skinPixel(const SkinBitmap& bitmap, int x, int y) {
    const unsigned char* rgb = bitmap.rgb + (size_t(y) * size_t(bitmap.width) + size_t(x)) * 3;
    return uint32_t(rgb[0]) << 16 | uint32_t(rgb[1]) << 8 | rgb[2];
}

// Pixels of picture inside `part` (screen coordinates, within the picture) that differ from
// frame `frame` of bitmap `id` shown at `origin`; pixels inside `skip` are not compared.
// -1 when the skin has no such bitmap.
inline int skinMismatches(const ScreenPicture& picture, const Area& part, int id, int frame,
                          int frameHeight, int originX = 0, int originY = 0,
                          const Area& skip = Area{0, 0, 0, 0}) {
    const SkinBitmap* bitmap = findSkinBitmap(id);
    if (!bitmap || !picture.valid()) return -1;
    int mismatches = 0;
    for (int y = part.top; y < part.bottom; ++y)
        for (int x = part.left; x < part.right; ++x) {
            if (skip.contains(x, y)) continue;
            uint32_t expected = skinPixel(*bitmap, x - originX, frame * frameHeight + y - originY);
            mismatches += picture.at(x, y) != expected;
        }
    return mismatches;
}

}  // namespace desk

class FullEditorDesk : public XvfbSettingsSuite {
protected:
    static constexpr int kWidth = skin::kEditorWidth;
    static constexpr int kHeight = skin::kEditorHeight;

    void SetUp() override {
        ASSERT_TRUE(serverError.empty()) << serverError;
        observer = XOpenDisplay(nullptr);
        ASSERT_TRUE(observer);
        std::string error;
        library = PluginLibrary::open(KRV_PLUGIN_PATH, error);
        ASSERT_TRUE(library) << error;
        plugin = HostedEffect::create(*library, host, error);
        ASSERT_TRUE(plugin) << error;
        window = platform::HostWindow::create("test host", kWidth, kHeight, error);
        ASSERT_TRUE(window) << error;
        host.recordIdle = false;
        xdotool("mousemove --sync 600 600");  // away from every control
    }
    void TearDown() override {
        host.reaction = nullptr;
        plugin.reset();
        window.reset();
        library.reset();
        if (observer) XCloseDisplay(observer);
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) {
        return plugin->dispatch(opcode, index, value, ptr, opt);
    }
    // Opens the editor in the host window and lets it paint.
    void openEditor() {
        ASSERT_EQ(dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(window->handle())), 1);
        pump(10);
    }
    // Host idle calls, about as often as a host makes them.
    void pump(int times) {
        for (int i = 0; i < times; ++i) {
            if (window) window->processEvents();
            dispatch(effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    // Pumps until done answers true; false when it never did.
    bool waitFor(const std::function<bool()>& done, int turns = 300) {
        for (int i = 0; i < turns; ++i) {
            if (done()) return true;
            pump(1);
        }
        return done();
    }

    static void xdotool(const std::string& arguments) {
        ASSERT_EQ(std::system(("PATH=/usr/bin:/bin xdotool " + arguments).c_str()), 0)
            << "xdotool " << arguments;
    }
    // A press and release at editor coordinates, queued for the next idle. (No --sync: it
    // waits for a motion that never comes when the pointer is there already; the server
    // handles the fake events in order anyway.)
    static void click(int x, int y) {
        xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
    }
    // Input from another process, for gestures that one idle call runs to the end (drags,
    // popup menus): the commands start once the current call is under way.
    static void inBackground(const std::string& commands) {
        ASSERT_EQ(std::system(("(PATH=/usr/bin:/bin; " + commands + ") &").c_str()), 0);
    }

    desk::ScreenPicture picture(const desk::Area& area) {
        return desk::ScreenPicture(observer, area);
    }
    desk::ScreenPicture wholeEditor() { return picture(desk::Area{0, 0, kWidth, kHeight}); }

    // Our open popup menus.
    int openMenus() { return desk::openMenuCount(observer); }
    // Can another client take the pointer and the keyboard? Gives them back at once.
    bool inputIsFree() {
        Window root = DefaultRootWindow(observer);
        bool pointer = XGrabPointer(observer, root, False, ButtonPressMask, GrabModeAsync,
                                    GrabModeAsync, 0, 0, CurrentTime) == GrabSuccess;
        bool keyboard = XGrabKeyboard(observer, root, False, GrabModeAsync, GrabModeAsync,
                                      CurrentTime) == GrabSuccess;
        XUngrabPointer(observer, CurrentTime);
        XUngrabKeyboard(observer, CurrentTime);
        XSync(observer, False);
        return pointer && keyboard;
    }
    // Windows inside the host window, at any depth: the editor's and any edit box.
    int windowsInHost() {
        XSync(observer, False);
        return countDescendants(Window(window->handle()));
    }

    Display* observer = nullptr;
    RecordingHost host;
    std::unique_ptr<PluginLibrary> library;
    std::unique_ptr<HostedEffect> plugin;
    std::unique_ptr<platform::HostWindow> window;

private:
    int countDescendants(Window of) {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(observer, of, &root, &parent, &children, &count)) return 0;
        int total = int(count);
        for (unsigned int i = 0; i < count; ++i) total += countDescendants(children[i]);
        if (children) XFree(children);
        return total;
    }
};

// Stub file-dialog helpers first on PATH: each records its arguments and process id in a
// log, then does what the test says.
class StubDialogs {
public:
    StubDialogs() : path("PATH", (bin.path() + ":/usr/bin:/bin").c_str()) {}

    // zenity and kdialog both run script after logging.
    void answer(const std::string& script) {
        for (const char* name : {"zenity", "kdialog"}) {
            bin.write(name, "#!/bin/sh\nPATH=/usr/bin:/bin\n"
                            "{ echo \"call $$\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; }"
                            " >> '" + work.file("log") + "'\n" + script + "\n");
            ::chmod(bin.file(name).c_str(), 0755);
        }
    }
    // A helper that answers path, as the user choosing it.
    void choose(const std::string& chosen) { answer("printf '%s\\n' '" + chosen + "'; exit 0"); }
    void cancel() { answer("exit 1"); }
    // A helper that waits until it is killed.
    void hang() { answer("exec sleep 60"); }

    std::string log() const { return work.read("log"); }
    bool called() const { return work.exists("log"); }
    void clearLog() const { std::remove(work.file("log").c_str()); }
    // The process id of the last helper started; 0 before any.
    pid_t lastPid() const {
        std::string text = log();
        std::string::size_type at = text.rfind("call ");
        return at == std::string::npos ? 0 : pid_t(std::atoi(text.c_str() + at + 5));
    }

    TemporaryFolder work;

private:
    TemporaryFolder bin;
    ScopedEnvironment path;
};
