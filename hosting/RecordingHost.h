// A host that answers like a real one and records every request, for tests and tools.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "hosting/Host.h"

struct HostCall {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
    std::string text;  // the text argument of audioMasterCanDo
};

class RecordingHost : public Host {
public:
    VstIntPtr answer(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float opt) override;

    // Calls of one opcode, in order.
    std::vector<HostCall> callsOf(VstInt32 opcode) const;
    void clear() { calls.clear(); }

    std::vector<HostCall> calls;
    VstIntPtr versionAnswer = kVstVersion;
    VstIntPtr pinConnectedAnswer = 0;  // 0: connected
    bool recordIdle = true;
    // Answers to audioMasterCanDo by text; anything else answers 0.
    std::map<std::string, VstIntPtr> canDoAnswers;
    VstIntPtr sizeWindowAnswer = 0;
    // Runs after a request is recorded, as a host's own reaction to it (a host that closes
    // the editor from inside its idle, say); null for none.
    std::function<void(AEffect*, VstInt32 opcode)> reaction;
};
