// The event lists a CLAP host hands to process and params.flush: parameter values going
// in, and whatever the plug-in sends out passed to a handler.
#pragma once

#include <functional>
#include <vector>

#include "clap/clap_abi.h"

class ClapInputEvents {
public:
    ClapInputEvents();
    ClapInputEvents(const ClapInputEvents&) = delete;
    ClapInputEvents& operator=(const ClapInputEvents&) = delete;

    // A new value at the block's first sample; an earlier one for the same id is replaced.
    void setValue(uint32_t id, void* cookie, double value);
    // The value waiting for id, if any.
    const double* waitingValue(uint32_t id) const;
    bool empty() const { return values.empty(); }
    void clear() { values.clear(); }
    const clap_input_events* list() const { return &record; }

private:
    std::vector<clap_event_param_value> values;
    clap_input_events record;
};

class ClapOutputEvents {
public:
    explicit ClapOutputEvents(std::function<void(const clap_event_header&)> handler);
    ClapOutputEvents(const ClapOutputEvents&) = delete;
    ClapOutputEvents& operator=(const ClapOutputEvents&) = delete;

    const clap_output_events* list() const { return &record; }

private:
    std::function<void(const clap_event_header&)> handler;
    clap_output_events record;
};
