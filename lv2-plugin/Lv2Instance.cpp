#include "lv2-plugin/Lv2Instance.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include <lv2/atom/atom.h>

#include "effect/AutoComp.h"
#include "effect/HostValues.h"
#include "presets/FactoryPresets.h"

namespace lv2front {
namespace {

// The store's reports (a program chosen, a memory recalled, a file read) reach no host
// from here: the editor echoes the changed values through its own port writes.
VstIntPtr coreCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

const LV2_URID_Map* findMap(const LV2_Feature* const* features) {
    for (; features && *features; ++features)
        if (std::strcmp((*features)->URI, LV2_URID__map) == 0)
            return static_cast<const LV2_URID_Map*>((*features)->data);
    return nullptr;
}

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof(float)) == 0; }

}  // namespace

Lv2Instance::Lv2Instance(double sampleRate) : core(new (std::nothrow) AutoComp(&coreCallback)) {
    if (core) core->setSampleRate(static_cast<float>(sampleRate));
}

Lv2Instance* Lv2Instance::create(double sampleRate, const LV2_Feature* const* features) {
    if (!(sampleRate > 0.0) || sampleRate > 1.0e7) return nullptr;
    auto* instance = new (std::nothrow) Lv2Instance(sampleRate);
    if (instance && !instance->core) {
        delete instance;
        return nullptr;
    }
    if (instance) {
        if (const LV2_URID_Map* map = findMap(features); map && map->map) {
            instance->stateKey = map->map(map->handle, kStateKeyUri);
            instance->chunkType = map->map(map->handle, LV2_ATOM__Chunk);
            instance->programKey = map->map(map->handle, kProgramKeyUri);
            instance->intType = map->map(map->handle, LV2_ATOM__Int);
            instance->longType = map->map(map->handle, LV2_ATOM__Long);
        }
    }
    return instance;
}

Lv2Instance::~Lv2Instance() {
    if (core) core->requestClose();
}

void Lv2Instance::connect(uint32_t port, void* data) {
    switch (port) {
        case kInLeft: audioIn[0] = static_cast<const float*>(data); break;
        case kInRight: audioIn[1] = static_cast<const float*>(data); break;
        case kOutLeft: audioOut[0] = static_cast<float*>(data); break;
        case kOutRight: audioOut[1] = static_cast<float*>(data); break;
        case kMeter: meter = static_cast<float*>(data); break;
        default:
            if (port >= kFirstControl && port < kFirstControl + kNumControls)
                controls[port - kFirstControl] = static_cast<const float*>(data);
            break;
    }
}

// The signal path starts with the first run(), once the ports' values are applied: a VST
// host sets the parameters before resuming, so the gains start at their targets alike.
// The ports may not be connected yet when activate() is called.
void Lv2Instance::activate() { resumePending = true; }

void Lv2Instance::deactivate() {
    resumePending = false;
    core->suspend();
}

void Lv2Instance::run(uint32_t frames) {
    applyChangedPorts();
    if (resumePending) {
        resumePending = false;
        core->resume();
    }
    processAudio(frames);
    if (meter) *meter = static_cast<float>(core->getMeterGain());
}

// Only a port whose value moved since it was last applied is applied: a change the store
// made on the UI thread (a program chosen) stays until the editor's echo moves the port.
void Lv2Instance::applyChangedPorts() {
    const bool all = stale.exchange(false);
    for (uint32_t i = 0; i < kNumControls; ++i) {
        if (!controls[i]) continue;
        const float value = *controls[i];
        if (!all && sameBits(value, applied[i])) continue;
        applied[i] = value;
        const int32_t index = kControls[i].parameter;
        core->setParameter(index, parameters::normalisedValue(index, value));
    }
}

void Lv2Instance::processAudio(uint32_t frames) {
    if (frames == 0 || !audioIn[0] || !audioOut[0]) return;
    // The core takes its inputs as writable pointers but only reads them.
    float* inLeft = const_cast<float*>(audioIn[0]);
    float* inRight = const_cast<float*>(audioIn[1] ? audioIn[1] : audioIn[0]);
    // Cut pieces run the same kernel as whole blocks: the output does not depend on the cut.
    const uint32_t piece = audioOut[1] ? std::min<uint32_t>(frames, INT32_MAX) : kSpareFrames;
    for (uint32_t done = 0; done < frames;) {
        const uint32_t n = std::min(piece, frames - done);
        float* in[2] = {inLeft + done, inRight + done};
        float* out[2] = {audioOut[0] + done, audioOut[1] ? audioOut[1] + done : spare};
        core->processReplacing(in, out, static_cast<VstInt32>(n));
        done += n;
    }
}

LV2_State_Status Lv2Instance::save(LV2_State_Store_Function store, LV2_State_Handle handle) {
    if (!store) return LV2_STATE_ERR_UNKNOWN;
    if (!stateKey) return LV2_STATE_ERR_NO_FEATURE;
    // Every value read here is a relaxed atomic: run() may go on meanwhile.
    std::string blob;
    try {
        blob = core->saveState();
    } catch (const std::bad_alloc&) {
        return LV2_STATE_ERR_UNKNOWN;
    }
    if (blob.empty()) return LV2_STATE_ERR_UNKNOWN;
    return store(handle, stateKey, blob.data(), blob.size(), chunkType,
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

// What wins after a restore: the store (names, the 32 programs, the selection) comes from
// the blob, the five parameters from the host's ports. Hosts own the control ports and
// write them after the state when they load a preset or a session, and they save both
// together, so the next run() applies every port again and the core runs what the host
// shows and saves. A factory preset's state holds no blob, only its program: the store
// selects it, so the editor names the preset the host applied.
LV2_State_Status Lv2Instance::restore(LV2_State_Retrieve_Function retrieve,
                                      LV2_State_Handle handle) {
    if (!retrieve) return LV2_STATE_ERR_UNKNOWN;
    if (!stateKey) return LV2_STATE_ERR_NO_FEATURE;
    size_t size = 0;
    uint32_t type = 0, flags = 0;
    if (const void* bytes = retrieve(handle, stateKey, &size, &type, &flags)) {
        if (type != chunkType) return LV2_STATE_ERR_BAD_TYPE;
        // The core's reader (fuzzed as a saved state) takes a whole blob or changes nothing.
        if (!core->loadState(bytes, size)) return LV2_STATE_ERR_UNKNOWN;
        stale = true;
        return LV2_STATE_SUCCESS;
    }
    const void* value = retrieve(handle, programKey, &size, &type, &flags);
    // A state of ports only (another host's preset) leaves the store as it is.
    if (!value) return LV2_STATE_SUCCESS;
    const std::optional<int> program = presetProgram(value, size, type);
    if (!program) return LV2_STATE_ERR_BAD_TYPE;
    core->selectProgram(*program);
    stale = true;
    return LV2_STATE_SUCCESS;
}

std::optional<int> Lv2Instance::presetProgram(const void* value, size_t size,
                                              uint32_t type) const {
    // Turtle's integers arrive as atom:Int or atom:Long, depending on how they were typed.
    int64_t program = 0;
    if (type == intType && size == sizeof(int32_t)) {
        int32_t narrow = 0;
        std::memcpy(&narrow, value, sizeof(narrow));
        program = narrow;
    } else if (type == longType && size == sizeof(int64_t)) {
        std::memcpy(&program, value, sizeof(program));
    } else {
        return std::nullopt;
    }
    if (program < 1 || program >= kNumPrograms) return std::nullopt;
    return static_cast<int>(program);
}

void Lv2Instance::setMessageSink(platform::MessageSink sink, void* context) {
    messageSink = sink;
    messageContext = context;
}

platform::ForwardedMessages Lv2Instance::forwardMessages() const {
    return platform::ForwardedMessages(messageSink, messageContext);
}

}  // namespace lv2front
