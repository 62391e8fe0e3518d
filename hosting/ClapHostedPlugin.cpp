#include "hosting/ClapHostedPlugin.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr char kOurId[] = "com.krv-soundlab.tarnwick";

#ifdef _WIN32
constexpr const char* kWindowApi = CLAP_WINDOW_API_WIN32;
#else
constexpr const char* kWindowApi = CLAP_WINDOW_API_X11;
#endif

template <typename Extension>
const Extension* extensionOf(const clap_plugin* plugin, const char* id) {
    return plugin->get_extension ? static_cast<const Extension*>(plugin->get_extension(plugin, id)) : nullptr;
}

std::string textOf(const char* text) { return text ? text : ""; }

}  // namespace

std::unique_ptr<ClapHostedPlugin> ClapHostedPlugin::open(const std::string& path, const HostServices& services,
                                                         std::string& error) {
    auto library = ClapLibrary::open(path, error);
    if (!library) return nullptr;
    std::unique_ptr<ClapHostedPlugin> hosted(new ClapHostedPlugin(std::move(library), services));
    if (!hosted->create(error)) return nullptr;
    return hosted;
}

ClapHostedPlugin::ClapHostedPlugin(std::unique_ptr<ClapLibrary> library, const HostServices& services)
    : library(std::move(library)), host(services), sent([this](const clap_event_header& event) { received(event); }) {}

bool ClapHostedPlugin::create(std::string& error) {
    const clap_plugin_factory& factory = library->factory();
    const clap_plugin_descriptor* descriptor = factory.get_plugin_descriptor(&factory, 0);
    if (!descriptor || !descriptor->id) {
        error = library->path() + " describes no plug-in";
        return false;
    }
    plugin = factory.create_plugin(&factory, host.record(), descriptor->id);
    if (!plugin) {
        error = library->path() + " did not create " + descriptor->id;
        return false;
    }
    if (!plugin->init || !plugin->init(plugin)) {
        // A plug-in whose init failed is only destroyed.
        plugin->destroy(plugin);
        plugin = nullptr;
        error = library->path() + ": " + descriptor->id + " failed to initialise";
        return false;
    }
    params = extensionOf<clap_plugin_params>(plugin, CLAP_EXT_PARAMS);
    audioPorts = extensionOf<clap_plugin_audio_ports>(plugin, CLAP_EXT_AUDIO_PORTS);
    gui = extensionOf<clap_plugin_gui>(plugin, CLAP_EXT_GUI);
    timerSupport = extensionOf<clap_plugin_timer_support>(plugin, CLAP_EXT_TIMER_SUPPORT);
    fdSupport = extensionOf<clap_plugin_posix_fd_support>(plugin, CLAP_EXT_POSIX_FD_SUPPORT);
    readParameters();
    return true;
}

ClapHostedPlugin::~ClapHostedPlugin() {
    if (!plugin) return;
    closeEditor();
    if (active) stop();
    plugin->destroy(plugin);
}

void ClapHostedPlugin::readParameters() {
    if (!params || !params->count || !params->get_info) return;
    const bool ours = isOurs();
    const uint32_t count = params->count(plugin);
    for (uint32_t i = 0; i < count; ++i) {
        Slot found;
        if (!params->get_info(plugin, i, &found.info)) continue;
        found.used = true;
        found.info.name[CLAP_NAME_SIZE - 1] = '\0';
        // Ours keeps its VST indices as ids; a position past a few hundred is no index.
        const uint32_t position = ours && found.info.id < 256 ? found.info.id : static_cast<uint32_t>(slots.size());
        if (position >= slots.size()) slots.resize(position + 1);
        slots[position] = found;
        positionOfId[found.info.id] = static_cast<int>(position);
    }
}

PluginIdentity ClapHostedPlugin::identity() {
    const clap_plugin_descriptor* descriptor = plugin->desc;
    PluginIdentity identity;
    identity.name = textOf(descriptor->name);
    identity.product = identity.name;
    identity.vendor = textOf(descriptor->vendor);
    identity.version = textOf(descriptor->version);
    identity.id = textOf(descriptor->id);
    if (audioPorts && audioPorts->count && audioPorts->get)
        for (bool input : {true, false})
            for (uint32_t i = 0, n = audioPorts->count(plugin, input); i < n; ++i) {
                clap_audio_port_info info{};
                if (audioPorts->get(plugin, i, input, &info))
                    (input ? identity.inputs : identity.outputs) += static_cast<int>(info.channel_count);
            }
    return identity;
}

bool ClapHostedPlugin::isOurs() { return plugin->desc && plugin->desc->id && std::strcmp(plugin->desc->id, kOurId) == 0; }

const ClapHostedPlugin::Slot* ClapHostedPlugin::slot(int index) const {
    if (index < 0 || index >= static_cast<int>(slots.size()) || !slots[static_cast<size_t>(index)].used)
        return nullptr;
    return &slots[static_cast<size_t>(index)];
}

double ClapHostedPlugin::plainValue(const Slot& slot, float normalised) const {
    const clap_param_info& info = slot.info;
    double plain = info.min_value + static_cast<double>(normalised) * (info.max_value - info.min_value);
    if (info.flags & CLAP_PARAM_IS_STEPPED) plain = std::round(plain);
    return plain;
}

float ClapHostedPlugin::normalisedValue(const Slot& slot, double plain) const {
    const double range = slot.info.max_value - slot.info.min_value;
    return range > 0 ? static_cast<float>((plain - slot.info.min_value) / range) : 0.0f;
}

double ClapHostedPlugin::currentPlain(const Slot& slot) {
    if (const double* value = waiting.waitingValue(slot.info.id)) return *value;
    double value = slot.info.default_value;
    if (params->get_value) params->get_value(plugin, slot.info.id, &value);
    return value;
}

std::string ClapHostedPlugin::parameterName(int index) {
    const Slot* found = slot(index);
    return found ? found->info.name : "";
}

std::string ClapHostedPlugin::parameterDisplay(int index) {
    const Slot* found = slot(index);
    if (!found) return "";
    const double value = currentPlain(*found);
    char text[256] = {};
    if (!params->value_to_text || !params->value_to_text(plugin, found->info.id, value, text, sizeof(text)))
        std::snprintf(text, sizeof(text), "%g", value);
    text[sizeof(text) - 1] = '\0';
    return text;
}

float ClapHostedPlugin::parameter(int index) {
    const Slot* found = slot(index);
    return found ? normalisedValue(*found, currentPlain(*found)) : 0.0f;
}

void ClapHostedPlugin::setParameter(int index, float value) {
    const Slot* found = slot(index);
    if (!found) return;
    waiting.setValue(found->info.id, found->info.cookie, plainValue(*found, value));
    if (!active) flushWhileInactive();
}

bool ClapHostedPlugin::parameterFromText(int index, const std::string& text, float& value) {
    const Slot* found = slot(index);
    double plain = 0;
    if (!found || !params->text_to_value || !params->text_to_value(plugin, found->info.id, text.c_str(), &plain))
        return false;
    if (!(plain >= found->info.min_value && plain <= found->info.max_value)) return false;
    value = normalisedValue(*found, plain);
    return true;
}

void ClapHostedPlugin::flushWhileInactive() {
    if (params && params->flush) params->flush(plugin, waiting.list(), sent.list());
    waiting.clear();
}

void ClapHostedPlugin::received(const clap_event_header& event) {
    const auto& edited = host.services().edited;
    if (!edited || event.space_id != CLAP_CORE_EVENT_SPACE_ID) return;
    if (event.type == CLAP_EVENT_PARAM_VALUE && event.size >= sizeof(clap_event_param_value)) {
        const auto& change = reinterpret_cast<const clap_event_param_value&>(event);
        auto position = positionOfId.find(change.param_id);
        // A read-only parameter is the plug-in's meter, not an edit.
        if (position != positionOfId.end() &&
            !(slots[static_cast<size_t>(position->second)].info.flags & CLAP_PARAM_IS_READONLY))
            edited("automate", position->second, normalisedValue(slots[static_cast<size_t>(position->second)], change.value));
    } else if ((event.type == CLAP_EVENT_PARAM_GESTURE_BEGIN || event.type == CLAP_EVENT_PARAM_GESTURE_END) &&
               event.size >= sizeof(clap_event_param_gesture)) {
        const auto& gesture = reinterpret_cast<const clap_event_param_gesture&>(event);
        auto position = positionOfId.find(gesture.param_id);
        if (position != positionOfId.end())
            edited(event.type == CLAP_EVENT_PARAM_GESTURE_BEGIN ? "beginEdit" : "endEdit", position->second, 0.0);
    }
}

bool ClapHostedPlugin::canProcessDouble() {
    if (!audioPorts || !audioPorts->count || !audioPorts->get) return false;
    bool any = false;
    for (bool input : {true, false})
        for (uint32_t i = 0, n = audioPorts->count(plugin, input); i < n; ++i) {
            clap_audio_port_info info{};
            if (!audioPorts->get(plugin, i, input, &info) || !(info.flags & CLAP_AUDIO_PORT_SUPPORTS_64BITS))
                return false;
            any = true;
        }
    return any;
}

bool ClapHostedPlugin::start(double sampleRate, int maxBlock, int channels, bool) {
    if (active) return true;
    channelCount = channels;
    if (!plugin->activate(plugin, sampleRate, 1, static_cast<uint32_t>(maxBlock))) return false;
    active = true;
    framesDone = 0;
    host.setInAudioCall(true);
    const bool started = plugin->start_processing(plugin);
    host.setInAudioCall(false);
    if (!started) {
        plugin->deactivate(plugin);
        active = false;
    }
    return started;
}

void ClapHostedPlugin::stop() {
    if (!active) return;
    host.setInAudioCall(true);
    plugin->stop_processing(plugin);
    host.setInAudioCall(false);
    plugin->deactivate(plugin);
    active = false;
    // Values set after the last block still reach the plug-in.
    if (!waiting.empty()) flushWhileInactive();
}

template <typename Sample>
void ClapHostedPlugin::processBlock(Sample** inputs, Sample** outputs, int frames) {
    if (!active || frames <= 0) return;
    // A mono signal goes in and comes out on the first buffer for both channels, as a VST
    // effect set to a mono arrangement takes it, so that both formats give the same file.
    const bool mono = channelCount == 1;
    Sample* in[2] = {inputs[0], mono ? inputs[0] : inputs[1]};
    Sample* out[2] = {outputs[0], mono ? outputs[0] : outputs[1]};
    clap_audio_buffer input{}, output{};
    input.channel_count = output.channel_count = 2;
    if constexpr (sizeof(Sample) == sizeof(float)) {
        input.data32 = in;
        output.data32 = out;
    } else {
        input.data64 = in;
        output.data64 = out;
    }
    clap_process block{};
    block.steady_time = framesDone;
    block.frames_count = static_cast<uint32_t>(frames);
    block.audio_inputs = &input;
    block.audio_outputs = &output;
    block.audio_inputs_count = 1;
    block.audio_outputs_count = 1;
    block.in_events = waiting.list();
    block.out_events = sent.list();
    host.setInAudioCall(true);
    plugin->process(plugin, &block);
    host.setInAudioCall(false);
    waiting.clear();
    framesDone += frames;
}

void ClapHostedPlugin::process(float** inputs, float** outputs, int frames) { processBlock(inputs, outputs, frames); }
void ClapHostedPlugin::process(double** inputs, double** outputs, int frames) { processBlock(inputs, outputs, frames); }

bool ClapHostedPlugin::hasEditor() {
    return gui && gui->is_api_supported && gui->is_api_supported(plugin, kWindowApi, false);
}

bool ClapHostedPlugin::ensureEditorCreated() {
    if (editorCreated) return true;
    if (!hasEditor() || !gui->create(plugin, kWindowApi, false)) return false;
    editorCreated = true;
    if (scale > 0) gui->set_scale(plugin, scale);
    return true;
}

bool ClapHostedPlugin::editorSize(int& width, int& height) {
    uint32_t w = 0, h = 0;
    const bool known = ensureEditorCreated() && gui->get_size(plugin, &w, &h) && w > 0 && h > 0;
    width = known ? static_cast<int>(w) : 0;
    height = known ? static_cast<int>(h) : 0;
    return known;
}

bool ClapHostedPlugin::openEditor(platform::WindowHandle parent) {
    if (!ensureEditorCreated()) return false;
    clap_window window{};
    window.api = kWindowApi;
    window.uptr = parent;
    if (!gui->set_parent(plugin, &window)) return false;
    gui->show(plugin);
    return true;
}

void ClapHostedPlugin::idleEditor() {
    if (host.takeCallbackRequest() && plugin->on_main_thread) plugin->on_main_thread(plugin);
    // While active, the next block carries what the plug-in wants flushed.
    if (host.takeFlushRequest() && !active) flushWhileInactive();
    for (uint32_t id : host.takeDueTimers())
        if (timerSupport) timerSupport->on_timer(plugin, id);
    waitForEditor(std::chrono::milliseconds(0));
}

void ClapHostedPlugin::idleEditorNow() {
    // Every timer falls due now: the editor's idle runs whatever the clock says.
    host.makeTimersDue();
    idleEditor();
}

void ClapHostedPlugin::waitForEditor(std::chrono::milliseconds most) {
    for (const auto& [fd, flags] : host.waitForDescriptors(most))
        if (fdSupport) fdSupport->on_fd(plugin, fd, flags);
}

void ClapHostedPlugin::closeEditor() {
    if (!editorCreated) return;
    gui->hide(plugin);
    gui->destroy(plugin);
    editorCreated = false;
}
