#include "gui/CControl.h"

#include <algorithm>

#include "gui/CFrame.h"
#include "platform/PointerState.h"

namespace {
constexpr int32_t kShortestDoubleClick = 250;
}  // namespace

CControl::CControl(const CRect& size, CControlListener* listener, int32_t tag,
                   CBitmap* background)
    : CView(size), listener(listener), tag(tag),
      delta(std::max<int32_t>(platform::doubleClickMilliseconds(), kShortestDoubleClick)) {
    setTransparency(false);
    setMouseEnabled(true);
    setBackground(background);
}

CControl::~CControl() = default;

bool CControl::isDirty() const { return !(oldValue == value) || CView::isDirty(); }

void CControl::setDirty(bool state) {
    CView::setDirty(state);
    if (state)
        oldValue = value != -1.0f ? -1.0f : 0.0f;
    else
        oldValue = value;
}

bool CControl::isTypeOf(const char* type) const {
    return sameTypeName(type, "CControl") || CView::isTypeOf(type);
}

void CControl::doIdleStuff() {
    if (pParentFrame) pParentFrame->doIdleStuff();
}

bool CControl::pumpWhileHeld() {
    CFrame* frame = pParentFrame;
    if (!frame || !frame->pump()) return false;
    return pParentFrame == frame;
}

void CControl::beginEdit() {
    if (!pParentFrame) return;
    pParentFrame->setFocusView(this);
    pParentFrame->beginEdit(tag);
}

void CControl::endEdit() {
    if (pParentFrame) pParentFrame->endEdit(tag);
}

void CControl::copyBackOffset() { backOffset = CPoint(size.left, size.top); }

void CControl::bounceValue() {
    if (value > vmax)
        value = vmax;
    else if (value < vmin)
        value = vmin;
}

void CControl::reportIfDirty(CDrawContext* context) {
    if (listener && isDirty()) listener->valueChanged(context, this);
}

bool CControl::checkDefaultValue(CDrawContext* context, int32_t buttons) {
    if (buttons != (kControl | kLButton)) return false;
    beginEdit();
    value = defaultValue;
    reportIfDirty(context);
    endEdit();
    return true;
}

bool CControl::isDoubleClick() {
    int32_t now = pParentFrame ? pParentFrame->getTicks() : 0;
    if (lastTicks < 1 || now >= lastTicks + delta) {
        lastTicks = now;
        return false;
    }
    lastTicks = 0;
    return true;
}
