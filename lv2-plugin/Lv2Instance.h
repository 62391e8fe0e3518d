// One LV2 DSP instance: the compressor core driven by an LV2 host. It turns the host's
// port buffers into the core's calls (a parameter port's new value into setParameter, the
// audio into processReplacing, the meter out), keeps the core's blob as the state, and
// serves the program store to the editor in the same process (StoreAccess.h).
//
// Threads (LV2's classes): instantiation (create, activate, deactivate, restore, delete);
// audio (connect, run); save may run beside run; the store table on the host's UI thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include "lv2-plugin/Lv2Ports.h"
#include "platform/forwarding/MessageForwarding.h"

class AutoComp;

namespace lv2front {

class Lv2Instance {
public:
    // Null when the core cannot be made. urid:map is optional: without it there is no state.
    static Lv2Instance* create(double sampleRate, const LV2_Feature* const* features);
    ~Lv2Instance();
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    void connect(uint32_t port, void* data);
    void activate();
    void deactivate();
    void run(uint32_t frames);

    LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle);
    LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

    AutoComp& effect() { return *core; }
    // Where the core's messages go while a store call runs (the editor's sink, else stderr).
    void setMessageSink(platform::MessageSink sink, void* context);
    platform::ForwardedMessages forwardMessages() const;

private:
    explicit Lv2Instance(double sampleRate);
    void applyChangedPorts();
    void processAudio(uint32_t frames);
    // The program a factory preset's state names; none for a form or range we never write.
    std::optional<int> presetProgram(const void* value, size_t size, uint32_t type) const;

    AutoComp* core = nullptr;  // deletes itself on requestClose
    LV2_URID stateKey = 0;
    LV2_URID chunkType = 0;
    LV2_URID programKey = 0;
    LV2_URID intType = 0;
    LV2_URID longType = 0;

    const float* audioIn[2] = {};
    float* audioOut[2] = {};
    const float* controls[kNumControls] = {};
    float* meter = nullptr;
    // The host value each control port had when it was last applied, and whether every port
    // is to be applied again whatever it holds.
    float applied[kNumControls] = {};
    // Set by restore, which a host may call from its UI thread while run() goes on.
    std::atomic<bool> stale{true};
    bool resumePending = false;
    // Stands in for an unconnected right output, piece by piece.
    static constexpr uint32_t kSpareFrames = 256;
    float spare[kSpareFrames] = {};

    platform::MessageSink messageSink = nullptr;
    void* messageContext = nullptr;
};

}  // namespace lv2front
