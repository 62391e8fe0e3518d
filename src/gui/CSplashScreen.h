// Base of a control that shows a picture over the editor until it is clicked away; the
// editor's class draws it and handles the mouse.
#pragma once

#include "gui/CControl.h"

class CSplashScreen : public CControl {
public:
    CSplashScreen(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                  const CRect& toDisplay, const CPoint& offset = CPoint());
    ~CSplashScreen() override;

    // Only left clicks inside the mouseable area.
    bool hitTest(const CPoint& where, int32_t buttons = -1) override;
    virtual void unSplash(CDrawContext* context = nullptr);
    bool isTypeOf(const char* type) const override;

protected:
    CRect toDisplay;
    CRect keepSize;
    CPoint offset;
    uint8_t bitmapTransparency = 255;
};
