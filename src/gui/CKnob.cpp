#include "gui/CKnob.h"

#include <cmath>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/CountedReference.h"

namespace {
constexpr float kTwoPiFloat = 6.2831855f;
constexpr double kTwoPi = 6.283185307179586;
constexpr float kLinearRange = 200.0f;
constexpr int32_t kLinearKnobMode = 2;
}  // namespace

CKnob::CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
             const CPoint& offset)
    : CControl(size, listener, tag, background), offset(offset),
      radius(static_cast<float>(size.right - size.left) / 2.0f) {
    rangeAngle = 1.0f;
    setStartAngle(3.9269907f);
    setRangeAngle(-4.712389f);
    zoomFactor = 1.5f;
    setWantsFocus(true);
}

CKnob::~CKnob() {
    if (pHandle) pHandle->forget();
}

bool CKnob::isTypeOf(const char* type) const {
    return sameTypeName(type, "CKnob") || CControl::isTypeOf(type);
}

void CKnob::setStartAngle(float angle) {
    startAngle = angle;
    compute();
}

void CKnob::setRangeAngle(float angle) {
    rangeAngle = angle;
    compute();
}

void CKnob::compute() {
    aCoef = (vmax - vmin) / rangeAngle;
    bCoef = vmin - aCoef * startAngle;
    halfAngle = (kTwoPiFloat - std::fabs(rangeAngle)) * 0.5f;
    setDirty(true);
}

void CKnob::valueToPoint(CPoint& point) const {
    float alpha = (value - bCoef) / aCoef;
    point.h = static_cast<CCoord>(radius + std::cos(alpha) * (radius - inset) + 0.5f);
    point.v = static_cast<CCoord>(radius - std::sin(alpha) * (radius - inset) + 0.5f);
}

float CKnob::valueFromPoint(CPoint& point) const {
    double alpha = std::atan2(radius - point.v, point.h - radius);
    if (alpha < 0.0) alpha += kTwoPi;
    double alpha2 = alpha - startAngle;
    auto wrapped = [](double angle) {
        if (angle < 0.0) angle += kTwoPi;
        if (angle > kTwoPi) angle -= kTwoPi;
        return angle;
    };
    if (rangeAngle < 0.0f) {
        alpha2 -= rangeAngle;
        double alpha3 = wrapped(alpha2);
        if (alpha3 > halfAngle - rangeAngle) return vmax;
        if (alpha3 > -rangeAngle) return vmin;
        if (alpha2 > halfAngle - rangeAngle)
            alpha2 -= kTwoPi;
        else if (alpha2 < -halfAngle)
            alpha2 += kTwoPi;
        return static_cast<float>(aCoef * alpha2 + vmax);
    }
    double alpha3 = wrapped(alpha2);
    if (alpha3 > rangeAngle + halfAngle) return vmin;
    if (alpha3 > rangeAngle) return vmax;
    if (alpha2 > rangeAngle + halfAngle)
        alpha2 -= kTwoPi;
    else if (alpha2 < -halfAngle)
        alpha2 += kTwoPi;
    return static_cast<float>(aCoef * alpha2 + vmin);
}

void CKnob::setColorShadowHandle(const CColor& color) {
    colorShadowHandle = color;
    setDirty(true);
}

void CKnob::setColorHandle(const CColor& color) {
    colorHandle = color;
    setDirty(true);
}

void CKnob::setHandleBitmap(CBitmap* bitmap) {
    if (pHandle) pHandle->forget();
    pHandle = bitmap;
    if (pHandle) {
        pHandle->remember();
        inset = static_cast<int32_t>(pHandle->getWidth() / 2.0 + 2.5);
    }
}

void CKnob::draw(CDrawContext* context) {
    drawBackgroundBitmap(context, size, offset);
    drawHandle(context);
    setDirty(false);
}

void CKnob::drawHandle(CDrawContext* context) {
    if (!context) return;
    CPoint where;
    valueToPoint(where);
    if (pHandle) {
        CCoord w = pHandle->getWidth();
        CCoord h = pHandle->getHeight();
        CRect handleRect(0, 0, w, h);
        handleRect.moveTo(size.left + where.h - w / 2, size.top + where.v - h / 2);
        pHandle->drawTransparent(context, handleRect, CPoint(0, 0));
        return;
    }
    CPoint origin(size.left + size.width() / 2, size.top + size.height() / 2);
    context->setFrameColor(colorShadowHandle);
    context->moveTo(CPoint(size.left + where.h - 1, size.top + where.v));
    context->lineTo(CPoint(origin.h - 1, origin.v));
    context->setFrameColor(colorHandle);
    context->moveTo(CPoint(size.left + where.h, size.top + where.v - 1));
    context->lineTo(CPoint(origin.h, origin.v - 1));
}

void CKnob::mouse(CDrawContext* context, CPoint& where, int32_t buttons) {
    if (!bMouseEnabled) return;
    if (buttons == -1 && context) buttons = context->getMouseButtons();
    if (!(buttons & kLButton)) return;
    if (listener && (buttons & (kShift | kControl | kAlt | kApple)) &&
        listener->controlModifierClicked(context, this, buttons) != 0)
        return;
    if (checkDefaultValue(context, buttons)) return;

    float middle = (vmax - vmin) * 0.5f;
    float entryValue = value;
    float old = oldValue;

    int32_t mode = pParentFrame ? pParentFrame->getKnobMode() : 0;
    bool linear = mode == kLinearKnobMode ? !(buttons & kAlt) : (buttons & kAlt) != 0;

    float range = kLinearRange;
    float coef = 0.0f;
    CPoint first = where;
    int32_t lastButtons = buttons;
    if (linear) {
        if (buttons & kShift) range *= zoomFactor;
        coef = (vmax - vmin) / range;
    } else {
        CPoint relative = where;
        relative.offset(-size.left, -size.top);
        old = valueFromPoint(relative);
    }

    CountedReference<CKnob> holdWhileDragging(this);
    beginEdit();
    CPoint previous(-1, -1);
    int32_t stepButtons;
    do {
        stepButtons = context ? context->getMouseButtons() : 0;
        if (where != previous) {
            previous = where;
            if (linear) {
                CCoord diff = (first.v - where.v) + (where.h - first.h);
                if (stepButtons != lastButtons) {
                    // Keep the value where it is when shift is pressed or released.
                    float newRange = kLinearRange;
                    if (stepButtons & kShift) newRange *= zoomFactor;
                    float newCoef = (vmax - vmin) / newRange;
                    entryValue += diff * (coef - newCoef);
                    coef = newCoef;
                    lastButtons = stepButtons;
                }
                value = entryValue + diff * coef;
                bounceValue();
            } else {
                CPoint relative = where;
                relative.offset(-size.left, -size.top);
                float v = valueFromPoint(relative);
                // No jump across the gap: the value sticks at the end it came from.
                if (old - v > middle)
                    value = vmax;
                else if (v - old > middle)
                    value = vmin;
                else {
                    value = v;
                    old = v;
                }
            }
            reportIfDirty(context);
        }
        getMouseLocation(context, where);
        if (!pumpWhileHeld()) return;
    } while (stepButtons & kLButton);
    endEdit();
}

void CKnob::stepBy(float distance, bool fine, CDrawContext* context) {
    value += fine ? 0.1f * distance * wheelInc : distance * wheelInc;
    bounceValue();
    if (listener && isDirty()) {
        beginEdit();
        listener->valueChanged(context, this);
        endEdit();
    }
}

bool CKnob::onWheel(CDrawContext* context, const CPoint&, float distance) {
    if (!bMouseEnabled) return false;
    int32_t buttons = context ? context->getMouseButtons() : 0;
    stepBy(distance, (buttons & kShift) != 0, context);
    return true;
}

int32_t CKnob::onKeyDown(VstKeyCode& keyCode) {
    float distance;
    switch (keyCode.virt) {
        case VKEY_UP:
        case VKEY_RIGHT: distance = 1.0f; break;
        case VKEY_DOWN:
        case VKEY_LEFT: distance = -1.0f; break;
        default: return -1;
    }
    stepBy(distance, (keyCode.modifier & MODIFIER_SHIFT) != 0, nullptr);
    return 1;
}
