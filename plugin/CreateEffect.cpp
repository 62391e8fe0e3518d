// What this library's entry point creates: the compressor with its editor.
#include <new>

#include "editor/ADEditor.h"
#include "effect/AutoComp.h"

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
    auto* effect = new (std::nothrow) AutoComp(audioMaster);
    // The editor attaches itself; every call into it is ignored while its window is closed.
    if (effect) new (std::nothrow) ADEditor(effect);
    return effect;
}
