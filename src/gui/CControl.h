// Base of every view that shows and edits one value: the value model, the listener, the
// bracketing of user edits for the host, and the shared gestures.
#pragma once

#include "gui/CControlListener.h"
#include "gui/CView.h"

class CControl : public CView {
public:
    CControl(const CRect& size, CControlListener* listener, int32_t tag,
             CBitmap* background = nullptr);
    ~CControl() override;

    void draw(CDrawContext* context) override = 0;
    // Dirty while value and old value differ (NaN counts as different) or the flag is set.
    bool isDirty() const override;
    // true forces a redraw; false records the drawn value.
    void setDirty(bool state = true) override;
    bool isTypeOf(const char* type) const override;

    virtual void doIdleStuff();
    // The idle pump for a loop that holds the mouse; false once the control left its frame
    // or the frame its editor, and the loop must end without reporting.
    bool pumpWhileHeld();
    virtual void setValue(float newValue) { value = newValue; }
    virtual float getValue() const { return value; }
    virtual void setMin(float minimum) { vmin = minimum; }
    virtual float getMin() const { return vmin; }
    virtual void setMax(float maximum) { vmax = maximum; }
    virtual float getMax() const { return vmax; }
    virtual void setOldValue(float old) { oldValue = old; }
    virtual float getOldValue() const { return oldValue; }
    virtual void setDefaultValue(float defaultValueIn) { defaultValue = defaultValueIn; }
    virtual float getDefaultValue() const { return defaultValue; }
    virtual void setTag(int32_t newTag) { tag = newTag; }
    virtual int32_t getTag() const { return tag; }
    virtual void beginEdit();
    virtual void endEdit();
    virtual void setBackOffset(const CPoint& offset) { backOffset = offset; }
    virtual void copyBackOffset();
    virtual void setWheelInc(float increment) { wheelInc = increment; }
    virtual float getWheelInc() const { return wheelInc; }
    // Brings the value back into [minimum, maximum].
    virtual void bounceValue();
    // Control + left click resets to the default value; true when it did.
    virtual bool checkDefaultValue(CDrawContext* context, int32_t buttons);

    CControlListener* getListener() const { return listener; }
    // Double-click test of the text controls: true for the second of two clicks within
    // the double-click delay.
    bool isDoubleClick();

protected:
    // Tells the listener when the value changed since the last draw.
    void reportIfDirty(CDrawContext* context);

    CControlListener* listener;
    int32_t tag;
    float oldValue = 1.0f;
    float defaultValue = 0.5f;
    float value = 0.0f;
    float vmin = 0.0f;
    float vmax = 1.0f;
    float wheelInc = 0.1f;
    int32_t lastTicks = -1;
    int32_t delta;
    CPoint backOffset;
};
