// The library's only exports: VSTPluginMain and its older name main.
#include <new>

#include "host/AudioEffect.h"

// Only these two are exported: a DLL exports just what is marked, a shared object just
// what stays visible.
#ifdef _WIN32
#define KRV_EXPORT __declspec(dllexport)
#else
#define KRV_EXPORT __attribute__((visibility("default")))
#endif

// Defined by the effect that this library carries.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster);

extern "C" {

KRV_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
    if (!audioMaster) return nullptr;
    if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    try {
        AudioEffect* effect = createEffectInstance(audioMaster);
        return effect ? effect->getAeffect() : nullptr;
    } catch (...) {
        // Nothing may unwind into the host.
        return nullptr;
    }
}

// Older hosts look the entry up as "main"; the assembler name avoids declaring a C++ main.
KRV_EXPORT AEffect* pluginMainAlias(audioMasterCallback audioMaster)
    __asm__("main");
AEffect* pluginMainAlias(audioMasterCallback audioMaster) { return VSTPluginMain(audioMaster); }

}  // extern "C"
