#include "gui/COnOffButton.h"

COnOffButton::COnOffButton(const CRect& size, CControlListener* listener, int32_t tag,
                           CBitmap* background, int32_t style)
    : CControl(size, listener, tag, background), style(style) {}

COnOffButton::~COnOffButton() = default;

bool COnOffButton::isTypeOf(const char* type) const {
    return sameTypeName(type, "COnOffButton") || CControl::isTypeOf(type);
}
