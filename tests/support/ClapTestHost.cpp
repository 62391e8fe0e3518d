#include "support/ClapTestHost.h"

#include <cstring>

void ClapEventList::addValue(uint32_t time, uint32_t id, double value) {
    clap_event_param_value event{};
    event.header = {sizeof(event), time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
    event.param_id = id;
    event.note_id = -1;
    event.port_index = event.channel = event.key = -1;
    event.value = value;
    add(event.header);
}

void ClapEventList::add(const clap_event_header& event) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&event);
    events.emplace_back(bytes, bytes + event.size);
}

uint32_t ClapEventList::size(const clap_input_events* list) {
    return static_cast<uint32_t>(static_cast<ClapEventList*>(list->ctx)->events.size());
}

const clap_event_header* ClapEventList::get(const clap_input_events* list, uint32_t index) {
    auto& events = static_cast<ClapEventList*>(list->ctx)->events;
    return index < events.size() ? reinterpret_cast<const clap_event_header*>(events[index].data())
                                 : nullptr;
}

bool ClapEventList::tryPush(const clap_output_events* list, const clap_event_header* event) {
    auto* self = static_cast<ClapEventList*>(list->ctx);
    if (!event || self->sent.size() >= self->outputLimit) return false;
    Sent sent{event->type, 0, 0.0};
    if (event->type == CLAP_EVENT_PARAM_VALUE) {
        const auto* value = reinterpret_cast<const clap_event_param_value*>(event);
        sent.id = value->param_id;
        sent.value = value->value;
    } else if (event->type == CLAP_EVENT_PARAM_GESTURE_BEGIN ||
               event->type == CLAP_EVENT_PARAM_GESTURE_END) {
        sent.id = reinterpret_cast<const clap_event_param_gesture*>(event)->param_id;
    }
    self->sent.push_back(sent);
    return true;
}

ClapTestHost::ClapTestHost(Offer offer) : offer(offer) {
    hostRecord.clap_version = kClapVersion;
    hostRecord.host_data = this;
    hostRecord.name = "clap test host";
    hostRecord.vendor = "";
    hostRecord.url = "";
    hostRecord.version = "1";
    hostRecord.get_extension = getExtension;
    hostRecord.request_restart = [](const clap_host*) {};
    hostRecord.request_process = [](const clap_host*) {};
    hostRecord.request_callback = [](const clap_host*) {};
    params.rescan = [](const clap_host* h, uint32_t) { ++of(h).rescans; };
    params.clear = [](const clap_host*, uint32_t, uint32_t) {};
    params.request_flush = [](const clap_host* h) { ++of(h).flushRequests; };
    state.mark_dirty = [](const clap_host* h) { ++of(h).dirtyMarks; };
    gui.resize_hints_changed = [](const clap_host*) {};
    gui.request_resize = [](const clap_host* h, uint32_t w, uint32_t height) {
        of(h).resizeRequests.emplace_back(w, height);
        return true;
    };
    gui.request_show = [](const clap_host*) { return false; };
    gui.request_hide = [](const clap_host*) { return false; };
    gui.closed = [](const clap_host*, bool) {};
    timerSupport.register_timer = [](const clap_host* h, uint32_t period, uint32_t* id) {
        ClapTestHost& self = of(h);
        *id = self.nextTimer++;
        self.timers[*id] = period;
        return true;
    };
    timerSupport.unregister_timer = [](const clap_host* h, uint32_t id) {
        return of(h).timers.erase(id) == 1;
    };
    fdSupport.register_fd = [](const clap_host* h, int fd, uint32_t) {
        return of(h).descriptors.insert(fd).second;
    };
    fdSupport.modify_fd = [](const clap_host*, int, uint32_t) { return true; };
    fdSupport.unregister_fd = [](const clap_host* h, int fd) {
        return of(h).descriptors.erase(fd) == 1;
    };
    threadCheck.is_main_thread = [](const clap_host* h) { return of(h).threadIsMain; };
    threadCheck.is_audio_thread = [](const clap_host* h) { return !of(h).threadIsMain; };
}

ClapTestHost& ClapTestHost::of(const clap_host* host) {
    return *static_cast<ClapTestHost*>(host->host_data);
}

const void* ClapTestHost::getExtension(const clap_host* host, const char* id) {
    ClapTestHost& self = of(host);
    if (self.offer == Offer::Nothing || !id) return nullptr;
    if (!std::strcmp(id, CLAP_EXT_PARAMS)) return &self.params;
    if (!std::strcmp(id, CLAP_EXT_STATE)) return &self.state;
    if (!std::strcmp(id, CLAP_EXT_GUI)) return &self.gui;
    if (!std::strcmp(id, CLAP_EXT_TIMER_SUPPORT)) return &self.timerSupport;
    if (!std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT)) return &self.fdSupport;
    if (!std::strcmp(id, CLAP_EXT_THREAD_CHECK)) return &self.threadCheck;
    return nullptr;
}

const clap_plugin* ClapTestHost::create(const ClapLibrary& library) {
    const clap_plugin_factory& factory = library.factory();
    const clap_plugin_descriptor* descriptor = factory.get_plugin_descriptor(&factory, 0);
    if (!descriptor) return nullptr;
    const clap_plugin* plugin = factory.create_plugin(&factory, &hostRecord, descriptor->id);
    if (plugin && !plugin->init(plugin)) {
        plugin->destroy(plugin);
        return nullptr;
    }
    return plugin;
}
