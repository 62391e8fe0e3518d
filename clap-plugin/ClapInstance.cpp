#include "clap-plugin/ClapInstance.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "clap-plugin/ClapPluginRecord.h"
#include "editor/ADEditor.h"
#include "effect/AutoComp.h"
#include "effect/HostValues.h"
#include "effect/ParameterText.h"
#include "presets/StateBlob.h"

namespace clapfront {
namespace {

// The core reports the store's own changes (a program chosen, a memory recalled, a file
// read) as a VST host's callback would hear them; here they become events for the host.
VstIntPtr coreCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr, void*,
                       float opt) {
    if (opcode == audioMasterVersion) return kVstVersion;
    auto* instance = effect ? reinterpret_cast<ClapInstance*>(effect->resvd1) : nullptr;
    if (!instance) return 0;
    switch (opcode) {
        case audioMasterBeginEdit:
            instance->tellHost(OutgoingEvent::Kind::GestureBegin, index, 0.0f);
            return 1;
        case audioMasterAutomate:
            instance->tellHost(OutgoingEvent::Kind::Value, index, opt);
            return 1;
        case audioMasterEndEdit:
            instance->tellHost(OutgoingEvent::Kind::GestureEnd, index, 0.0f);
            return 1;
        case audioMasterUpdateDisplay:
            instance->stateChanged();
            return 1;
        default:
            return 0;
    }
}

// A buffer's channels in the sample type asked for; null when the host gave none of it.
template <typename Sample>
Sample** channelsOf(const clap_audio_buffer& buffer) {
    if constexpr (sizeof(Sample) == sizeof(float))
        return buffer.data32;
    else
        return buffer.data64;
}

template <typename Extension>
const Extension* hostExtension(const clap_host* host, const char* id) {
    if (!host || !host->get_extension) return nullptr;
    return static_cast<const Extension*>(host->get_extension(host, id));
}

}  // namespace

ClapInstance::ClapInstance(const clap_host* host, const clap_plugin_descriptor* descriptor)
    : host(host),
      core(new (std::nothrow) AutoComp(&coreCallback)),
      controller(core, *this) {
    fillPluginRecord(plugin, descriptor, this);
    if (!core) return;
    core->getAeffect()->resvd1 = reinterpret_cast<VstIntPtr>(this);
    for (uint32_t i = 0; i < kNumClapParameters; ++i)
        defaults[i] = core->getParameter(static_cast<VstInt32>(parameterIdAt(i)));
    // The effect deletes its attached editor when it goes.
    editor = new (std::nothrow) ADEditor(controller);
    if (editor) core->setEditor(editor);
}

ClapInstance* ClapInstance::create(const clap_host* host,
                                   const clap_plugin_descriptor* descriptor) {
    auto* instance = new (std::nothrow) ClapInstance(host, descriptor);
    if (instance && !instance->core) {
        delete instance;
        return nullptr;
    }
    return instance;
}

ClapInstance::~ClapInstance() {
    destroyEditor();
    if (core) core->requestClose();
}

ClapInstance* ClapInstance::from(const clap_plugin* plugin) {
    return plugin ? static_cast<ClapInstance*>(plugin->plugin_data) : nullptr;
}

bool ClapInstance::init() {
    // A host may offer none of these (a scanner does not): each is used only if there.
    hostParams = hostExtension<clap_host_params>(host, CLAP_EXT_PARAMS);
    hostState = hostExtension<clap_host_state>(host, CLAP_EXT_STATE);
    hostGui = hostExtension<clap_host_gui>(host, CLAP_EXT_GUI);
    hostTimers = hostExtension<clap_host_timer_support>(host, CLAP_EXT_TIMER_SUPPORT);
    hostDescriptors = hostExtension<clap_host_posix_fd_support>(host, CLAP_EXT_POSIX_FD_SUPPORT);
    hostThreads = hostExtension<clap_host_thread_check>(host, CLAP_EXT_THREAD_CHECK);
    initialised = true;
    return true;
}

bool ClapInstance::onMainThread() const {
    return !hostThreads || !hostThreads->is_main_thread || hostThreads->is_main_thread(host);
}

bool ClapInstance::activate(double sampleRate, uint32_t frames) {
    if (!initialised || active || !onMainThread()) return false;
    if (!(sampleRate > 0.0) || sampleRate > 1.0e7 || frames == 0) return false;
    try {
        spareFloat.assign(frames, 0.0f);
        spareDouble.assign(frames, 0.0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    maxFrames = frames;
    core->setSampleRate(static_cast<float>(sampleRate));
    core->setBlockSize(static_cast<VstInt32>(std::min<uint32_t>(frames, INT32_MAX)));
    core->resume();
    active = true;
    return true;
}

void ClapInstance::deactivate() {
    if (!active || processing || !onMainThread()) return;
    core->suspend();
    active = false;
}

bool ClapInstance::startProcessing() {
    if (!active) return false;
    processing = true;
    return true;
}

void ClapInstance::stopProcessing() { processing = false; }

void ClapInstance::reset() {
    if (!active) return;
    // The signal path starts again from silence, as after a new activation.
    core->suspend();
    core->resume();
}

void ClapInstance::applyEvent(const clap_event_header& event) {
    if (event.space_id != CLAP_CORE_EVENT_SPACE_ID || event.type != CLAP_EVENT_PARAM_VALUE ||
        event.size < sizeof(clap_event_param_value))
        return;
    const auto& change = reinterpret_cast<const clap_event_param_value&>(event);
    if (!isParameterId(change.param_id)) return;
    const auto index = static_cast<VstInt32>(change.param_id);
    core->setParameter(index, parameters::normalisedValue(index, change.value));
}

void ClapInstance::sendOutgoing(const clap_output_events* out) {
    if (!out || !out->try_push) return;
    OutgoingEvent event;
    while (outgoing.peek(event)) {
        bool sent = false;
        if (event.kind == OutgoingEvent::Kind::Value) {
            clap_event_param_value value{};
            value.header = {sizeof(value), 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE,
                            0};
            value.param_id = event.id;
            value.note_id = -1;
            value.port_index = value.channel = value.key = -1;
            value.value = event.value;
            sent = out->try_push(out, &value.header);
        } else {
            clap_event_param_gesture gesture{};
            const uint16_t type = event.kind == OutgoingEvent::Kind::GestureBegin
                                      ? CLAP_EVENT_PARAM_GESTURE_BEGIN
                                      : CLAP_EVENT_PARAM_GESTURE_END;
            gesture.header = {sizeof(gesture), 0, CLAP_CORE_EVENT_SPACE_ID, type, 0};
            gesture.param_id = event.id;
            sent = out->try_push(out, &gesture.header);
        }
        // The host's list is full: the rest goes with the next call.
        if (!sent) return;
        outgoing.pop();
    }
}

template <typename Sample>
void ClapInstance::processSpan(Sample* const* inputs, Sample* const* outputs, uint32_t from,
                               uint32_t to) {
    if (to <= from) return;
    Sample* in[2] = {inputs[0] + from, inputs[1] + from};
    Sample* out[2] = {outputs[0] + from, outputs[1] + from};
    const auto frames = static_cast<VstInt32>(to - from);
    if constexpr (sizeof(Sample) == sizeof(float))
        core->processReplacing(in, out, frames);
    else
        core->processDoubleReplacing(in, out, frames);
}

template <typename Sample>
clap_process_status ClapInstance::processAll(const clap_process& process, Sample** inputs,
                                             Sample** outputs) {
    const uint32_t frames = process.frames_count;
    const clap_input_events* in = process.in_events;
    const uint32_t count = in && in->size && in->get ? in->size(in) : 0;
    uint32_t done = 0;
    // Each event takes effect at its own sample: the block is cut there.
    for (uint32_t i = 0; i < count; ++i) {
        const clap_event_header* event = in->get(in, i);
        if (!event) continue;
        const uint32_t at = std::min(std::max(event->time, done), frames);
        processSpan(inputs, outputs, done, at);
        done = at;
        applyEvent(*event);
    }
    processSpan(inputs, outputs, done, frames);
    sendOutgoing(process.out_events);
    return CLAP_PROCESS_CONTINUE;
}

clap_process_status ClapInstance::process(const clap_process& process) {
    if (!active || !processing) return CLAP_PROCESS_ERROR;
    const uint32_t frames = process.frames_count;
    if (frames > maxFrames) return CLAP_PROCESS_ERROR;
    const clap_audio_buffer* in = process.audio_inputs_count ? process.audio_inputs : nullptr;
    const clap_audio_buffer* out = process.audio_outputs_count ? process.audio_outputs : nullptr;
    if (!out || out->channel_count == 0) {
        // Nothing to write into: parameters still move.
        std::fill(spareFloat.begin(), spareFloat.begin() + frames, 0.0f);
        float* scratch[2] = {spareFloat.data(), spareFloat.data()};
        return processAll<float>(process, scratch, scratch);
    }
    const bool wide = out->data64 && (!in || in->channel_count == 0 || in->data64);
    return wide ? processBuffers(process, in, *out, spareDouble)
                : processBuffers(process, in, *out, spareFloat);
}

template <typename Sample>
clap_process_status ClapInstance::processBuffers(const clap_process& process,
                                                 const clap_audio_buffer* in,
                                                 const clap_audio_buffer& out,
                                                 std::vector<Sample>& spare) {
    Sample** const outData = channelsOf<Sample>(out);
    if (!outData) return CLAP_PROCESS_ERROR;
    Sample** const inData = in && in->channel_count > 0 ? channelsOf<Sample>(*in) : nullptr;
    // Missing inputs read silence from the spare block; a missing second output is written
    // into it.
    Sample* inputs[2] = {spare.data(), spare.data()};
    if (inData) {
        inputs[0] = inData[0];
        inputs[1] = in->channel_count > 1 ? inData[1] : inData[0];
    } else {
        std::fill(spare.begin(), spare.begin() + process.frames_count, Sample(0));
    }
    Sample* outputs[2] = {outData[0], out.channel_count > 1 ? outData[1] : spare.data()};
    return processAll<Sample>(process, inputs, outputs);
}

bool ClapInstance::parameterInfo(uint32_t position, clap_param_info& info) {
    const uint32_t id = parameterIdAt(position);
    if (id == CLAP_INVALID_ID) return false;
    char name[64] = "";
    core->getParameterName(static_cast<VstInt32>(id), name);
    describe(id, name, defaults[position], info);
    return true;
}

bool ClapInstance::parameterValue(uint32_t id, double& value) {
    if (!isParameterId(id)) return false;
    const auto index = static_cast<VstInt32>(id);
    value = parameters::hostValue(index, core->getParameter(index));
    return true;
}

bool ClapInstance::valueToText(uint32_t id, double value, char* text, uint32_t size) {
    if (!isParameterId(id) || !text || size == 0) return false;
    const auto index = static_cast<int32_t>(id);
    char shown[32] = "";
    parameters::displayText(index, parameters::normalisedValue(index, value), shown);
    const std::size_t length = std::min<std::size_t>(std::strlen(shown), size - 1);
    std::memcpy(text, shown, length);
    text[length] = '\0';
    return true;
}

bool ClapInstance::textToValue(uint32_t id, const char* text, double& value) {
    const auto index = static_cast<int32_t>(id);
    float normalised = 0.0f;
    if (!isParameterId(id) || !parameters::valueFromText(index, text, normalised)) return false;
    value = parameters::hostValue(index, normalised);
    return true;
}

void ClapInstance::flush(const clap_input_events* in, const clap_output_events* out) {
    // While active this runs on the audio thread instead of process, else on the main one.
    if (active ? hostThreads && hostThreads->is_audio_thread && !hostThreads->is_audio_thread(host)
               : !onMainThread())
        return;
    const uint32_t count = in && in->size && in->get ? in->size(in) : 0;
    for (uint32_t i = 0; i < count; ++i)
        if (const clap_event_header* event = in->get(in, i)) applyEvent(*event);
    sendOutgoing(out);
}

bool ClapInstance::saveState(const clap_ostream& stream) {
    if (!stream.write || !onMainThread()) return false;
    const std::string blob = core->saveState();
    std::size_t written = 0;
    while (written < blob.size()) {
        const int64_t n = stream.write(&stream, blob.data() + written, blob.size() - written);
        if (n <= 0) return false;
        written += static_cast<std::size_t>(n);
    }
    return !blob.empty();
}

bool ClapInstance::loadState(const clap_istream& stream) {
    if (!stream.read || !onMainThread()) return false;
    // One byte more than a whole blob tells an oversized one.
    char blob[stateblob::kSize + 1];
    std::size_t size = 0;
    while (size < sizeof(blob)) {
        const int64_t n = stream.read(&stream, blob + size, sizeof(blob) - size);
        if (n < 0) return false;
        if (n == 0) break;
        size += static_cast<std::size_t>(n);
    }
    // No rescan: the host asked for this state and reads the values from it; some hosts
    // (Qtractor) would take a rescan for a change and hold the session modified.
    return core->loadState(blob, size);
}

void ClapInstance::tellHost(OutgoingEvent::Kind kind, int index, float normalised) {
    if (index < 0 || !isParameterId(static_cast<uint32_t>(index))) return;
    OutgoingEvent event;
    event.kind = kind;
    event.id = static_cast<uint32_t>(index);
    event.value = parameters::hostValue(index, normalised);
    outgoing.push(event);
    // The host asks for the events with a flush, or takes them with the next process call.
    if (hostParams && hostParams->request_flush && onMainThread()) hostParams->request_flush(host);
}

void ClapInstance::stateChanged() {
    if (hostState && hostState->mark_dirty && onMainThread()) hostState->mark_dirty(host);
}

}  // namespace clapfront
