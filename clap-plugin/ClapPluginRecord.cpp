#include "clap-plugin/ClapPluginRecord.h"

#include <cstring>

#include "clap-plugin/ClapInstance.h"
#include "clap-plugin/ClapParameters.h"

namespace clapfront {
namespace {

ClapInstance* instanceOf(const clap_plugin* plugin) { return ClapInstance::from(plugin); }

// ---- the plug-in ------------------------------------------------------------------------

bool init(const clap_plugin* plugin) {
    ClapInstance* instance = instanceOf(plugin);
    return instance && instance->init();
}

void destroy(const clap_plugin* plugin) { delete instanceOf(plugin); }

bool activate(const clap_plugin* plugin, double sampleRate, uint32_t, uint32_t maxFrames) {
    ClapInstance* instance = instanceOf(plugin);
    return instance && instance->activate(sampleRate, maxFrames);
}

void deactivate(const clap_plugin* plugin) {
    if (ClapInstance* instance = instanceOf(plugin)) instance->deactivate();
}

bool startProcessing(const clap_plugin* plugin) {
    ClapInstance* instance = instanceOf(plugin);
    return instance && instance->startProcessing();
}

void stopProcessing(const clap_plugin* plugin) {
    if (ClapInstance* instance = instanceOf(plugin)) instance->stopProcessing();
}

void reset(const clap_plugin* plugin) {
    if (ClapInstance* instance = instanceOf(plugin)) instance->reset();
}

clap_process_status process(const clap_plugin* plugin, const clap_process* process) {
    ClapInstance* instance = instanceOf(plugin);
    return instance && process ? instance->process(*process) : CLAP_PROCESS_ERROR;
}

void onMainThread(const clap_plugin*) {}

// ---- parameters -------------------------------------------------------------------------

uint32_t parameterCount(const clap_plugin* plugin) {
    return instanceOf(plugin) ? kNumClapParameters : 0;
}

bool parameterInfo(const clap_plugin* plugin, uint32_t position, clap_param_info* info) {
    ClapInstance* instance = instanceOf(plugin);
    return instance && info && instance->parameterInfo(position, *info);
}

bool parameterValue(const clap_plugin* plugin, uint32_t id, double* value) {
    ClapInstance* instance = instanceOf(plugin);
    return instance && value && instance->parameterValue(id, *value);
}

bool valueToText(const clap_plugin* plugin, uint32_t id, double value, char* text,
                 uint32_t size) {
    ClapInstance* instance = instanceOf(plugin);
    return instance && instance->valueToText(id, value, text, size);
}

bool textToValue(const clap_plugin* plugin, uint32_t id, const char* text, double* value) {
    ClapInstance* instance = instanceOf(plugin);
    return instance && value && instance->textToValue(id, text, *value);
}

void flush(const clap_plugin* plugin, const clap_input_events* in,
           const clap_output_events* out) {
    if (ClapInstance* instance = instanceOf(plugin)) instance->flush(in, out);
}

constexpr clap_plugin_params kParams{parameterCount, parameterInfo, parameterValue,
                                     valueToText,    textToValue,   flush};

// ---- audio ports: one stereo pair each way ----------------------------------------------

uint32_t portCount(const clap_plugin* plugin, bool) { return instanceOf(plugin) ? 1 : 0; }

bool portInfo(const clap_plugin* plugin, uint32_t index, bool isInput,
              clap_audio_port_info* info) {
    if (!instanceOf(plugin) || index != 0 || !info) return false;
    std::memset(info, 0, sizeof(*info));
    info->id = 0;
    std::strcpy(info->name, isInput ? "Stereo In" : "Stereo Out");
    info->flags = CLAP_AUDIO_PORT_IS_MAIN | CLAP_AUDIO_PORT_SUPPORTS_64BITS;
    info->channel_count = 2;
    info->port_type = CLAP_PORT_STEREO;
    info->in_place_pair = 0;
    return true;
}

constexpr clap_plugin_audio_ports kAudioPorts{portCount, portInfo};

// ---- state ------------------------------------------------------------------------------

bool saveState(const clap_plugin* plugin, const clap_ostream* stream) {
    ClapInstance* instance = instanceOf(plugin);
    return instance && stream && instance->saveState(*stream);
}

bool loadState(const clap_plugin* plugin, const clap_istream* stream) {
    ClapInstance* instance = instanceOf(plugin);
    return instance && stream && instance->loadState(*stream);
}

constexpr clap_plugin_state kState{saveState, loadState};

// ---- latency: none ----------------------------------------------------------------------

uint32_t latency(const clap_plugin*) { return 0; }

constexpr clap_plugin_latency kLatency{latency};

// ---- the editor -------------------------------------------------------------------------

bool guiApiSupported(const clap_plugin* plugin, const char* api, bool floating) {
    ClapInstance* instance = instanceOf(plugin);
    return instance && instance->editorApiSupported(api, floating);
}

bool guiPreferredApi(const clap_plugin* plugin, const char** api, bool* floating) {
    if (!instanceOf(plugin) || !api || !floating) return false;
#ifdef _WIN32
    *api = CLAP_WINDOW_API_WIN32;
#else
    *api = CLAP_WINDOW_API_X11;
#endif
    *floating = false;
    return true;
}

bool guiCreate(const clap_plugin* plugin, const char* api, bool floating) {
    ClapInstance* instance = instanceOf(plugin);
    return instance && instance->createEditor(api, floating);
}

void guiDestroy(const clap_plugin* plugin) {
    if (ClapInstance* instance = instanceOf(plugin)) instance->destroyEditor();
}

bool guiSetScale(const clap_plugin* plugin, double scale) {
    ClapInstance* instance = instanceOf(plugin);
    return instance && instance->setEditorScale(scale);
}

bool guiGetSize(const clap_plugin* plugin, uint32_t* width, uint32_t* height) {
    ClapInstance* instance = instanceOf(plugin);
    return instance && width && height && instance->editorSize(*width, *height);
}

bool guiCanResize(const clap_plugin*) { return false; }

bool guiResizeHints(const clap_plugin* plugin, clap_gui_resize_hints* hints) {
    if (!instanceOf(plugin) || !hints) return false;
    *hints = clap_gui_resize_hints{false, false, true, 0, 0};
    return true;
}

bool guiAdjustSize(const clap_plugin* plugin, uint32_t* width, uint32_t* height) {
    ClapInstance* instance = instanceOf(plugin);
    return instance && width && height && instance->editorSize(*width, *height);
}

// Only the size the editor has is taken.
bool guiSetSize(const clap_plugin* plugin, uint32_t width, uint32_t height) {
    ClapInstance* instance = instanceOf(plugin);
    uint32_t ownWidth = 0, ownHeight = 0;
    return instance && instance->editorSize(ownWidth, ownHeight) && width == ownWidth &&
           height == ownHeight;
}

bool guiSetParent(const clap_plugin* plugin, const clap_window* window) {
    ClapInstance* instance = instanceOf(plugin);
    return instance && window && instance->setEditorParent(*window);
}

bool guiSetTransient(const clap_plugin*, const clap_window*) { return false; }

void guiSuggestTitle(const clap_plugin*, const char*) {}

// The embedded window shows with its parent.
bool guiShow(const clap_plugin* plugin) {
    ClapInstance* instance = instanceOf(plugin);
    return instance && instance->editorShown();
}

bool guiHide(const clap_plugin* plugin) {
    ClapInstance* instance = instanceOf(plugin);
    return instance && instance->editorShown();
}

constexpr clap_plugin_gui kGui{guiApiSupported, guiPreferredApi, guiCreate,      guiDestroy,
                               guiSetScale,     guiGetSize,      guiCanResize,   guiResizeHints,
                               guiAdjustSize,   guiSetSize,      guiSetParent,   guiSetTransient,
                               guiSuggestTitle, guiShow,         guiHide};

void onTimer(const clap_plugin* plugin, uint32_t timerId) {
    if (ClapInstance* instance = instanceOf(plugin)) instance->onTimer(timerId);
}

constexpr clap_plugin_timer_support kTimers{onTimer};

#ifndef _WIN32
void onDescriptor(const clap_plugin* plugin, int descriptor, uint32_t) {
    if (ClapInstance* instance = instanceOf(plugin)) instance->onDescriptor(descriptor);
}

constexpr clap_plugin_posix_fd_support kDescriptors{onDescriptor};
#endif

const void* getExtension(const clap_plugin* plugin, const char* id) {
    if (!instanceOf(plugin) || !id) return nullptr;
    const auto is = [id](const char* name) { return std::strcmp(id, name) == 0; };
    if (is(CLAP_EXT_PARAMS)) return &kParams;
    if (is(CLAP_EXT_AUDIO_PORTS)) return &kAudioPorts;
    if (is(CLAP_EXT_STATE)) return &kState;
    if (is(CLAP_EXT_LATENCY)) return &kLatency;
    if (is(CLAP_EXT_GUI)) return &kGui;
    if (is(CLAP_EXT_TIMER_SUPPORT)) return &kTimers;
#ifndef _WIN32
    if (is(CLAP_EXT_POSIX_FD_SUPPORT)) return &kDescriptors;
#endif
    return nullptr;
}

}  // namespace

void fillPluginRecord(clap_plugin& plugin, const clap_plugin_descriptor* descriptor,
                      ClapInstance* instance) {
    plugin.desc = descriptor;
    plugin.plugin_data = instance;
    plugin.init = init;
    plugin.destroy = destroy;
    plugin.activate = activate;
    plugin.deactivate = deactivate;
    plugin.start_processing = startProcessing;
    plugin.stop_processing = stopProcessing;
    plugin.reset = reset;
    plugin.process = process;
    plugin.get_extension = getExtension;
    plugin.on_main_thread = onMainThread;
}

}  // namespace clapfront
