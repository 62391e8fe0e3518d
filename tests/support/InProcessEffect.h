// An AutoComp created the way the entry point creates it, behind a RecordingHost, so
// tests can reach the effect object and see every request it makes of the host.
#pragma once

#include <memory>

#include "effect/AutoComp.h"
#include "hosting/RecordingHost.h"

class InProcessEffect {
public:
    InProcessEffect();
    ~InProcessEffect();

    AutoComp& effect() { return *autoComp; }
    AEffect* record() { return autoComp->getAeffect(); }
    RecordingHost host;

private:
    AutoComp* autoComp = nullptr;
};
