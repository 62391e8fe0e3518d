#include "gui/CSplashScreen.h"

CSplashScreen::CSplashScreen(const CRect& size, CControlListener* listener, int32_t tag,
                             CBitmap* background, const CRect& toDisplay, const CPoint& offset)
    : CControl(size, listener, tag, background), toDisplay(toDisplay), offset(offset) {}

CSplashScreen::~CSplashScreen() = default;

bool CSplashScreen::isTypeOf(const char* type) const {
    return sameTypeName(type, "CSplashScreen") || CControl::isTypeOf(type);
}

bool CSplashScreen::hitTest(const CPoint& where, int32_t buttons) {
    return (buttons & kLButton) && CControl::hitTest(where, buttons);
}

void CSplashScreen::unSplash(CDrawContext* context) {
    if (value == 0.0f) return;
    value = 0.0f;
    if (listener) listener->valueChanged(context, this);
}
