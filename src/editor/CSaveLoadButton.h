// The preset row's file buttons: a press runs load bank, save bank, load preset or save
// preset on the preset-system listener and holds the pressed look until the release.
#pragma once

#include "gui/CKickButton.h"

class CPresetSystemListener;

class CSaveLoadButton : public CKickButton {
public:
    enum Mode : int32_t { kLoadBank = 0, kSaveBank = 1, kLoadPreset = 2, kSavePreset = 3 };

    // The background holds frames of heightOfOneImage: normal, hover, pressed.
    CSaveLoadButton(const CRect& size, CControlListener* listener, int32_t tag,
                    CCoord heightOfOneImage, CBitmap* background, int32_t mode,
                    CPresetSystemListener* target);
    ~CSaveLoadButton() override;

    void draw(CDrawContext* context) override;
    // Value 1 from the press to the release; then 0.
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;

    virtual void setHover(bool on);
    // While a file dialog of the row is open no button takes clicks or shows its hover,
    // and the one whose dialog it is (own) shows pressed.
    void setDialogOpen(bool open, bool own);

private:
    void runAction();

    CCoord heightOfOneImage;
    int32_t mode;
    CPresetSystemListener* target;
    bool hover = false;
    bool dialogOpen = false;
    bool dialogOwn = false;
};
