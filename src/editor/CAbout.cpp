#include "editor/CAbout.h"

#include "editor/CSplashScreenMyView.h"
#include "editor/PressLoop.h"
#include "gui/CFrame.h"

CAbout::CAbout(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* picture,
               const CRect& splashRect, const CPoint& offset)
    : CSplashScreen(size, listener, tag, picture, splashRect, offset) {}

CAbout::~CAbout() = default;

void CAbout::draw(CDrawContext*) { setDirty(false); }

void CAbout::mouse(CDrawContext* context, CPoint&, int32_t buttons) {
    if (!bMouseEnabled) return;
    buttons = pressloop::resolveButtons(context, buttons);
    if (listener && (buttons & (kShift | kControl | kAlt | kApple)) &&
        listener->controlModifierClicked(context, this, buttons) != 0)
        return;
    if (!(buttons & kLButton)) return;
    value = value == 0.0f ? 1.0f : 0.0f;
    if (value == 0.0f) return;

    auto* view = new CSplashScreenMyView(toDisplay, this, kVersion);
    if (pParentFrame && pParentFrame->setModalView(view)) {
        if (listener) listener->valueChanged(context, this);
    } else {
        // Refused (another modal view is up): the value stays 1 until the next click.
        view->forget();
    }
    setDirty(true);
}
