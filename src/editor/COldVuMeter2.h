// The gain-reduction meter: a needle over a lit or unlit face. It draws into an offscreen
// the size of the editor and copies only its face to the screen, so the needle's pivot
// may lie below the face. A left click is reported; the value never follows the mouse.
#pragma once

#include "gui/CControl.h"

class COffscreenContext;

class COldVuMeter2 : public CControl {
public:
    // The tag argument is not used: the meter's tag is always 14. The rectangle takes
    // its size from onBitmap.
    COldVuMeter2(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* onBitmap,
                 CBitmap* extraBitmap, CBitmap* offBitmap, const CPoint& needlePivot,
                 float needleInnerRadius, float needleOuterRadius);
    ~COldVuMeter2() override;

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;

    // The level setters below each set the value to a sum of the components.
    virtual bool isPeakReleased() const { return peakLevel < -0.5f; }
    virtual void releasePeak();
    virtual void primeLevels();
    virtual void setMainLevel(float level);
    // After falling from 0.5 or more to below it, the peak holds at -1 until a level of
    // at least 0.5 arrives.
    virtual void setPeakLevel(float level);
    virtual void setExtraLevel(float level);
    virtual void setAuxLevelA(float level);
    virtual void setAuxLevelB(float level);
    virtual void setLevels(float main, float peak, float extra, float auxA, float auxB);
    virtual void setLit(bool on);

    float getPeakLevel() const { return peakLevel; }

    static constexpr int32_t kMeterTag = 14;

private:
    void applyPeakLevel(float level);

    CBitmap* onBitmap;
    CBitmap* extraBitmap;
    CBitmap* offBitmap;
    CPoint needlePivot;
    float needleInnerRadius;
    float needleOuterRadius;
    CRect faceRect;
    int32_t lit = 1;
    float mainLevel = 1e-8f;
    float peakLevel = 1e-8f;
    float extraLevel = 1e-8f;
    double auxLevelA = 0.0;
    double auxLevelB = 0.0;
    COffscreenContext* offscreen = nullptr;
};
