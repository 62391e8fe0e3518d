#include "editor/CKrOnOffButton.h"

#include "editor/PressLoop.h"
#include "gui/CBitmap.h"

namespace {
enum Look { kNormal = 0, kHover = 1, kPressed = 2, kDisabled = 3, kLooks = 4 };
}  // namespace

CKrOnOffButton::CKrOnOffButton(const CRect& size, CControlListener* listener, int32_t tag,
                               CBitmap* background)
    : COnOffButton(size, listener, tag, background, 0) {}

CKrOnOffButton::~CKrOnOffButton() = default;

void CKrOnOffButton::draw(CDrawContext* context) {
    if (!pBackground) return;
    CCoord frameHeight = pBackground->getHeight() / kLooks;
    Look look = !enabled ? kDisabled : pressed ? kPressed : hover ? kHover : kNormal;
    pBackground->draw(context, size, CPoint(0, look * frameHeight));
    setDirty(false);
}

void CKrOnOffButton::mouse(CDrawContext* context, CPoint&, int32_t buttons) {
    if (!bMouseEnabled) return;
    buttons = pressloop::resolveButtons(context, buttons);
    if (!(buttons & kLButton)) return;
    // The editor acts on the tag; the value stays as it is.
    if (listener) listener->valueChanged(context, this);
    pressed = true;
    setDirty(true);
    pressloop::waitForRelease(context);
    pressed = false;
    setDirty(true);
}

void CKrOnOffButton::setHover(bool on) {
    if (hover == on) return;
    hover = on;
    setDirty(true);
}

void CKrOnOffButton::setEnabled(bool on) {
    if (enabled == on) return;
    enabled = on;
    setDirty(true);
}
