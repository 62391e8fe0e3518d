#include "lv2-plugin/Lv2StoreAccess.h"

#include <string>

#include "effect/AutoComp.h"
#include "lv2-plugin/Lv2Instance.h"

namespace lv2front {
namespace {

Lv2Instance* from(void* instance) { return static_cast<Lv2Instance*>(instance); }

bool programName(void* instance, int32_t program, char* name) {
    if (!instance || !name) return false;
    const CProgram* record = from(instance)->effect().program(program);
    if (!record) return false;
    record->getName(name);
    return true;
}

int32_t selectedProgram(void* instance) {
    return instance ? from(instance)->effect().getProgramIndex() : 0;
}

void selectProgram(void* instance, int32_t program) {
    if (instance) from(instance)->effect().selectProgram(program);
}

void renameProgram(void* instance, const char* name) {
    if (instance && name) from(instance)->effect().storeProgramName(name);
}

// Files: a refused file's message goes to the editor's sink while the call runs.
template <bool (CPresetSystemEffect::*file)(const std::string&, const std::string&)>
bool fileCall(void* instance, const char* folder, const char* fileName) {
    if (!instance || !folder || !fileName) return false;
    Lv2Instance& lv2 = *from(instance);
    const auto messages = lv2.forwardMessages();
    try {
        return (lv2.effect().*file)(folder, fileName);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool storeMemory(void* instance, int32_t memory) {
    if (!instance || (memory != 0 && memory != 1)) return false;
    AutoComp& core = from(instance)->effect();
    return (memory == 0 ? core.storeMemoA() : core.storeMemoB()) == 0;
}

bool recallMemory(void* instance, int32_t memory) {
    if (!instance || (memory != 0 && memory != 1)) return false;
    AutoComp& core = from(instance)->effect();
    return (memory == 0 ? core.recallMemoA() : core.recallMemoB()) == 0;
}

float parameterValue(void* instance, int32_t index) {
    return instance ? from(instance)->effect().getParameter(index) : 0.0f;
}

void setParameterValue(void* instance, int32_t index, float value) {
    if (instance) from(instance)->effect().setParameter(index, value);
}

void setMessageSink(void* instance, void (*sink)(void*, const char*, const char*),
                    void* context) {
    if (instance) from(instance)->setMessageSink(sink, context);
}

const KrvStoreAccess table = {
    2,
    programName,
    selectedProgram,
    selectProgram,
    renameProgram,
    fileCall<&CPresetSystemEffect::readBank>,
    fileCall<&CPresetSystemEffect::writeBank>,
    fileCall<&CPresetSystemEffect::readPreset>,
    fileCall<&CPresetSystemEffect::writePreset>,
    storeMemory,
    recallMemory,
    parameterValue,
    setMessageSink,
    setParameterValue,
};

}  // namespace

const KrvStoreAccess* storeAccess() { return &table; }

}  // namespace lv2front
