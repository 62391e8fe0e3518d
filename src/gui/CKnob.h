// A rotary control: turns clockwise from the lower left through the top to the lower
// right, dragged circularly or linearly, with the wheel or the arrow keys.
#pragma once

#include "gui/CControl.h"

class CKnob : public CControl {
public:
    CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
          const CPoint& offset = CPoint());
    ~CKnob() override;

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;
    int32_t onKeyDown(VstKeyCode& keyCode) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    using CControl::onWheel;
    bool isTypeOf(const char* type) const override;

    virtual void drawHandle(CDrawContext* context);
    virtual void setStartAngle(float angle);
    virtual float getStartAngle() const { return startAngle; }
    virtual void setRangeAngle(float angle);
    virtual float getRangeAngle() const { return rangeAngle; }
    // The handle's end for the current value, relative to the top-left corner.
    virtual void valueToPoint(CPoint& point) const;
    // The value a point relative to the top-left corner stands for; the gap at the
    // bottom snaps to the nearer end.
    virtual float valueFromPoint(CPoint& point) const;
    virtual void setInsetValue(int32_t value) { inset = value; }
    virtual void setColorShadowHandle(const CColor& color);
    virtual void setColorHandle(const CColor& color);
    virtual void setHandleBitmap(CBitmap* bitmap);
    virtual void setZoomFactor(float factor) { zoomFactor = factor; }
    virtual float getZoomFactor() const { return zoomFactor; }

protected:
    void compute();
    // Arrow keys and wheel notches: value moves by distance wheel increments (a tenth of
    // that with shift), reported as one edit.
    void stepBy(float distance, bool fine, CDrawContext* context);

    CPoint offset;
    CColor colorHandle = kWhiteCColor;
    CColor colorShadowHandle = kGreyCColor;
    CBitmap* pHandle = nullptr;
    int32_t inset = 3;
    float startAngle = 0.0f;
    float rangeAngle = 1.0f;
    float halfAngle = 0.0f;
    float aCoef = 0.0f;
    float bCoef = 0.0f;
    float radius;
    float zoomFactor = 1.5f;
};
