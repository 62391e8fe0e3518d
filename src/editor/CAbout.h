// The title area: an invisible control whose left click shows the about picture as the
// frame's modal view until that picture is clicked. Its value is 1 while it shows.
#pragma once

#include "KrvVersion.h"
#include "gui/CSplashScreen.h"

class CAbout : public CSplashScreen {
public:
    // The picture is shown at splashRect from offset.
    CAbout(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* picture,
           const CRect& splashRect, const CPoint& offset);
    ~CAbout() override;

    // Nothing: the background's artwork shows through.
    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;

    const CPoint& getSplashOffset() const { return offset; }
    uint8_t getPictureOpacity() const { return bitmapTransparency; }

    static constexpr const char* kVersion = KRV_VERSION_TEXT;
};
