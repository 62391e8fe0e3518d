#include "gui/CHorizontalSwitch.h"

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CountedReference.h"

CHorizontalSwitch::CHorizontalSwitch(const CRect& size, CControlListener* listener, int32_t tag,
                                     int32_t subPixmaps, CCoord heightOfOneImage,
                                     int32_t positions, CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background), offset(offset), subPixmaps(subPixmaps),
      positions(positions), heightOfOneImage(heightOfOneImage) {
    setDefaultValue(0.0f);
}

CHorizontalSwitch::~CHorizontalSwitch() = default;

bool CHorizontalSwitch::isTypeOf(const char* type) const {
    return sameTypeName(type, "CHorizontalSwitch") || CControl::isTypeOf(type);
}

void CHorizontalSwitch::draw(CDrawContext* context) {
    if (pBackground) {
        int32_t index = static_cast<int32_t>(value * (positions - 1) + 0.5f);
        drawBackgroundBitmap(context, size, CPoint(0, index * heightOfOneImage));
    }
    setDirty(false);
}

void CHorizontalSwitch::mouse(CDrawContext* context, CPoint& where, int32_t buttons) {
    if (!bMouseEnabled) return;
    if (buttons == -1 && context) buttons = context->getMouseButtons();
    if (listener && (buttons & (kShift | kControl | kAlt | kApple)) &&
        listener->controlModifierClicked(context, this, buttons) != 0)
        return;
    if (!(buttons & kLButton)) return;
    if (checkDefaultValue(context, buttons)) return;
    // A switch of fewer than two positions has nothing to choose.
    if (positions < 2 || !pBackground || pBackground->getWidth() <= 0) return;

    double widthPerPosition = static_cast<double>(pBackground->getWidth()) / positions;
    CountedReference<CHorizontalSwitch> holdWhileHeld(this);
    beginEdit();
    int32_t liveButtons;
    do {
        value = static_cast<float>(static_cast<int32_t>((where.h - size.left) / widthPerPosition)) /
                static_cast<float>(positions - 1);
        if (value > 1.0f) value = 1.0f;
        if (value < 0.0f) value = 0.0f;
        reportIfDirty(context);
        getMouseLocation(context, where);
        if (!pumpWhileHeld()) return;
        liveButtons = context ? context->getMouseButtons() : 0;
    } while (liveButtons == buttons);
    endEdit();
}
