#include "gui/CRockerSwitch.h"

CRockerSwitch::CRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag,
                             CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background), offset(offset) {}

CRockerSwitch::~CRockerSwitch() = default;

bool CRockerSwitch::isTypeOf(const char* type) const {
    return sameTypeName(type, "CRockerSwitch") || CControl::isTypeOf(type);
}

bool CRockerSwitch::onWheel(CDrawContext* context, const CPoint&, float distance) {
    if (!bMouseEnabled) return false;
    value = distance > 0.0f ? -1.0f : 1.0f;
    beginEdit();
    reportIfDirty(context);
    value = 0.0f;
    if (listener) listener->valueChanged(context, this);
    endEdit();
    return true;
}
