#include "editor/CSaveLoadButton.h"

#include "editor/CPresetSystemListener.h"
#include "editor/PressLoop.h"
#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/CountedReference.h"

CSaveLoadButton::CSaveLoadButton(const CRect& size, CControlListener* listener, int32_t tag,
                                 CCoord heightOfOneImage, CBitmap* background, int32_t mode,
                                 CPresetSystemListener* target)
    : CKickButton(size, listener, tag, background, CPoint(0, 0)),
      heightOfOneImage(heightOfOneImage), mode(mode), target(target) {}

CSaveLoadButton::~CSaveLoadButton() = default;

void CSaveLoadButton::draw(CDrawContext* context) {
    CCoord y = offset.v;
    bool pressed = dialogOpen ? dialogOwn : value > 0.5f;
    if (pressed)
        y += 2 * heightOfOneImage;
    else if (hover && !dialogOpen)
        y += heightOfOneImage;
    if (pBackground) pBackground->draw(context, size, CPoint(offset.h, y));
    setDirty(false);
}

void CSaveLoadButton::runAction() {
    switch (mode) {
        case kLoadBank: target->loadBank(); break;
        case kSaveBank: target->saveBank(); break;
        case kLoadPreset: target->loadPreset(); break;
        case kSavePreset: target->savePreset(); break;
        default: break;
    }
}

void CSaveLoadButton::mouse(CDrawContext* context, CPoint&, int32_t buttons) {
    if (!bMouseEnabled || !pParentFrame || !context || !target || dialogOpen) return;
    buttons = pressloop::resolveButtons(context, buttons);
    if (!(buttons & kLButton)) return;

    CountedReference<CSaveLoadButton> keep(this);
    setValue(1.0f);
    // A system's modal dialog runs inside and may let the host close the editor meanwhile.
    runAction();
    if (!pParentFrame) return;
    pressloop::waitForRelease(context);
    // Tells the host the gesture is over; the tag is no parameter of the effect.
    pParentFrame->endEdit(tag);
    setValue(0.0f);
    setDirty(true);
}

void CSaveLoadButton::setDialogOpen(bool open, bool own) {
    if (dialogOpen == open && dialogOwn == own) return;
    dialogOpen = open;
    dialogOwn = own;
    setDirty(true);
}

void CSaveLoadButton::setHover(bool on) {
    if (hover == on) return;
    hover = on;
    setDirty(true);
}
