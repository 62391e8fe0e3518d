// krv-host: a standalone window for the plug-in's editor (VST 2.4, or CLAP for a .clap file),
// driven as a host drives it, with a test signal running through the effect.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/Clock.h"
#include "platform/HostWindow.h"
#include "platform/ProcessMemory.h"
#include "hosting/HostedPlugin.h"
#include "tools/common/DefaultPlugin.h"
#include "tools/krv-host/StandaloneHost.h"
#include "tools/krv-host/TestSignal.h"

namespace {

constexpr float kSampleRate = 44100.0f;
constexpr int kBlockSize = 512;
constexpr auto kIdlePeriod = std::chrono::milliseconds(33);

struct Options {
    std::string plugin;  // empty: the first one found
    std::string screenshot;
    long afterMs = 1000;
    double measureSeconds = 0;  // 0: no measurement
    double scale = 0;           // 0: the host names no factor
};

// The title shows the program the user has selected, as the host sees it.
std::string titleFor(HostedPlugin& effect, const std::string& effectName) {
    std::string program = effect.hasPrograms() ? effect.currentProgramName() : std::string();
    return program.empty() ? effectName : effectName + " - " + program;
}

void usage() {
    std::fprintf(stderr,
                 "usage: krv-host [--plugin FILE] [--screenshot FILE.png [--after MS]]\n"
                 "                [--measure SECONDS] [--scale FACTOR]\n"
                 "Opens the plug-in's editor in a window; close the window to quit.\n"
                 "FILE is a VST 2.4 library, or a CLAP plug-in when it ends in .clap.\n"
                 "Without --plugin it loads %s.\n"
                 "--screenshot writes the window to a PNG after MS milliseconds of the test signal\n"
                 "  and quits; the same build always gives the same picture.\n"
                 "--measure runs for SECONDS, then prints how long the editor took to open\n"
                 "  and paint, and the CPU time of its idle calls, and quits.\n"
                 "--scale gives the editor the factor a host that scales its windows would\n"
                 "  (1.5: half as large again), before it opens.\n",
                 pluginSearchSummary().c_str());
}

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--plugin" && hasValue) {
            options.plugin = argv[++i];
        } else if (arg == "--screenshot" && hasValue) {
            options.screenshot = argv[++i];
        } else if (arg == "--after" && hasValue) {
            char* end = nullptr;
            options.afterMs = std::strtol(argv[++i], &end, 10);
            if (!end || *end || options.afterMs < 0) return false;
        } else if (arg == "--scale" && hasValue) {
            char* end = nullptr;
            options.scale = std::strtod(argv[++i], &end);
            if (!end || *end || !(options.scale > 0)) return false;
        } else if (arg == "--measure" && hasValue) {
            char* end = nullptr;
            options.measureSeconds = std::strtod(argv[++i], &end);
            if (!end || *end || !(options.measureSeconds > 0)) return false;
        } else {
            return false;
        }
    }
    return true;
}

int run(const Options& options) {
    std::string error, plugin;
    if (!choosePlugin(options.plugin, plugin, error)) {
        std::fprintf(stderr, "krv-host: %s\n", error.c_str());
        return 1;
    }
    StandaloneHost host(stdout);
    std::unique_ptr<platform::HostWindow> window;
    HostServices services;
    services.name = "krv-host";
    services.vst = &host;
    services.resizeEditor = [&window](int width, int height) {
        if (!window) return false;
        window->resize(width, height);
        return true;
    };
    // As the VST host tells of them.
    services.edited = [](const char* what, int index, double value) {
        if (std::strcmp(what, "automate") == 0)
            std::printf("automate %d %.6f\n", index, value);
        else
            std::printf("%s %d\n", what, index);
        std::fflush(stdout);
    };
    auto effect = openPlugin(plugin, services, error);
    if (!effect) {
        std::fprintf(stderr, "krv-host: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(stderr, "krv-host: loaded %s\n", plugin.c_str());
    if (!effect->hasEditor()) {
        std::fprintf(stderr, "krv-host: %s has no editor\n", plugin.c_str());
        return 1;
    }
    if (!effect->start(kSampleRate, kBlockSize, 2, false)) {
        std::fprintf(stderr, "krv-host: %s refused to start processing\n", plugin.c_str());
        return 1;
    }

    const std::string name = effect->identity().name;
    const std::string effectName = !name.empty() ? name : "krv-host";
    // The window comes first, as a host's does: the editor's size question may look at the
    // display, and a virtual server with no client left would reset under it.
    window = platform::HostWindow::create(titleFor(*effect, effectName), 400, 309, error);
    if (!window) {
        std::fprintf(stderr, "krv-host: %s\n", error.c_str());
        return 1;
    }
    // As hosts that scale do: the factor first, then the size it gives.
    if (options.scale > 0) effect->setEditorScale(options.scale);
    int width = 0, height = 0;
    if (!effect->editorSize(width, height)) {
        std::fprintf(stderr, "krv-host: the editor reports no size\n");
        return 1;
    }
    window->resize(width, height);
    host.setWindow(window.get());
    // Open to first paint: the window is mapped during the open; its first idle paints it.
    const std::size_t residentBefore = platform::residentBytes();
    auto openStart = std::chrono::steady_clock::now();
    if (!effect->openEditor(window->handle())) {
        std::fprintf(stderr, "krv-host: the editor did not open\n");
        return 1;
    }
    window->sync();
    effect->idleEditorNow();
    window->sync();
    double openSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - openStart).count();
    const double openedMegabytes =
        (double(platform::residentBytes()) - double(residentBefore)) / (1024.0 * 1024.0);
    std::string title = titleFor(*effect, effectName);
    long idleCalls = 0;
    double idleCpuSeconds = 0;

    TestSignal signal(*effect, kSampleRate, kBlockSize);
    auto start = std::chrono::steady_clock::now();
    int status = 0;
    while (window->processEvents()) {
        double before = platform::threadCpuSeconds();
        effect->idleEditor();
        idleCpuSeconds += platform::threadCpuSeconds() - before;
        ++idleCalls;
        std::string current = titleFor(*effect, effectName);
        if (current != title) window->setTitle(title = current);
        auto elapsed = std::chrono::steady_clock::now() - start;
        double audioSeconds = std::chrono::duration<double>(elapsed).count();
        const bool screenshotDue = !options.screenshot.empty() &&
                                   elapsed >= std::chrono::milliseconds(options.afterMs);
        // The picture shows the effect after exactly --after of the signal, however the
        // system paced the loop, so that the same build always gives the same picture.
        if (!options.screenshot.empty()) audioSeconds = std::min(audioSeconds, options.afterMs / 1000.0);
        signal.runUntil(audioSeconds);
        if (screenshotDue) {
            effect->idleEditorNow();
            if (!window->saveScreenshot(options.screenshot)) {
                std::fprintf(stderr, "krv-host: cannot write %s\n", options.screenshot.c_str());
                status = 1;
            }
            break;
        }
        if (options.measureSeconds > 0 &&
            elapsed >= std::chrono::duration<double>(options.measureSeconds)) {
            double perIdle = idleCpuSeconds / double(idleCalls);
            // Closed and opened again, as hosts do: the skin's images are there already.
            effect->closeEditor();
            auto reopenStart = std::chrono::steady_clock::now();
            effect->openEditor(window->handle());
            window->sync();
            effect->idleEditorNow();
            window->sync();
            double reopenSeconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - reopenStart)
                    .count();
            std::printf("open to first paint: %.2f ms\n", openSeconds * 1e3);
            std::printf("opened again to first paint: %.2f ms\n", reopenSeconds * 1e3);
            std::printf("resident memory taken by opening: %.1f MB\n", openedMegabytes);
            std::printf("idle: %ld calls, %.1f us CPU each, %.3f %% of one core at 30 a second\n",
                        idleCalls, perIdle * 1e6, perIdle * 30.0 * 100.0);
            break;
        }
        effect->waitForEditor(kIdlePeriod);
    }
    effect->closeEditor();
    effect->stop();
    effect.reset();
    host.setWindow(nullptr);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        usage();
        return 2;
    }
    return run(options);
}
