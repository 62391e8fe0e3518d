/* The facts of the CLAP interface's layout that a compiler can tell: sizes, offsets and
   constants, listed once and evaluated over two sets of declarations (ours, and the
   published headers in a C file of its own) so that a test can compare them. */
#ifndef KRV_CLAP_LAYOUT_FACTS_H
#define KRV_CLAP_LAYOUT_FACTS_H

#include <stddef.h>

struct ClapLayoutFact {
    const char* name;
    unsigned long value;
};

#define KRV_SIZE(type) {"sizeof " #type, sizeof(type)},
#define KRV_OFFSET(type, field) {#type "." #field, offsetof(type, field)},
#define KRV_VALUE(constant) {#constant, (unsigned long)(constant)},

#define KRV_CLAP_LAYOUT_FACTS                                                                 \
    KRV_SIZE(clap_version_t) KRV_SIZE(struct clap_plugin_entry)                               \
    KRV_OFFSET(struct clap_plugin_entry, get_factory) KRV_SIZE(struct clap_plugin_factory)    \
    KRV_OFFSET(struct clap_plugin_factory, create_plugin)                                     \
    KRV_SIZE(struct clap_plugin_descriptor) KRV_OFFSET(struct clap_plugin_descriptor, version) \
    KRV_OFFSET(struct clap_plugin_descriptor, features) KRV_SIZE(struct clap_host)            \
    KRV_OFFSET(struct clap_host, get_extension) KRV_OFFSET(struct clap_host, request_callback) \
    KRV_SIZE(struct clap_plugin) KRV_OFFSET(struct clap_plugin, activate)                     \
    KRV_OFFSET(struct clap_plugin, process) KRV_OFFSET(struct clap_plugin, on_main_thread)    \
    KRV_SIZE(struct clap_event_header) KRV_OFFSET(struct clap_event_header, space_id)         \
    KRV_OFFSET(struct clap_event_header, flags) KRV_SIZE(struct clap_event_param_value)       \
    KRV_OFFSET(struct clap_event_param_value, param_id)                                       \
    KRV_OFFSET(struct clap_event_param_value, note_id)                                        \
    KRV_OFFSET(struct clap_event_param_value, key)                                            \
    KRV_OFFSET(struct clap_event_param_value, value) KRV_SIZE(struct clap_event_param_gesture) \
    KRV_SIZE(struct clap_input_events) KRV_OFFSET(struct clap_input_events, get)              \
    KRV_SIZE(struct clap_output_events) KRV_SIZE(struct clap_audio_buffer)                    \
    KRV_OFFSET(struct clap_audio_buffer, channel_count)                                       \
    KRV_OFFSET(struct clap_audio_buffer, constant_mask) KRV_SIZE(struct clap_process)         \
    KRV_OFFSET(struct clap_process, frames_count) KRV_OFFSET(struct clap_process, audio_outputs) \
    KRV_OFFSET(struct clap_process, audio_inputs_count)                                       \
    KRV_OFFSET(struct clap_process, out_events) KRV_SIZE(struct clap_param_info)              \
    KRV_OFFSET(struct clap_param_info, name) KRV_OFFSET(struct clap_param_info, module)       \
    KRV_OFFSET(struct clap_param_info, default_value) KRV_SIZE(struct clap_plugin_params)     \
    KRV_OFFSET(struct clap_plugin_params, flush) KRV_SIZE(struct clap_host_params)            \
    KRV_SIZE(struct clap_audio_port_info) KRV_OFFSET(struct clap_audio_port_info, flags)      \
    KRV_OFFSET(struct clap_audio_port_info, port_type)                                        \
    KRV_OFFSET(struct clap_audio_port_info, in_place_pair)                                    \
    KRV_SIZE(struct clap_plugin_audio_ports) KRV_SIZE(struct clap_istream)                    \
    KRV_SIZE(struct clap_ostream) KRV_SIZE(struct clap_plugin_state)                          \
    KRV_SIZE(struct clap_host_state) KRV_SIZE(struct clap_window)                             \
    KRV_OFFSET(struct clap_window, x11) KRV_SIZE(struct clap_gui_resize_hints)                \
    KRV_OFFSET(struct clap_gui_resize_hints, aspect_ratio_width) KRV_SIZE(struct clap_plugin_gui) \
    KRV_OFFSET(struct clap_plugin_gui, set_scale) KRV_OFFSET(struct clap_plugin_gui, set_parent) \
    KRV_OFFSET(struct clap_plugin_gui, hide) KRV_SIZE(struct clap_host_gui)                   \
    KRV_OFFSET(struct clap_host_gui, request_resize) KRV_SIZE(struct clap_plugin_timer_support) \
    KRV_SIZE(struct clap_host_timer_support) KRV_SIZE(struct clap_plugin_latency)             \
    KRV_SIZE(struct clap_host_thread_check) KRV_VALUE(CLAP_CORE_EVENT_SPACE_ID)               \
    KRV_VALUE(CLAP_EVENT_PARAM_VALUE) KRV_VALUE(CLAP_EVENT_PARAM_GESTURE_BEGIN)               \
    KRV_VALUE(CLAP_EVENT_PARAM_GESTURE_END) KRV_VALUE(CLAP_PROCESS_CONTINUE)                  \
    KRV_VALUE(CLAP_PROCESS_ERROR) KRV_VALUE(CLAP_PARAM_IS_STEPPED)                            \
    KRV_VALUE(CLAP_PARAM_IS_AUTOMATABLE) KRV_VALUE(CLAP_PARAM_RESCAN_VALUES)                  \
    KRV_VALUE(CLAP_PARAM_IS_HIDDEN) KRV_VALUE(CLAP_PARAM_IS_READONLY)                         \
    KRV_VALUE(CLAP_AUDIO_PORT_IS_MAIN) KRV_VALUE(CLAP_AUDIO_PORT_SUPPORTS_64BITS)             \
    KRV_VALUE(CLAP_NAME_SIZE) KRV_VALUE(CLAP_PATH_SIZE)

#define KRV_CLAP_LAYOUT_NAMES(X)                                                              \
    X(CLAP_PLUGIN_FACTORY_ID) X(CLAP_EXT_PARAMS) X(CLAP_EXT_AUDIO_PORTS) X(CLAP_EXT_STATE)    \
    X(CLAP_EXT_GUI) X(CLAP_EXT_TIMER_SUPPORT) X(CLAP_EXT_LATENCY) X(CLAP_EXT_THREAD_CHECK)    \
    X(CLAP_WINDOW_API_X11) X(CLAP_WINDOW_API_WIN32) X(CLAP_PORT_STEREO)

#define KRV_NAME_ENTRY(constant) constant,

#ifdef __cplusplus
extern "C" {
#endif
extern const struct ClapLayoutFact krvClapFactsOurs[];
extern const struct ClapLayoutFact krvClapFactsTheirs[];
extern const unsigned krvClapFactCount;
extern const char* const krvClapNamesOurs[];
extern const char* const krvClapNamesTheirs[];
extern const unsigned krvClapNameCount;
#ifdef __cplusplus
}
#endif

#endif
