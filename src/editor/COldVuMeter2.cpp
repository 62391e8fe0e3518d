#include "editor/COldVuMeter2.h"

#include <cmath>

#include "editor/PressLoop.h"
#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "skin/SkinLayout.h"

namespace {

constexpr double kPi = 3.141592653589793;
// The needle sweeps 60 degrees, from 120 (upper left) at 0 to 60 (upper right) at 1.
constexpr double kAngleAtZero = (120.0 / 180.0) * kPi;
constexpr double kSweep = kPi * 60.0 / 180.0;

// Levels below this count as silence and are stored as 1e-9, never as 0.
constexpr float kFloor = 1e-8f;
constexpr float kFloorValue = 1e-9f;
constexpr float kLevelLimit = 4.0f;
// The peak component's hold threshold and the marker of a held peak.
constexpr float kPeakHold = 0.5f;
constexpr float kPeakHeld = -1.0f;

constexpr CColor kLitNeedle{170, 165, 160, 255};
constexpr CColor kUnlitNeedle{140, 135, 130, 255};

// Two one-pixel lines side by side and two below them, and one through the middle: a
// needle about two pixels wide.
constexpr double kNeedleStrokes[5][2] = {{1, 0}, {0, 0}, {1, 1}, {0, 1}, {0.5, 0.5}};

float limitLevel(float level) {
    if (level < kFloor) return kFloorValue;
    return level > kLevelLimit ? kLevelLimit : level;
}

float limitPeak(float level) {
    if (std::fabs(level) < kFloor) return kFloorValue;
    if (level < -kLevelLimit) return -kLevelLimit;
    return level > kLevelLimit ? kLevelLimit : level;
}

float clampTo(float value, float low, float high) {
    return value < low ? low : (value > high ? high : value);
}

CRect faceOf(const CRect& size, const CBitmap* face) {
    CRect rect = size;
    rect.right = rect.left + (face ? face->getWidth() : 0);
    rect.bottom = rect.top + (face ? face->getHeight() : 0);
    return rect;
}

void rememberBitmap(CBitmap* bitmap) {
    if (bitmap) bitmap->remember();
}

void forgetBitmap(CBitmap* bitmap) {
    if (bitmap) bitmap->forget();
}

}  // namespace

COldVuMeter2::COldVuMeter2(const CRect& size, CControlListener* listener, int32_t,
                           CBitmap* onBitmap, CBitmap* extraBitmap, CBitmap* offBitmap,
                           const CPoint& needlePivot, float needleInnerRadius,
                           float needleOuterRadius)
    : CControl(faceOf(size, onBitmap), listener, kMeterTag), onBitmap(onBitmap),
      extraBitmap(extraBitmap), offBitmap(offBitmap), needlePivot(needlePivot),
      needleInnerRadius(needleInnerRadius), needleOuterRadius(needleOuterRadius),
      faceRect(faceOf(size, onBitmap)) {
    rememberBitmap(onBitmap);
    rememberBitmap(extraBitmap);
    rememberBitmap(offBitmap);
}

COldVuMeter2::~COldVuMeter2() {
    if (offscreen) offscreen->forget();
    forgetBitmap(onBitmap);
    forgetBitmap(extraBitmap);
    forgetBitmap(offBitmap);
}

void COldVuMeter2::releasePeak() {
    peakLevel = 1e-7f;
    setValue(mainLevel + 1e-7f);
}

void COldVuMeter2::primeLevels() {
    mainLevel = 1.1e-7f;
    auxLevelA = 8.7e-8;
    auxLevelB = 8.5e-8;
    peakLevel = 1e-7f;
    extraLevel = 9e-8f;
    setValue(1e-7f + 1.1e-7f);
}

void COldVuMeter2::setMainLevel(float level) {
    mainLevel = limitLevel(level);
    setValue(mainLevel);
}

void COldVuMeter2::applyPeakLevel(float level) {
    level = limitPeak(level);
    if (peakLevel >= kPeakHold && level < kPeakHold)
        peakLevel = kPeakHeld;
    else if (peakLevel > -kPeakHold || level >= kPeakHold)
        peakLevel = level;
}

void COldVuMeter2::setPeakLevel(float level) {
    applyPeakLevel(level);
    setValue(mainLevel + peakLevel);
}

void COldVuMeter2::setExtraLevel(float level) {
    extraLevel = limitLevel(level);
    setValue(mainLevel + peakLevel + extraLevel);
}

void COldVuMeter2::setAuxLevelA(float level) {
    auxLevelA = level;
    setValue(static_cast<float>(mainLevel + auxLevelA + peakLevel + extraLevel));
}

void COldVuMeter2::setAuxLevelB(float level) {
    auxLevelB = level;
    setValue(static_cast<float>(mainLevel + auxLevelB + peakLevel + extraLevel));
}

void COldVuMeter2::setLevels(float main, float peak, float extra, float auxA, float auxB) {
    mainLevel = limitLevel(main);
    applyPeakLevel(peak);
    extraLevel = limitLevel(extra);
    auxLevelA = auxA;
    auxLevelB = auxB;
    setValue(static_cast<float>(auxLevelB + auxLevelA + mainLevel + peakLevel + extraLevel));
}

void COldVuMeter2::setLit(bool on) {
    lit = on ? 1 : 0;
    setDirty(true);
}

void COldVuMeter2::draw(CDrawContext* context) {
    if (!context) return;
    if (!offscreen) {
        CRect editor(0, 0, skin::kEditorWidth, skin::kEditorHeight);
        if (pParentFrame) pParentFrame->getViewSize(editor);
        offscreen = new COffscreenContext(pParentFrame, editor.width(), editor.height(),
                                          kBlackCColor);
    }
    context->setLineStyle(kLineSolid);
    context->setLineWidth(1);

    mainLevel = clampTo(mainLevel, 0.0f, 1.0f);
    peakLevel = std::fabs(peakLevel) < kFloor ? kFloorValue : clampTo(peakLevel, -1.5f, 1.5f);
    extraLevel = clampTo(extraLevel, 1e-6f, 1.5f);

    const double angle = kAngleAtZero - kSweep * value;
    const double c = -std::cos(angle);
    const double s = std::sin(angle);
    auto needlePoint = [&](double radius, double dx, double dy) {
        return CPoint(static_cast<CCoord>(needlePivot.h + dx - radius * c),
                      static_cast<CCoord>(needlePivot.v + dy - radius * s));
    };

    CBitmap* face = lit ? onBitmap : offBitmap;
    if (face) face->draw(offscreen, faceRect, CPoint(0, 0));
    offscreen->setFrameColor(lit ? kLitNeedle : kUnlitNeedle);
    for (const auto& stroke : kNeedleStrokes) {
        offscreen->moveTo(needlePoint(needleInnerRadius, stroke[0], stroke[1]));
        offscreen->lineTo(needlePoint(needleOuterRadius, stroke[0], stroke[1]));
    }
    offscreen->copyFrom(context, faceRect, CPoint(faceRect.left, faceRect.top));
    setDirty(false);
}

void COldVuMeter2::mouse(CDrawContext* context, CPoint&, int32_t buttons) {
    if (!bMouseEnabled) return;
    buttons = pressloop::resolveButtons(context, buttons);
    if ((buttons & kLButton) && listener) listener->valueChanged(context, this);
}
