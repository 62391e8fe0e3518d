// The host side of the interface: answers the effect's requests. One Host object serves
// one effect; the record's host-reserved field leads each callback back to it.
#pragma once

#include <memory>
#include <string>

#include "host/vst_abi.h"
#include "hosting/PluginLibrary.h"

class Host {
public:
    virtual ~Host() = default;

    // What this host answers to one request of the effect (effect is null during entry).
    virtual VstIntPtr answer(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                             void* ptr, float opt) = 0;

    // The callback handed to the entry point.
    static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                              void* ptr, float opt);

    // Calls the entry with this host's callback; null when the entry answers null or
    // the record is not an effect's.
    AEffect* instantiate(PluginEntryProc entry);
};

// One loaded effect: dispatcher shortcuts and effClose on destruction.
class HostedEffect {
public:
    // Null with a reason in error when the library yields no effect.
    static std::unique_ptr<HostedEffect> create(const PluginLibrary& library, Host& host,
                                                std::string& error);
    explicit HostedEffect(AEffect* effect) : record(effect) {}
    ~HostedEffect();
    HostedEffect(const HostedEffect&) = delete;
    HostedEffect& operator=(const HostedEffect&) = delete;

    AEffect* effect() const { return record; }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);
    // Text answers of the text opcodes, read into a generous buffer.
    std::string text(VstInt32 opcode, VstInt32 index = 0);
    std::string parameterName(VstInt32 index) { return text(effGetParamName, index); }
    std::string parameterDisplay(VstInt32 index) { return text(effGetParamDisplay, index); }
    std::string parameterLabel(VstInt32 index) { return text(effGetParamLabel, index); }
    void setParameter(VstInt32 index, float value) { record->setParameter(record, index, value); }
    float getParameter(VstInt32 index) { return record->getParameter(record, index); }
    // Closes the effect now; later calls do nothing.
    void close();

private:
    AEffect* record;
};
