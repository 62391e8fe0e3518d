#include "effect/VstEditController.h"

#include "effect/AutoComp.h"

VstEditController::VstEditController(AudioEffect* effect)
    : CoreEditController(dynamic_cast<AutoComp*>(effect)),
      effect(effect),
      effectX(dynamic_cast<AudioEffectX*>(effect)) {}

void VstEditController::beginEdit(int index) {
    if (effectX) effectX->beginEdit(index);
}

void VstEditController::performEdit(int index, float value) {
    if (effect) effect->setParameterAutomated(index, value);
}

void VstEditController::endEdit(int index) {
    if (effectX) effectX->endEdit(index);
}

bool VstEditController::requestWindowSize(int width, int height) {
    if (!effectX) return false;
    char capability[] = "sizeWindow";
    return effectX->canHostDo(capability) > 0 && effectX->sizeWindow(width, height);
}

std::optional<double> VstEditController::hostScale() {
    if (!effectX) return std::nullopt;
    return effectX->getContentScaleFactor();
}

void VstEditController::hostIdle() {
    if (effect) effect->masterIdle();
}

void VstEditController::hold() {
    if (effect) effect->hold();
}

void VstEditController::release() {
    // May delete the effect, its editor and this controller: nothing may follow.
    if (effect) effect->release();
}
