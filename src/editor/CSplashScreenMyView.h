// The about picture with the version written on it, shown as the frame's modal view. A
// left click closes it; it destroys itself once the frame lets it go.
#pragma once

#include <string>

#include "gui/CView.h"

class CAbout;

class CSplashScreenMyView : public CView {
public:
    // Holds a counted reference to owner and to its picture while it exists.
    CSplashScreenMyView(const CRect& splashRect, CAbout* owner, const char* version);
    ~CSplashScreenMyView() override;

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;
    // Leaving the frame drops the view's own reference: the last one goes with the node.
    bool removed(CView* parent) override;

private:
    CAbout* owner;
    std::string version;
    bool ownReferenceHeld = true;
};
