// The DSP library's one export: the plug-in's descriptor, its state interface and the
// program store's table for the editor.
#include <cstring>

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include "lv2-plugin/Lv2Instance.h"
#include "lv2-plugin/Lv2StoreAccess.h"

namespace {

using lv2front::Lv2Instance;

Lv2Instance* from(LV2_Handle handle) { return static_cast<Lv2Instance*>(handle); }

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*,
                       const LV2_Feature* const* features) {
    return Lv2Instance::create(rate, features);
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) { from(handle)->connect(port, data); }
void activate(LV2_Handle handle) { from(handle)->activate(); }
void run(LV2_Handle handle, uint32_t frames) { from(handle)->run(frames); }
void deactivate(LV2_Handle handle) { from(handle)->deactivate(); }
void cleanup(LV2_Handle handle) { delete from(handle); }

LV2_State_Status save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state,
                      uint32_t, const LV2_Feature* const*) {
    return from(handle)->save(store, state);
}

LV2_State_Status restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle state, uint32_t, const LV2_Feature* const*) {
    return from(handle)->restore(retrieve, state);
}

const LV2_State_Interface stateInterface = {save, restore};

const void* extensionData(const char* uri) {
    if (!uri) return nullptr;
    if (std::strcmp(uri, LV2_STATE__interface) == 0) return &stateInterface;
    if (std::strcmp(uri, lv2front::kStoreAccessUri) == 0) return lv2front::storeAccess();
    return nullptr;
}

const LV2_Descriptor descriptor = {lv2front::kPluginUri, instantiate, connectPort, activate,
                                   run,                  deactivate,  cleanup,     extensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(
    uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}
