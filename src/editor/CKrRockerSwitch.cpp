#include "editor/CKrRockerSwitch.h"

#include "editor/CPresetSystemListener.h"
#include "editor/PressLoop.h"
#include "gui/CBitmap.h"
#include "gui/CountedReference.h"

namespace {
enum Frame { kRest = 0, kLeftHovered = 1, kRightHovered = 2, kLeftPressed = 3, kRightPressed = 4 };

CRect leftHalfOf(CRect size) {
    size.right = (size.left + size.right) / 2;
    return size;
}

CRect rightHalfOf(CRect size) {
    size.left = (size.left + size.right) / 2;
    return size;
}
}  // namespace

CKrRockerSwitch::CKrRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag,
                                 CCoord heightOfOneImage, CBitmap* background,
                                 CPresetSystemListener* target)
    : CRockerSwitch(size, listener, tag, background, CPoint(0, 0)), target(target),
      heightOfOneImage(heightOfOneImage), leftHalf(leftHalfOf(size)),
      rightHalf(rightHalfOf(size)) {}

CKrRockerSwitch::~CKrRockerSwitch() = default;

void CKrRockerSwitch::draw(CDrawContext* context) {
    if (!pBackground) return;
    Frame frame = kRest;
    if (value == 1.0f)
        frame = kRightPressed;
    else if (value == -1.0f)
        frame = kLeftPressed;
    else if (hoverState == kLeftHover)
        frame = kLeftHovered;
    else if (hoverState == kRightHover)
        frame = kRightHovered;
    pBackground->draw(context, size, CPoint(0, frame * heightOfOneImage));
    setDirty(false);
}

void CKrRockerSwitch::mouse(CDrawContext* context, CPoint& where, int32_t buttons) {
    if (!bMouseEnabled || !target) return;
    buttons = pressloop::resolveButtons(context, buttons);
    if (!(buttons & kLButton)) return;

    // The middle column belongs to the left half.
    CCoord middle = size.left + (size.right - size.left) / 2;
    bool inRows = size.top <= where.v && where.v <= size.bottom;
    bool left = inRows && size.left <= where.h && where.h <= middle;
    bool right = !left && inRows && middle <= where.h && where.h <= size.right;
    CountedReference<CKrRockerSwitch> keep(this);
    if (left || right) {
        value = left ? -1.0f : 1.0f;
        // The pump draws the pressed half before the program changes.
        if (!pumpWhileHeld()) return;
        target->stepProgram(right);
        setDirty(true);
    }
    value = 0.0f;
}

void CKrRockerSwitch::setHover(bool inside, const CPoint& where) {
    int32_t previous = hoverState;
    if (!inside)
        hoverState = kNoHover;
    else if (leftHalf.pointInside(where))
        hoverState = kLeftHover;
    else if (rightHalf.pointInside(where))
        hoverState = kRightHover;
    if (hoverState != previous) setDirty(true);
}
