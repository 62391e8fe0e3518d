#include "hosting/Host.h"

#include <cstring>

namespace {
// The host being asked while an entry point runs, before the record exists.
thread_local Host* hostInEntry = nullptr;
}  // namespace

VstIntPtr Host::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                         void* ptr, float opt) {
    Host* host = effect && effect->resvd1 ? reinterpret_cast<Host*>(effect->resvd1) : hostInEntry;
    return host ? host->answer(effect, opcode, index, value, ptr, opt) : 0;
}

AEffect* Host::instantiate(PluginEntryProc entry) {
    if (!entry) return nullptr;
    Host* previous = hostInEntry;
    hostInEntry = this;
    AEffect* effect = entry(&Host::callback);
    hostInEntry = previous;
    if (!effect || effect->magic != kEffectMagic) return nullptr;
    effect->resvd1 = reinterpret_cast<VstIntPtr>(this);
    return effect;
}

std::unique_ptr<HostedEffect> HostedEffect::create(const PluginLibrary& library, Host& host,
                                                   std::string& error) {
    AEffect* effect = host.instantiate(library.defaultEntry());
    if (!effect) {
        error = library.path() + " did not create an effect";
        return nullptr;
    }
    return std::make_unique<HostedEffect>(effect);
}

HostedEffect::~HostedEffect() { close(); }

void HostedEffect::close() {
    if (!record) return;
    record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    record = nullptr;
}

VstIntPtr HostedEffect::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt) {
    return record ? record->dispatcher(record, opcode, index, value, ptr, opt) : 0;
}

std::string HostedEffect::text(VstInt32 opcode, VstInt32 index) {
    char buffer[256];
    std::memset(buffer, 0, sizeof(buffer));
    dispatch(opcode, index, 0, buffer);
    buffer[sizeof(buffer) - 1] = '\0';
    return buffer;
}
