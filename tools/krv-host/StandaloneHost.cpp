#include "tools/krv-host/StandaloneHost.h"

#include <cstring>

VstIntPtr StandaloneHost::answer(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                 void* ptr, float opt) {
    switch (opcode) {
        case audioMasterVersion:
            return kVstVersion;
        case audioMasterAutomate:
            std::fprintf(log, "automate %d %.6f\n", index, opt);
            std::fflush(log);
            return 1;
        case audioMasterBeginEdit:
            std::fprintf(log, "beginEdit %d\n", index);
            std::fflush(log);
            return 1;
        case audioMasterEndEdit:
            std::fprintf(log, "endEdit %d\n", index);
            std::fflush(log);
            return 1;
        case audioMasterUpdateDisplay:
            return 1;
        case audioMasterIdle:
            return 1;
        case audioMasterPinConnected:
            return 0;  // every pin connected
        case audioMasterCanDo:
            return ptr && std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0 ? 1 : 0;
        case audioMasterSizeWindow:
            if (!window || index <= 0 || value <= 0) return 0;
            window->resize(index, static_cast<int>(value));
            return 1;
        default:
            return 0;
    }
}
