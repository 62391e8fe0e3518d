// Binary interface between a CLAP host and a plug-in (version 1.2), the part this plug-in
// and our tools use: the entry, the plug-in factory, the plug-in and host records, events,
// audio buffers, processing, and the extensions for parameters, audio ports, state, the
// editor window, timers, file descriptors, latency, thread checks and logging. Written from
// the published layout (x86-64, Linux and Windows); every size and offset that matters is
// checked below.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

struct clap_version_t {
    uint32_t major;
    uint32_t minor;
    uint32_t revision;
};

// The version this plug-in declares itself built against. Hosts of 1.1 load it too: the
// records used here have not changed since 1.0.
constexpr clap_version_t kClapVersion{1, 2, 0};

// Hosts accept a plug-in of the same major version from 1.0 on.
constexpr bool clapVersionIsCompatible(const clap_version_t& version) {
    return version.major >= 1;
}

enum : uint32_t {
    CLAP_NAME_SIZE = 256,
    CLAP_PATH_SIZE = 1024,
};

constexpr uint32_t CLAP_INVALID_ID = UINT32_MAX;

// ---- entry and factory ------------------------------------------------------------------

struct clap_plugin_entry {
    clap_version_t clap_version;
    bool (*init)(const char* plugin_path);
    void (*deinit)();
    const void* (*get_factory)(const char* factory_id);
};

struct clap_plugin_descriptor {
    clap_version_t clap_version;
    const char* id;
    const char* name;
    const char* vendor;
    const char* url;
    const char* manual_url;
    const char* support_url;
    const char* version;
    const char* description;
    const char* const* features;  // ends with a null pointer
};

struct clap_host;
struct clap_plugin;
struct clap_process;

struct clap_plugin_factory {
    uint32_t (*get_plugin_count)(const clap_plugin_factory* factory);
    const clap_plugin_descriptor* (*get_plugin_descriptor)(const clap_plugin_factory* factory,
                                                           uint32_t index);
    const clap_plugin* (*create_plugin)(const clap_plugin_factory* factory,
                                        const clap_host* host, const char* plugin_id);
};

constexpr char CLAP_PLUGIN_FACTORY_ID[] = "clap.plugin-factory";

// ---- host and plug-in -------------------------------------------------------------------

struct clap_host {
    clap_version_t clap_version;
    void* host_data;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    const void* (*get_extension)(const clap_host* host, const char* extension_id);
    void (*request_restart)(const clap_host* host);
    void (*request_process)(const clap_host* host);
    void (*request_callback)(const clap_host* host);
};

using clap_process_status = int32_t;
enum : clap_process_status {
    CLAP_PROCESS_ERROR = 0,
    CLAP_PROCESS_CONTINUE = 1,
    CLAP_PROCESS_CONTINUE_IF_NOT_QUIET = 2,
    CLAP_PROCESS_TAIL = 3,
    CLAP_PROCESS_SLEEP = 4,
};

struct clap_plugin {
    const clap_plugin_descriptor* desc;
    void* plugin_data;
    bool (*init)(const clap_plugin* plugin);
    void (*destroy)(const clap_plugin* plugin);
    bool (*activate)(const clap_plugin* plugin, double sample_rate, uint32_t min_frames_count,
                     uint32_t max_frames_count);
    void (*deactivate)(const clap_plugin* plugin);
    bool (*start_processing)(const clap_plugin* plugin);
    void (*stop_processing)(const clap_plugin* plugin);
    void (*reset)(const clap_plugin* plugin);
    clap_process_status (*process)(const clap_plugin* plugin, const clap_process* process);
    const void* (*get_extension)(const clap_plugin* plugin, const char* id);
    void (*on_main_thread)(const clap_plugin* plugin);
};

// ---- events -----------------------------------------------------------------------------

struct clap_event_header {
    uint32_t size;  // of the whole event
    uint32_t time;  // sample offset in the block
    uint16_t space_id;
    uint16_t type;
    uint32_t flags;
};

constexpr uint16_t CLAP_CORE_EVENT_SPACE_ID = 0;

enum : uint32_t {
    CLAP_EVENT_IS_LIVE = 1u << 0,
    CLAP_EVENT_DONT_RECORD = 1u << 1,
};

enum : uint16_t {
    CLAP_EVENT_NOTE_ON = 0,
    CLAP_EVENT_NOTE_OFF = 1,
    CLAP_EVENT_NOTE_CHOKE = 2,
    CLAP_EVENT_NOTE_END = 3,
    CLAP_EVENT_NOTE_EXPRESSION = 4,
    CLAP_EVENT_PARAM_VALUE = 5,
    CLAP_EVENT_PARAM_MOD = 6,
    CLAP_EVENT_PARAM_GESTURE_BEGIN = 7,
    CLAP_EVENT_PARAM_GESTURE_END = 8,
    CLAP_EVENT_TRANSPORT = 9,
    CLAP_EVENT_MIDI = 10,
};

struct clap_event_param_value {
    clap_event_header header;
    uint32_t param_id;
    void* cookie;
    // -1 for every note, port, channel and key.
    int32_t note_id;
    int16_t port_index;
    int16_t channel;
    int16_t key;
    double value;
};

struct clap_event_param_gesture {
    clap_event_header header;
    uint32_t param_id;
};

struct clap_input_events {
    void* ctx;
    uint32_t (*size)(const clap_input_events* list);
    const clap_event_header* (*get)(const clap_input_events* list, uint32_t index);
};

struct clap_output_events {
    void* ctx;
    // False when the host could not take the event.
    bool (*try_push)(const clap_output_events* list, const clap_event_header* event);
};

// ---- audio and processing ---------------------------------------------------------------

struct clap_audio_buffer {
    float** data32;
    double** data64;
    uint32_t channel_count;
    uint32_t latency;
    uint64_t constant_mask;
};

struct clap_event_transport;

struct clap_process {
    int64_t steady_time;  // -1 when unknown
    uint32_t frames_count;
    const clap_event_transport* transport;
    const clap_audio_buffer* audio_inputs;
    clap_audio_buffer* audio_outputs;
    uint32_t audio_inputs_count;
    uint32_t audio_outputs_count;
    const clap_input_events* in_events;
    const clap_output_events* out_events;
};

// ---- parameters ("clap.params") ---------------------------------------------------------

constexpr char CLAP_EXT_PARAMS[] = "clap.params";

using clap_param_info_flags = uint32_t;
enum : clap_param_info_flags {
    CLAP_PARAM_IS_STEPPED = 1u << 0,
    CLAP_PARAM_IS_PERIODIC = 1u << 1,
    CLAP_PARAM_IS_HIDDEN = 1u << 2,
    CLAP_PARAM_IS_READONLY = 1u << 3,
    CLAP_PARAM_IS_BYPASS = 1u << 4,
    CLAP_PARAM_IS_AUTOMATABLE = 1u << 5,
    CLAP_PARAM_REQUIRES_PROCESS = 1u << 15,
    CLAP_PARAM_IS_ENUM = 1u << 16,
};

struct clap_param_info {
    uint32_t id;
    clap_param_info_flags flags;
    void* cookie;
    char name[CLAP_NAME_SIZE];
    char module[CLAP_PATH_SIZE];
    double min_value;
    double max_value;
    double default_value;
};

struct clap_plugin_params {
    uint32_t (*count)(const clap_plugin* plugin);
    bool (*get_info)(const clap_plugin* plugin, uint32_t param_index, clap_param_info* info);
    bool (*get_value)(const clap_plugin* plugin, uint32_t param_id, double* value);
    bool (*value_to_text)(const clap_plugin* plugin, uint32_t param_id, double value,
                          char* display, uint32_t size);
    bool (*text_to_value)(const clap_plugin* plugin, uint32_t param_id, const char* display,
                          double* value);
    void (*flush)(const clap_plugin* plugin, const clap_input_events* in,
                  const clap_output_events* out);
};

enum : uint32_t {
    CLAP_PARAM_RESCAN_VALUES = 1u << 0,
    CLAP_PARAM_RESCAN_TEXT = 1u << 1,
    CLAP_PARAM_RESCAN_INFO = 1u << 2,
    CLAP_PARAM_RESCAN_ALL = 1u << 3,
};

struct clap_host_params {
    void (*rescan)(const clap_host* host, uint32_t flags);
    void (*clear)(const clap_host* host, uint32_t param_id, uint32_t flags);
    void (*request_flush)(const clap_host* host);
};

// ---- audio ports ("clap.audio-ports") ---------------------------------------------------

constexpr char CLAP_EXT_AUDIO_PORTS[] = "clap.audio-ports";
constexpr char CLAP_PORT_STEREO[] = "stereo";

enum : uint32_t {
    CLAP_AUDIO_PORT_IS_MAIN = 1u << 0,
    CLAP_AUDIO_PORT_SUPPORTS_64BITS = 1u << 1,
    CLAP_AUDIO_PORT_PREFERS_64BITS = 1u << 2,
    CLAP_AUDIO_PORT_REQUIRES_COMMON_SAMPLE_SIZE = 1u << 3,
};

struct clap_audio_port_info {
    uint32_t id;
    char name[CLAP_NAME_SIZE];
    uint32_t flags;
    uint32_t channel_count;
    const char* port_type;
    uint32_t in_place_pair;
};

struct clap_plugin_audio_ports {
    uint32_t (*count)(const clap_plugin* plugin, bool is_input);
    bool (*get)(const clap_plugin* plugin, uint32_t index, bool is_input,
                clap_audio_port_info* info);
};

// ---- state ("clap.state") ---------------------------------------------------------------

constexpr char CLAP_EXT_STATE[] = "clap.state";

// read and write may move fewer bytes than asked: callers loop. Negative on error, read 0 at
// the end.
struct clap_istream {
    void* ctx;
    int64_t (*read)(const clap_istream* stream, void* buffer, uint64_t size);
};

struct clap_ostream {
    void* ctx;
    int64_t (*write)(const clap_ostream* stream, const void* buffer, uint64_t size);
};

struct clap_plugin_state {
    bool (*save)(const clap_plugin* plugin, const clap_ostream* stream);
    bool (*load)(const clap_plugin* plugin, const clap_istream* stream);
};

struct clap_host_state {
    void (*mark_dirty)(const clap_host* host);
};

// ---- the editor window ("clap.gui") -----------------------------------------------------

constexpr char CLAP_EXT_GUI[] = "clap.gui";
constexpr char CLAP_WINDOW_API_X11[] = "x11";
constexpr char CLAP_WINDOW_API_WIN32[] = "win32";

struct clap_window {
    const char* api;
    union {
        void* cocoa;
        unsigned long x11;
        void* win32;
        void* ptr;
        uintptr_t uptr;
    };
};

struct clap_gui_resize_hints {
    bool can_resize_horizontally;
    bool can_resize_vertically;
    bool preserve_aspect_ratio;
    uint32_t aspect_ratio_width;
    uint32_t aspect_ratio_height;
};

struct clap_plugin_gui {
    bool (*is_api_supported)(const clap_plugin* plugin, const char* api, bool is_floating);
    bool (*get_preferred_api)(const clap_plugin* plugin, const char** api, bool* is_floating);
    bool (*create)(const clap_plugin* plugin, const char* api, bool is_floating);
    void (*destroy)(const clap_plugin* plugin);
    bool (*set_scale)(const clap_plugin* plugin, double scale);
    bool (*get_size)(const clap_plugin* plugin, uint32_t* width, uint32_t* height);
    bool (*can_resize)(const clap_plugin* plugin);
    bool (*get_resize_hints)(const clap_plugin* plugin, clap_gui_resize_hints* hints);
    bool (*adjust_size)(const clap_plugin* plugin, uint32_t* width, uint32_t* height);
    bool (*set_size)(const clap_plugin* plugin, uint32_t width, uint32_t height);
    bool (*set_parent)(const clap_plugin* plugin, const clap_window* window);
    bool (*set_transient)(const clap_plugin* plugin, const clap_window* window);
    void (*suggest_title)(const clap_plugin* plugin, const char* title);
    bool (*show)(const clap_plugin* plugin);
    bool (*hide)(const clap_plugin* plugin);
};

struct clap_host_gui {
    void (*resize_hints_changed)(const clap_host* host);
    bool (*request_resize)(const clap_host* host, uint32_t width, uint32_t height);
    bool (*request_show)(const clap_host* host);
    bool (*request_hide)(const clap_host* host);
    void (*closed)(const clap_host* host, bool was_destroyed);
};

// ---- timers and file descriptors --------------------------------------------------------

constexpr char CLAP_EXT_TIMER_SUPPORT[] = "clap.timer-support";

struct clap_plugin_timer_support {
    void (*on_timer)(const clap_plugin* plugin, uint32_t timer_id);
};

struct clap_host_timer_support {
    bool (*register_timer)(const clap_host* host, uint32_t period_ms, uint32_t* timer_id);
    bool (*unregister_timer)(const clap_host* host, uint32_t timer_id);
};

constexpr char CLAP_EXT_POSIX_FD_SUPPORT[] = "clap.posix-fd-support";

enum : uint32_t {
    CLAP_POSIX_FD_READ = 1u << 0,
    CLAP_POSIX_FD_WRITE = 1u << 1,
    CLAP_POSIX_FD_ERROR = 1u << 2,
};

struct clap_plugin_posix_fd_support {
    void (*on_fd)(const clap_plugin* plugin, int fd, uint32_t flags);
};

struct clap_host_posix_fd_support {
    bool (*register_fd)(const clap_host* host, int fd, uint32_t flags);
    bool (*modify_fd)(const clap_host* host, int fd, uint32_t flags);
    bool (*unregister_fd)(const clap_host* host, int fd);
};

// ---- latency, thread checks, log --------------------------------------------------------

constexpr char CLAP_EXT_LATENCY[] = "clap.latency";

struct clap_plugin_latency {
    uint32_t (*get)(const clap_plugin* plugin);
};

struct clap_host_latency {
    void (*changed)(const clap_host* host);
};

constexpr char CLAP_EXT_THREAD_CHECK[] = "clap.thread-check";

struct clap_host_thread_check {
    bool (*is_main_thread)(const clap_host* host);
    bool (*is_audio_thread)(const clap_host* host);
};

constexpr char CLAP_EXT_LOG[] = "clap.log";

enum : int32_t {
    CLAP_LOG_DEBUG = 0,
    CLAP_LOG_INFO = 1,
    CLAP_LOG_WARNING = 2,
    CLAP_LOG_ERROR = 3,
    CLAP_LOG_FATAL = 4,
    CLAP_LOG_HOST_MISBEHAVING = 5,
    CLAP_LOG_PLUGIN_MISBEHAVING = 6,
};

struct clap_host_log {
    void (*log)(const clap_host* host, int32_t severity, const char* message);
};

}  // extern "C"

// The layout on x86-64, the same on Linux and Windows.
static_assert(sizeof(void*) == 8, "the layout below is x86-64's");
static_assert(sizeof(clap_version_t) == 12);
static_assert(sizeof(clap_plugin_entry) == 40 && offsetof(clap_plugin_entry, init) == 16);
static_assert(sizeof(clap_plugin_factory) == 24);
static_assert(sizeof(clap_plugin_descriptor) == 88 &&
              offsetof(clap_plugin_descriptor, id) == 16 &&
              offsetof(clap_plugin_descriptor, features) == 80);
static_assert(sizeof(clap_host) == 88 && offsetof(clap_host, host_data) == 16 &&
              offsetof(clap_host, get_extension) == 56 &&
              offsetof(clap_host, request_callback) == 80);
static_assert(sizeof(clap_plugin) == 96 && offsetof(clap_plugin, init) == 16 &&
              offsetof(clap_plugin, process) == 72 && offsetof(clap_plugin, on_main_thread) == 88);
static_assert(sizeof(clap_event_header) == 16 && offsetof(clap_event_header, space_id) == 8 &&
              offsetof(clap_event_header, flags) == 12);
static_assert(sizeof(clap_event_param_value) == 56 &&
              offsetof(clap_event_param_value, param_id) == 16 &&
              offsetof(clap_event_param_value, cookie) == 24 &&
              offsetof(clap_event_param_value, note_id) == 32 &&
              offsetof(clap_event_param_value, key) == 40 &&
              offsetof(clap_event_param_value, value) == 48);
static_assert(sizeof(clap_event_param_gesture) == 20);
static_assert(sizeof(clap_input_events) == 24 && sizeof(clap_output_events) == 16);
static_assert(sizeof(clap_audio_buffer) == 32 &&
              offsetof(clap_audio_buffer, channel_count) == 16 &&
              offsetof(clap_audio_buffer, constant_mask) == 24);
static_assert(sizeof(clap_process) == 64 && offsetof(clap_process, frames_count) == 8 &&
              offsetof(clap_process, audio_inputs) == 24 &&
              offsetof(clap_process, audio_inputs_count) == 40 &&
              offsetof(clap_process, in_events) == 48 && offsetof(clap_process, out_events) == 56);
static_assert(sizeof(clap_param_info) == 1320 && offsetof(clap_param_info, cookie) == 8 &&
              offsetof(clap_param_info, name) == 16 &&
              offsetof(clap_param_info, module) == 272 &&
              offsetof(clap_param_info, min_value) == 1296);
static_assert(sizeof(clap_plugin_params) == 48 && sizeof(clap_host_params) == 24);
static_assert(sizeof(clap_audio_port_info) == 288 &&
              offsetof(clap_audio_port_info, flags) == 260 &&
              offsetof(clap_audio_port_info, port_type) == 272 &&
              offsetof(clap_audio_port_info, in_place_pair) == 280);
static_assert(sizeof(clap_plugin_audio_ports) == 16);
static_assert(sizeof(clap_istream) == 16 && sizeof(clap_ostream) == 16 &&
              sizeof(clap_plugin_state) == 16 && sizeof(clap_host_state) == 8);
static_assert(sizeof(clap_window) == 16 && offsetof(clap_window, x11) == 8);
static_assert(sizeof(clap_gui_resize_hints) == 12 &&
              offsetof(clap_gui_resize_hints, aspect_ratio_width) == 4);
static_assert(sizeof(clap_plugin_gui) == 120 && sizeof(clap_host_gui) == 40);
static_assert(sizeof(clap_plugin_timer_support) == 8 && sizeof(clap_host_timer_support) == 16);
static_assert(sizeof(clap_plugin_posix_fd_support) == 8 &&
              sizeof(clap_host_posix_fd_support) == 24);
static_assert(sizeof(clap_plugin_latency) == 8 && sizeof(clap_host_latency) == 8 &&
              sizeof(clap_host_thread_check) == 16 && sizeof(clap_host_log) == 8);
