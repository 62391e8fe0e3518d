#include "clap-plugin/ClapEditController.h"

#include "clap-plugin/ClapInstance.h"
#include "effect/AutoComp.h"

namespace clapfront {

void ClapEditController::beginEdit(int index) {
    instance.tellHost(OutgoingEvent::Kind::GestureBegin, index, 0.0f);
}

void ClapEditController::performEdit(int index, float value) {
    // The core first, so that the audio follows at once.
    if (core) core->setParameter(index, value);
    instance.tellHost(OutgoingEvent::Kind::Value, index, core ? core->getParameter(index) : value);
}

void ClapEditController::endEdit(int index) {
    instance.tellHost(OutgoingEvent::Kind::GestureEnd, index, 0.0f);
    // Qtractor 0.9.31 takes a parameter gesture for no change of the session: without this
    // its save action stays off after a knob is turned.
    instance.stateChanged();
}

bool ClapEditController::requestWindowSize(int width, int height) {
    return instance.requestEditorSize(width, height);
}

}  // namespace clapfront
