#include "gui/CAnimKnob.h"

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag,
                     int32_t subPixmaps, CCoord heightOfOneImage, CBitmap* background,
                     const CPoint& offset)
    : CKnob(size, listener, tag, background, offset), subPixmaps(subPixmaps),
      heightOfOneImage(heightOfOneImage) {
    inset = 0;
}

CAnimKnob::~CAnimKnob() = default;

bool CAnimKnob::isDirty() const {
    if (!bDirty) {
        CPoint point;
        valueToPoint(point);
        if (point == lastDrawnPoint) return false;
    }
    return CKnob::isDirty();
}

bool CAnimKnob::isTypeOf(const char* type) const {
    return sameTypeName(type, "CAnimKnob") || CKnob::isTypeOf(type);
}
