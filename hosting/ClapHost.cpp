#include "hosting/ClapHost.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#ifndef _WIN32
#include <poll.h>
#endif

ClapHost::ClapHost(const HostServices& services) : hostServices(services) {
    std::memset(&host, 0, sizeof(host));
    host.clap_version = kClapVersion;
    host.host_data = this;
    host.name = hostServices.name.c_str();
    host.vendor = "KRV soundlab";
    host.url = "";
    host.version = "1.0";
    host.get_extension = &ClapHost::extension;
    host.request_restart = [](const clap_host*) {};
    host.request_process = [](const clap_host*) {};
    host.request_callback = &ClapHost::requestCallback;
}

const void* ClapHost::extension(const clap_host*, const char* id) {
    static const clap_host_params params{[](const clap_host*, uint32_t) {},
                                         [](const clap_host*, uint32_t, uint32_t) {}, &ClapHost::requestFlush};
    static const clap_host_state state{&ClapHost::markDirty};
    static const clap_host_gui gui{[](const clap_host*) {}, &ClapHost::requestResize,
                                   [](const clap_host*) { return false; }, [](const clap_host*) { return false; },
                                   [](const clap_host*, bool) {}};
    static const clap_host_timer_support timers{&ClapHost::registerTimer, &ClapHost::unregisterTimer};
    static const clap_host_thread_check threads{&ClapHost::isMainThread, &ClapHost::isAudioThread};
    static const clap_host_log logging{&ClapHost::log};
    static const clap_host_latency latency{[](const clap_host*) {}};
    if (!id) return nullptr;
    const std::string wanted = id;
    if (wanted == CLAP_EXT_PARAMS) return &params;
    if (wanted == CLAP_EXT_STATE) return &state;
    if (wanted == CLAP_EXT_GUI) return &gui;
    if (wanted == CLAP_EXT_TIMER_SUPPORT) return &timers;
#ifndef _WIN32
    static const clap_host_posix_fd_support descriptors{&ClapHost::registerFd, &ClapHost::modifyFd,
                                                        &ClapHost::unregisterFd};
    if (wanted == CLAP_EXT_POSIX_FD_SUPPORT) return &descriptors;
#endif
    if (wanted == CLAP_EXT_THREAD_CHECK) return &threads;
    if (wanted == CLAP_EXT_LOG) return &logging;
    if (wanted == CLAP_EXT_LATENCY) return &latency;
    return nullptr;
}

void ClapHost::requestCallback(const clap_host* host) { of(host).callbackRequested = true; }
void ClapHost::requestFlush(const clap_host* host) { of(host).flushRequested = true; }
void ClapHost::markDirty(const clap_host* host) { of(host).markedDirty = true; }

bool ClapHost::requestResize(const clap_host* host, uint32_t width, uint32_t height) {
    const auto& resize = of(host).hostServices.resizeEditor;
    if (!resize || width == 0 || height == 0) return false;
    return resize(static_cast<int>(width), static_cast<int>(height));
}

bool ClapHost::registerTimer(const clap_host* host, uint32_t periodMs, uint32_t* id) {
    if (!id) return false;
    ClapHost& self = of(host);
    // Below a millisecond the loop would spin.
    std::chrono::milliseconds period(periodMs > 0 ? periodMs : 1);
    *id = self.nextTimerId++;
    self.timers[*id] = Timer{period, Clock::now() + period};
    return true;
}

bool ClapHost::unregisterTimer(const clap_host* host, uint32_t id) { return of(host).timers.erase(id) > 0; }

bool ClapHost::registerFd(const clap_host* host, int fd, uint32_t flags) {
    if (fd < 0) return false;
    return of(host).descriptors.emplace(fd, flags).second;
}

bool ClapHost::modifyFd(const clap_host* host, int fd, uint32_t flags) {
    auto found = of(host).descriptors.find(fd);
    if (found == of(host).descriptors.end()) return false;
    found->second = flags;
    return true;
}

bool ClapHost::unregisterFd(const clap_host* host, int fd) { return of(host).descriptors.erase(fd) > 0; }

bool ClapHost::isMainThread(const clap_host* host) {
    return std::this_thread::get_id() == of(host).mainThread && !of(host).inAudioCall;
}

bool ClapHost::isAudioThread(const clap_host* host) {
    return std::this_thread::get_id() == of(host).mainThread && of(host).inAudioCall;
}

void ClapHost::log(const clap_host* host, int32_t severity, const char* message) {
    static const char* const kSeverities[] = {"debug",   "info",  "warning", "error",
                                              "fatal",   "host misbehaving", "plug-in misbehaving"};
    const char* name = severity >= 0 && severity <= CLAP_LOG_PLUGIN_MISBEHAVING ? kSeverities[severity] : "log";
    std::fprintf(stderr, "%s: %s: %s\n", of(host).hostServices.name.c_str(), name, message ? message : "");
}

void ClapHost::makeTimersDue() {
    const Clock::time_point now = Clock::now();
    for (auto& entry : timers) entry.second.due = now;
}

std::vector<uint32_t> ClapHost::takeDueTimers() {
    std::vector<uint32_t> due;
    const Clock::time_point now = Clock::now();
    for (auto& [id, timer] : timers)
        if (timer.due <= now) {
            due.push_back(id);
            timer.due = now + timer.period;
        }
    return due;
}

std::vector<std::pair<int, uint32_t>> ClapHost::waitForDescriptors(std::chrono::milliseconds most) {
    Clock::time_point until = Clock::now() + most;
    for (const auto& entry : timers) until = std::min(until, entry.second.due);
    // Rounded up: waking a fraction early would find the timer not yet due and spin.
    auto wait = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
    if (wait.count() < 0) wait = std::chrono::milliseconds(0);
    std::vector<std::pair<int, uint32_t>> ready;
#ifdef _WIN32
    std::this_thread::sleep_for(wait);
#else
    std::vector<pollfd> watched;
    for (const auto& [fd, flags] : descriptors) {
        short events = 0;
        if (flags & CLAP_POSIX_FD_READ) events |= POLLIN;
        if (flags & CLAP_POSIX_FD_WRITE) events |= POLLOUT;
        watched.push_back(pollfd{fd, events, 0});
    }
    if (watched.empty()) {
        std::this_thread::sleep_for(wait);
        return ready;
    }
    if (::poll(watched.data(), watched.size(), static_cast<int>(wait.count())) <= 0) return ready;
    for (const pollfd& entry : watched) {
        uint32_t flags = 0;
        if (entry.revents & POLLIN) flags |= CLAP_POSIX_FD_READ;
        if (entry.revents & POLLOUT) flags |= CLAP_POSIX_FD_WRITE;
        if (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) flags |= CLAP_POSIX_FD_ERROR;
        if (flags) ready.emplace_back(entry.fd, flags);
    }
#endif
    return ready;
}
