// A small CLAP host for tests of the plug-in itself: offers the host extensions a test
// chooses, and records what the plug-in asks of it (timers,
// descriptors, flush requests, resizes). Events go in from a list and come out into one.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "clap/clap_abi.h"
#include "hosting/ClapLibrary.h"

// Input events as a host hands them over, ordered by time.
class ClapEventList {
public:
    void addValue(uint32_t time, uint32_t id, double value);
    void add(const clap_event_header& event);
    const clap_input_events* input() { return &inputRecord; }
    const clap_output_events* output() { return &outputRecord; }
    // Capacity of the output list; try_push fails beyond it.
    size_t outputLimit = SIZE_MAX;

    struct Sent {
        uint16_t type;
        uint32_t id;
        double value;  // PARAM_VALUE only
    };
    std::vector<Sent> sent;

private:
    static uint32_t size(const clap_input_events* list);
    static const clap_event_header* get(const clap_input_events* list, uint32_t index);
    static bool tryPush(const clap_output_events* list, const clap_event_header* event);

    std::vector<std::vector<unsigned char>> events;
    clap_input_events inputRecord{this, size, get};
    clap_output_events outputRecord{this, tryPush};
};

class ClapTestHost {
public:
    // Which host extensions to offer: none, as a plug-in scanner does, or every one used.
    enum class Offer { Nothing, Everything };
    explicit ClapTestHost(Offer offer = Offer::Everything);

    // Creates and initialises the library's plug-in; null on refusal.
    const clap_plugin* create(const ClapLibrary& library);
    template <typename Extension>
    const Extension* extension(const clap_plugin* plugin, const char* id) const {
        return static_cast<const Extension*>(plugin->get_extension(plugin, id));
    }

    const clap_host* record() const { return &hostRecord; }

    bool threadIsMain = true;
    int flushRequests = 0;
    int dirtyMarks = 0;
    int rescans = 0;
    std::vector<std::pair<uint32_t, uint32_t>> resizeRequests;
    std::map<uint32_t, uint32_t> timers;  // id to period
    std::set<int> descriptors;

private:
    static const void* getExtension(const clap_host* host, const char* id);
    static ClapTestHost& of(const clap_host* host);

    Offer offer;
    uint32_t nextTimer = 0;
    clap_host hostRecord{};
    clap_host_params params{};
    clap_host_state state{};
    clap_host_gui gui{};
    clap_host_timer_support timerSupport{};
    clap_host_posix_fd_support fdSupport{};
    clap_host_thread_check threadCheck{};
};
