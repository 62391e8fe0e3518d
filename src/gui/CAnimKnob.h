// Base of the film-strip knobs: a knob whose bitmap holds one frame per step. The
// editor's knob class chooses and draws the frame.
#pragma once

#include "gui/CKnob.h"

class CAnimKnob : public CKnob {
public:
    CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
              CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint());
    ~CAnimKnob() override;

    // Not dirty while the handle would land where it was last drawn.
    bool isDirty() const override;
    bool isTypeOf(const char* type) const override;

    void setInverseBitmap(bool inverse) { bInverseBitmap = inverse; }
    int32_t getNumberOfFrames() const { return subPixmaps; }
    CCoord getHeightOfOneImage() const { return heightOfOneImage; }

protected:
    int32_t subPixmaps;
    CCoord heightOfOneImage;
    bool bInverseBitmap = false;
    CPoint lastDrawnPoint;
};
