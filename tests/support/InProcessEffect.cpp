#include "support/InProcessEffect.h"

#include <gtest/gtest.h>

namespace {
AEffect* createAutoComp(audioMasterCallback audioMaster) {
    return (new AutoComp(audioMaster))->getAeffect();
}
}  // namespace

InProcessEffect::InProcessEffect() {
    AEffect* record = host.instantiate(createAutoComp);
    if (record) autoComp = static_cast<AutoComp*>(static_cast<AudioEffect*>(record->object));
    host.clear();
}

InProcessEffect::~InProcessEffect() {
    if (autoComp) record()->dispatcher(record(), effClose, 0, 0, nullptr, 0.0f);
}
