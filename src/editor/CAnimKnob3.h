// The editor's film-strip knob: shows the frame nearest its value and is always dragged
// linearly, vertical movement counting double, over an adjustable span.
#pragma once

#include "gui/CAnimKnob.h"

class CAnimKnob3 : public CAnimKnob {
public:
    // Frame height = background height / frames.
    CAnimKnob3(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
               int32_t frames);
    ~CAnimKnob3() override;

    void draw(CDrawContext* context) override;
    // Control + click or a double click resets to the default value; otherwise a drag.
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;

    // Mouse travel, in thousands of units, that sweeps the whole range: a pixel to the
    // right is one unit, a pixel up two; shift makes the drag four times finer.
    virtual void setDragSpan(double span) { dragSpan = span; }

private:
    // The strip frame nearest the value.
    int32_t frameIndex() const;
    void drag(CDrawContext* context, const CPoint& where, int32_t buttons);
    float unitsPerRange(int32_t buttons) const;

    double dragSpan = 1.0;
};
