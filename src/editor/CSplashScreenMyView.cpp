#include "editor/CSplashScreenMyView.h"

#include "editor/CAbout.h"
#include "editor/PressLoop.h"
#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "skin/SkinLayout.h"

namespace {
constexpr CColor kVersionColor{200, 200, 200, 255};
}  // namespace

CSplashScreenMyView::CSplashScreenMyView(const CRect& splashRect, CAbout* owner,
                                         const char* version)
    : CView(splashRect), owner(owner), version(version ? version : "") {
    owner->remember();
    setBackground(owner->getBackground());
    setTransparency(owner->getTransparency());
}

CSplashScreenMyView::~CSplashScreenMyView() { owner->forget(); }

void CSplashScreenMyView::draw(CDrawContext* context) {
    if (!context) return;
    if (pBackground) {
        const CPoint& offset = owner->getSplashOffset();
        uint8_t opacity = owner->getPictureOpacity();
        if (!bTransparencyEnabled)
            pBackground->draw(context, size, offset);
        else if (opacity != 0)
            pBackground->drawAlphaBlend(context, size, offset, opacity);
        else
            pBackground->drawTransparent(context, size, offset);
    }
    context->setFont(kNormalFont, 0, kNormalFace);
    context->setFontColor(kVersionColor);
    // Where the picture leaves room for it.
    const skin::Rect& area = skin::kVersionText;
    std::string text = "v. " + version;
    context->drawString(text.c_str(), CRect(area.left, area.top, area.right, area.bottom), false,
                        kLeftText);
    setDirty(false);
}

void CSplashScreenMyView::mouse(CDrawContext* context, CPoint&, int32_t buttons) {
    buttons = pressloop::resolveButtons(context, buttons);
    if (!(buttons & kLButton)) return;
    owner->unSplash(context);
    CFrame* frame = pParentFrame;
    if (frame) frame->setDirty(true);
    if (frame && frame->getModalView() == this) {
        // Removal releases this view's own reference and the frame's: it is gone after.
        frame->setModalView(nullptr);
    } else if (ownReferenceHeld) {
        ownReferenceHeld = false;
        forget();
    }
}

bool CSplashScreenMyView::removed(CView* parent) {
    bool result = CView::removed(parent);
    if (ownReferenceHeld) {
        ownReferenceHeld = false;
        forget();
    }
    return result;
}
