// The memory buttons' push button: reports each press to its listener and shows a normal,
// hover, pressed or disabled look; its value never changes.
#pragma once

#include "gui/COnOffButton.h"

class CKrOnOffButton : public COnOffButton {
public:
    // The background holds four equal frames: normal, hover, pressed, disabled.
    CKrOnOffButton(const CRect& size, CControlListener* listener, int32_t tag,
                   CBitmap* background);
    ~CKrOnOffButton() override;

    void draw(CDrawContext* context) override;
    // One valueChanged per press, then held pressed until the left button is up.
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;

    virtual void setHover(bool on);
    void setEnabled(bool on);
    bool isPressed() const { return pressed; }

private:
    bool hover = false;
    bool enabled = true;
    bool pressed = false;
};
