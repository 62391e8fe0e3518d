#include "gui/CKickButton.h"

CKickButton::CKickButton(const CRect& size, CControlListener* listener, int32_t tag,
                         CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background), offset(offset) {}

CKickButton::~CKickButton() = default;

bool CKickButton::isTypeOf(const char* type) const {
    return sameTypeName(type, "CKickButton") || CControl::isTypeOf(type);
}
