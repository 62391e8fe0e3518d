// Base of two-state buttons; the editor's button class draws and handles the mouse.
#pragma once

#include "gui/CControl.h"

class COnOffButton : public CControl {
public:
    COnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                 int32_t style = 0);
    ~COnOffButton() override;

    virtual int32_t getStyle() const { return style; }
    virtual void setStyle(int32_t newStyle) { style = newStyle; }
    bool isTypeOf(const char* type) const override;

protected:
    int32_t style;
};
