#include "hosting/ClapEvents.h"

ClapInputEvents::ClapInputEvents() {
    record.ctx = this;
    record.size = [](const clap_input_events* list) {
        return static_cast<uint32_t>(static_cast<const ClapInputEvents*>(list->ctx)->values.size());
    };
    record.get = [](const clap_input_events* list, uint32_t index) -> const clap_event_header* {
        const auto& values = static_cast<const ClapInputEvents*>(list->ctx)->values;
        return index < values.size() ? &values[index].header : nullptr;
    };
}

void ClapInputEvents::setValue(uint32_t id, void* cookie, double value) {
    for (clap_event_param_value& waiting : values)
        if (waiting.param_id == id) {
            waiting.value = value;
            return;
        }
    clap_event_param_value event{};
    event.header.size = sizeof(event);
    event.header.time = 0;
    event.header.space_id = CLAP_CORE_EVENT_SPACE_ID;
    event.header.type = CLAP_EVENT_PARAM_VALUE;
    event.header.flags = 0;
    event.param_id = id;
    event.cookie = cookie;
    event.note_id = -1;
    event.port_index = -1;
    event.channel = -1;
    event.key = -1;
    event.value = value;
    values.push_back(event);
}

const double* ClapInputEvents::waitingValue(uint32_t id) const {
    for (const clap_event_param_value& waiting : values)
        if (waiting.param_id == id) return &waiting.value;
    return nullptr;
}

ClapOutputEvents::ClapOutputEvents(std::function<void(const clap_event_header&)> handler)
    : handler(std::move(handler)) {
    record.ctx = this;
    record.try_push = [](const clap_output_events* list, const clap_event_header* event) {
        auto* self = static_cast<ClapOutputEvents*>(list->ctx);
        if (event && self->handler) self->handler(*event);
        return event != nullptr;
    };
}
