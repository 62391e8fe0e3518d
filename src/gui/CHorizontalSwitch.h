// A switch of several positions side by side; its bitmap holds one frame per position.
#pragma once

#include "gui/CControl.h"

class CHorizontalSwitch : public CControl {
public:
    CHorizontalSwitch(const CRect& size, CControlListener* listener, int32_t tag,
                      int32_t subPixmaps, CCoord heightOfOneImage, int32_t positions,
                      CBitmap* background, const CPoint& offset = CPoint());
    ~CHorizontalSwitch() override;

    void draw(CDrawContext* context) override;
    // Follows the pointer until the button (or a modifier) changes.
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;
    bool isTypeOf(const char* type) const override;

protected:
    CPoint offset;
    int32_t subPixmaps;
    int32_t positions;
    CCoord heightOfOneImage;
};
