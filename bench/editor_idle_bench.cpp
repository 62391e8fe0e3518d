// What one effEditIdle costs the host's thread while the editor waits for the user: at rest,
// with the program menu open, with a file dialog's helper running, with a message box up.
// Each state is reached as a user reaches it (xdotool clicks in a host window); the helper
// is a stub that waits. Needs an X display: run it under xvfb-run -a.
#include <X11/Xlib.h>
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "hosting/Host.h"
#include "platform/HostWindow.h"
#include "skin/SkinLayout.h"

namespace {

class QuietHost : public Host {
public:
    VstIntPtr answer(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) override {
        return opcode == audioMasterVersion ? kVstVersion : 0;
    }
};

// The editor in a host window at the screen's origin, and stub dialog helpers first on
// PATH, in a folder of their own.
struct Desk {
    bool start(std::string& error) {
        char pattern[] = "/tmp/krv-idle-bench-XXXXXX";
        if (!mkdtemp(pattern)) return false;
        folder = pattern;
        // A helper that waits until it is ended; a bad preset file for the message box.
        writeFile(folder + "/zenity", "#!/bin/sh\ntouch \"$0.started\"\nexec sleep 600\n");
        writeFile(folder + "/bad.krv", "not a preset");
        ::chmod((folder + "/zenity").c_str(), 0755);
        const char* path = std::getenv("PATH");
        ::setenv("PATH", (folder + ":" + (path ? path : "/usr/bin:/bin")).c_str(), 1);
        library = PluginLibrary::open(KRV_PLUGIN_PATH, error);
        if (library) effect = HostedEffect::create(*library, host, error);
        if (effect)
            window = platform::HostWindow::create("idle bench", skin::kEditorWidth,
                                                  skin::kEditorHeight, error);
        if (!window) return false;
        effect->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(window->handle()));
        idle(20);
        return true;
    }
    ~Desk() {
        if (effect) effect->dispatch(effEditClose);
        effect.reset();
        window.reset();
        if (!folder.empty()) std::system(("rm -rf '" + folder + "'").c_str());
    }
    static void writeFile(const std::string& path, const std::string& text) {
        std::ofstream(path) << text;
    }
    void idle(int turns) {
        for (int i = 0; i < turns; ++i) {
            window->processEvents();
            effect->dispatch(effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    void click(const skin::Rect& area) {
        std::system(("xdotool mousemove " + std::to_string(int(area.centerX())) + " " +
                     std::to_string(int(area.centerY())) + " click 1")
                        .c_str());
        idle(30);
    }
    void escape() {
        std::system("xdotool mousemove 600 600 key Escape");
        idle(30);
    }

    std::string folder;
    QuietHost host;
    std::unique_ptr<PluginLibrary> library;
    std::unique_ptr<HostedEffect> effect;
    std::unique_ptr<platform::HostWindow> window;
};

Desk* desk = nullptr;

// Override-redirect windows on the screen: an open popup menu.
bool menuShown() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    bool shown = false;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count; ++i) {
            XWindowAttributes attributes{};
            shown = shown || (XGetWindowAttributes(display, children[i], &attributes) &&
                              attributes.override_redirect && attributes.map_state == IsViewable);
        }
        if (children) XFree(children);
    }
    XCloseDisplay(display);
    return shown;
}

bool helperStarted() { return ::access((desk->folder + "/zenity.started").c_str(), F_OK) == 0; }

bool messageBoxShown() {
    return std::system("xdotool search --onlyvisible --name '^Error...$' >/dev/null 2>&1") == 0;
}

void idleCalls(benchmark::State& state) {
    for (auto _ : state) desk->effect->dispatch(effEditIdle);
}

// Runs the idle benchmark for one state, reached by enter (reached answers whether it was)
// and left by leave.
void measure(const char* name, const std::function<void()>& enter,
             const std::function<bool()>& reached, const std::function<void()>& leave) {
    enter();
    if (!reached()) {
        std::printf("%s: the state was not reached; not measured\n", name);
        leave();
        return;
    }
    benchmark::RegisterBenchmark(name, idleCalls)->Unit(benchmark::kMicrosecond);
    // One reporter for every run: the library's own is made for a single run.
    static benchmark::ConsoleReporter reporter(benchmark::ConsoleReporter::OO_None);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::ClearRegisteredBenchmarks();
    leave();
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!std::getenv("DISPLAY")) {
        std::printf("needs an X display: xvfb-run -a %s\n", argv[0]);
        return 0;
    }
    Desk here;
    std::string error;
    if (!here.start(error)) {
        std::fprintf(stderr, "cannot open the editor: %s\n", error.c_str());
        return 1;
    }
    desk = &here;
    measure("Idle/at_rest", [] {}, [] { return true; }, [] {});
    measure("Idle/menu_open", [] { desk->click(skin::kProgramMenu); }, menuShown,
            [] { desk->escape(); });
    measure("Idle/dialog_helper_running", [] { desk->click(skin::kLoadBank.rect); },
            helperStarted, [] {
                // The stub helper is ended with the editor's dialog: close and reopen.
                desk->effect->dispatch(effEditClose);
                desk->effect->dispatch(effEditOpen, 0, 0,
                                       reinterpret_cast<void*>(desk->window->handle()));
                desk->idle(20);
            });
    measure(
        "Idle/message_box_up",
        [] {
            Desk::writeFile(desk->folder + "/zenity",
                            "#!/bin/sh\nprintf '%s\\n' '" + desk->folder + "/bad.krv'\n");
            desk->click(skin::kLoadPreset.rect);
        },
        messageBoxShown, [] { desk->escape(); });
    return 0;
}
