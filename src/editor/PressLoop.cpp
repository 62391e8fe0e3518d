#include "editor/PressLoop.h"

#include "gui/CControl.h"
#include "gui/CDrawContext.h"
#include "platform/Clock.h"

namespace pressloop {

namespace {
// Long enough not to hammer the display server, short against a click.
constexpr int kPollMilliseconds = 1;
}  // namespace

int32_t resolveButtons(CDrawContext* context, int32_t buttons) {
    if (buttons != -1) return buttons;
    return context ? context->getMouseButtons() : 0;
}

void waitForRelease(CDrawContext* context) {
    while (resolveButtons(context, -1) & kLButton) platform::sleepMilliseconds(kPollMilliseconds);
}

}  // namespace pressloop
