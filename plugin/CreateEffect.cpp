// What this library's entry point creates: the compressor.
#include <new>

#include "effect/AutoComp.h"

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
    return new (std::nothrow) AutoComp(audioMaster);
}
