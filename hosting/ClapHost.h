// The host record a CLAP plug-in gets, and what its extensions keep: params, state, gui,
// timer-support, posix-fd-support, thread-check, log and latency. A single-threaded host:
// the main thread is the one that made it, and audio calls run on it too, marked as such
// while they last.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "hosting/HostedPlugin.h"
#include "clap/clap_abi.h"

class ClapHost {
public:
    explicit ClapHost(const HostServices& services);
    ClapHost(const ClapHost&) = delete;
    ClapHost& operator=(const ClapHost&) = delete;

    const clap_host* record() const { return &host; }
    static ClapHost& of(const clap_host* host) { return *static_cast<ClapHost*>(host->host_data); }
    const HostServices& services() const { return hostServices; }

    // Requests the plug-in made since the last take.
    bool takeFlushRequest() { return flushRequested.exchange(false); }
    bool takeCallbackRequest() { return callbackRequested.exchange(false); }
    bool dirty() const { return markedDirty; }

    // Set while an audio-thread call of the plug-in runs.
    void setInAudioCall(bool inside) { inAudioCall = inside; }

    // Timers whose period has passed, each rescheduled from now.
    std::vector<uint32_t> takeDueTimers();
    // Every timer due at once.
    void makeTimersDue();
    // Waits up to most, less when a timer falls due sooner, for a registered descriptor to
    // become ready; the ready ones with what they are ready for.
    std::vector<std::pair<int, uint32_t>> waitForDescriptors(std::chrono::milliseconds most);

private:
    using Clock = std::chrono::steady_clock;
    struct Timer {
        std::chrono::milliseconds period;
        Clock::time_point due;
    };

    static const void* extension(const clap_host* host, const char* id);
    static void requestCallback(const clap_host* host);
    static void requestFlush(const clap_host* host);
    static void markDirty(const clap_host* host);
    static bool requestResize(const clap_host* host, uint32_t width, uint32_t height);
    static bool registerTimer(const clap_host* host, uint32_t periodMs, uint32_t* id);
    static bool unregisterTimer(const clap_host* host, uint32_t id);
    static bool registerFd(const clap_host* host, int fd, uint32_t flags);
    static bool modifyFd(const clap_host* host, int fd, uint32_t flags);
    static bool unregisterFd(const clap_host* host, int fd);
    static bool isMainThread(const clap_host* host);
    static bool isAudioThread(const clap_host* host);
    static void log(const clap_host* host, int32_t severity, const char* message);

    HostServices hostServices;
    clap_host host;
    std::thread::id mainThread = std::this_thread::get_id();
    std::atomic<bool> flushRequested{false};
    std::atomic<bool> callbackRequested{false};
    bool markedDirty = false;
    bool inAudioCall = false;
    std::map<uint32_t, Timer> timers;
    uint32_t nextTimerId = 0;
    std::map<int, uint32_t> descriptors;  // fd: CLAP_POSIX_FD_* flags
};
