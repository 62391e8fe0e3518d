#include "editor/CAnimKnob3.h"

#include <cmath>

#include "editor/PressLoop.h"
#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CountedReference.h"

namespace {

// Units of mouse travel per thousandth of the span: shift trades speed for precision.
constexpr double kUnits = 1000.0;
constexpr double kFineUnits = 4000.0;

CCoord frameHeightOf(const CBitmap* background, int32_t frames) {
    return background && frames > 0 ? background->getHeight() / frames : 0;
}

// The pointer relative to the window the context draws on; the click point without one.
CPoint pointerPosition(CDrawContext* context, const CPoint& fallback) {
    CPoint point = fallback;
    if (context) context->getMouseLocation(point);
    return point;
}

}  // namespace

CAnimKnob3::CAnimKnob3(const CRect& size, CControlListener* listener, int32_t tag,
                       CBitmap* background, int32_t frames)
    : CAnimKnob(size, listener, tag, frames, frameHeightOf(background, frames), background,
                CPoint(0, 0)) {}

CAnimKnob3::~CAnimKnob3() = default;

int32_t CAnimKnob3::frameIndex() const {
    if (!(value > 0.0f) || subPixmaps < 1) return 0;
    // Product in single precision, rounding sum in double, as the editor quantises.
    float scaled = static_cast<float>(subPixmaps - 1) * value;
    auto index = static_cast<int32_t>(static_cast<double>(scaled) + 0.5);
    return index < subPixmaps ? index : subPixmaps - 1;
}

void CAnimKnob3::draw(CDrawContext* context) {
    drawBackgroundBitmap(context, size, CPoint(0, frameIndex() * heightOfOneImage));
    setDirty(false);
}

float CAnimKnob3::unitsPerRange(int32_t buttons) const {
    return static_cast<float>(dragSpan * ((buttons & kShift) ? kFineUnits : kUnits));
}

void CAnimKnob3::mouse(CDrawContext* context, CPoint& where, int32_t buttons) {
    if (!bMouseEnabled) return;
    buttons = pressloop::resolveButtons(context, buttons);
    if (!(buttons & kLButton)) return;
    if (listener) listener->valueChanged(context, this);
    if (checkDefaultValue(context, buttons)) return;
    if (isDoubleClick()) {
        checkDefaultValue(context, kControl | kLButton);
        return;
    }
    drag(context, where, buttons);
}

void CAnimKnob3::drag(CDrawContext* context, const CPoint& where, int32_t buttons) {
    CountedReference<CAnimKnob3> keep(this);
    float coefficient = (vmax - vmin) / unitsPerRange(buttons);
    float entry = value;
    if (listener) listener->valueChanged(context, this);

    const CPoint start = pointerPosition(context, where);
    if (!pumpWhileHeld()) return;
    beginEdit();

    CPoint pointer = start;
    int32_t anchorButtons = buttons;
    int32_t live;
    do {
        live = pressloop::resolveButtons(context, -1);
        // Right adds one unit per pixel; up adds two when the press did not move.
        float diff = static_cast<float>((pointer.h - where.h) + (where.v - pointer.v) +
                                        (start.v - pointer.v));
        if (live != anchorButtons) {
            // Re-anchor so that pressing or releasing shift does not make the value jump.
            float newCoefficient = (vmax - vmin) / unitsPerRange(live);
            entry += diff * (coefficient - newCoefficient);
            coefficient = newCoefficient;
            anchorButtons = live;
        }
        value = entry + diff * coefficient;
        bounceValue();
        reportIfDirty(context);
        pointer = pointerPosition(context, pointer);
        if (!pumpWhileHeld()) return;
    } while (live & kLButton);

    if (listener) listener->valueChanged(context, this);
    endEdit();
}
