// Base of buttons that act once per click; the editor's button class draws and handles
// the mouse.
#pragma once

#include "gui/CControl.h"

class CKickButton : public CControl {
public:
    CKickButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                const CPoint& offset = CPoint());
    ~CKickButton() override;

    bool isTypeOf(const char* type) const override;

protected:
    CPoint offset;
};
