// A control that shows its value as text, through a conversion callback or as "%2.2f".
// Its text drawing (background, 3-D frame, shadowed text) serves the text edit and the
// option menu as well.
#pragma once

#include "gui/CControl.h"
#include "gui/CDrawContext.h"

// Style bits of the text controls.
enum CParamDisplayStyle : int32_t {
    kMultipleCheckStyle = 0x1,  // option menu: choosing an entry toggles its check mark
    kShadowText = 0x4,          // text drawn first in the shadow colour, one pixel down right
    k3DIn = 0x80,
    k3DOut = 0x100,
    kPopupStyle = 0x200,  // option menu: opens at the top edge instead of the bottom
    kCheckStyle = 0x400,  // option menu: the current entry carries a check mark
    kNoTextStyle = 0x800,
    kNoDrawStyle = 0x1000,
    kDoubleClickStyle = 0x2000,  // text edit: opens on a double click only
    kNoFrame = 0x4000,
};

// Text buffers of the text controls hold this many characters, the terminator included.
constexpr int kTextControlBufferSize = 256;

using CParamDisplayValueToString = void (*)(float value, char* text);
using CParamDisplayValueToStringUserData = void (*)(float value, char* text, void* userData);
using CParamDisplayStringToValue = void (*)(const char* text, float& value);

class CParamDisplay : public CControl {
public:
    explicit CParamDisplay(const CRect& size, CBitmap* background = nullptr, int32_t style = 0);
    ~CParamDisplay() override;

    // These mark the control dirty when the new value differs.
    virtual void setFont(CFont fontIndex);
    virtual void setFontColor(const CColor& color);
    virtual void setBackColor(const CColor& color);
    virtual void setFrameColor(const CColor& color);
    virtual void setShadowColor(const CColor& color);
    virtual void setHoriAlign(CHoriTxtAlign align);
    // The callbacks and the transparency only store.
    virtual void setStringConvert(CParamDisplayValueToStringUserData convert, void* data);
    virtual void setStringConvert(CParamDisplayValueToString convert);
    // Kept for the creator; nothing in the toolkit calls it.
    virtual void setString2FloatConvert(CParamDisplayStringToValue convert);
    virtual void setStyle(int32_t newStyle);
    virtual void setTxtFace(CTxtFace face);
    virtual void setTextTransparency(bool transparent) { bTextTransparencyEnabled = transparent; }

    CFont getFont() const { return fontID; }
    CColor getFontColor() const { return fontColor; }
    CColor getBackColor() const { return backColor; }
    CColor getFrameColor() const { return frameColor; }
    CColor getShadowColor() const { return shadowColor; }
    CHoriTxtAlign getHoriAlign() const { return horiTxtAlign; }
    int32_t getStyle() const { return style; }
    CTxtFace getTxtFace() const { return txtFace; }
    bool getTextTransparency() const { return bTextTransparencyEnabled; }

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* type) const override;

protected:
    // Copies source into a text buffer of kTextControlBufferSize bytes, cut to fit.
    static void copyText(char* destination, const char* source);
    // Background (replacement bitmap, own bitmap or filled colour), 3-D frame and text,
    // as the style asks; ends the control's dirty state.
    void drawText(CDrawContext* context, const char* text, CBitmap* newBackground = nullptr);

    CParamDisplayValueToString stringConvert = nullptr;
    CParamDisplayValueToStringUserData stringConvertUserData = nullptr;
    CParamDisplayStringToValue string2FloatConvert = nullptr;
    void* userData = nullptr;
    CHoriTxtAlign horiTxtAlign = kCenterText;
    int32_t style;
    CFont fontID = kNormalFont;
    CTxtFace txtFace = kNormalFace;
    CColor fontColor = kWhiteCColor;
    CColor backColor = kBlackCColor;
    CColor frameColor = kBlackCColor;
    CColor shadowColor = kRedCColor;
    bool bTextTransparencyEnabled = true;

private:
    void draw3DFrame(CDrawContext* context);
};
