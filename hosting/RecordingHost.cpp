#include "hosting/RecordingHost.h"

VstIntPtr RecordingHost::answer(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                void* ptr, float opt) {
    HostCall call{opcode, index, value, opt, {}};
    if (opcode == audioMasterCanDo && ptr) call.text = static_cast<const char*>(ptr);
    if (opcode != audioMasterIdle || recordIdle) calls.push_back(call);
    if (reaction) reaction(effect, opcode);
    switch (opcode) {
        case audioMasterVersion:
            return versionAnswer;
        case audioMasterPinConnected:
            return pinConnectedAnswer;
        case audioMasterCanDo: {
            auto found = canDoAnswers.find(call.text);
            return found == canDoAnswers.end() ? 0 : found->second;
        }
        case audioMasterSizeWindow:
            return sizeWindowAnswer;
        case audioMasterBeginEdit:
        case audioMasterEndEdit:
        case audioMasterUpdateDisplay:
            return 1;
        default:
            return 0;
    }
}

std::vector<HostCall> RecordingHost::callsOf(VstInt32 opcode) const {
    std::vector<HostCall> matching;
    for (const HostCall& call : calls)
        if (call.opcode == opcode) matching.push_back(call);
    return matching;
}
