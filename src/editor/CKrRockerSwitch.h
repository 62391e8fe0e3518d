// The program stepper: a press on its left half steps to the previous program, on its
// right half to the next, through the preset-system listener. Its value is -1 or +1 only
// while the press is handled and 0 otherwise.
#pragma once

#include "gui/CRockerSwitch.h"

class CPresetSystemListener;

class CKrRockerSwitch : public CRockerSwitch {
public:
    // The background holds five frames of heightOfOneImage: rest, left hovered, right
    // hovered, left pressed, right pressed.
    CKrRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag,
                    CCoord heightOfOneImage, CBitmap* background, CPresetSystemListener* target);
    ~CKrRockerSwitch() override;

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;

    // Lights the half under where while inside; redraws only when that changes.
    virtual void setHover(bool inside, const CPoint& where);

private:
    enum Hover { kNoHover = 0, kLeftHover = 1, kRightHover = 2 };

    CPresetSystemListener* target;
    CCoord heightOfOneImage;
    int32_t hoverState = kNoHover;
    CRect leftHalf;
    CRect rightHalf;
};
