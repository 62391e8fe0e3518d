// Base of the two-sided stepper: -1, 0 (rest) and +1. The wheel steps it; the editor's
// class draws it and handles the mouse.
#pragma once

#include "gui/CControl.h"

class CRockerSwitch : public CControl {
public:
    CRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                  const CPoint& offset = CPoint());
    ~CRockerSwitch() override;

    // A notch up reports -1 then the rest position 0; down reports +1 then 0.
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    using CControl::onWheel;
    bool isTypeOf(const char* type) const override;

protected:
    CPoint offset;
};
