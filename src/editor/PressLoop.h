// Steps the editor's own controls share in their mouse handling: reading the buttons,
// waiting for the release. Pumping the host while held is the control's pumpWhileHeld.
#pragma once

#include <cstdint>

class CDrawContext;

namespace pressloop {

// buttons, or the live state when they are -1; without a context nothing is held.
int32_t resolveButtons(CDrawContext* context, int32_t buttons);

// Polls the live state until the left button is up, servicing nothing else. No context,
// or no window of ours to read the state from, counts as released.
void waitForRelease(CDrawContext* context);

}  // namespace pressloop
