#include "gui/CParamDisplay.h"

#include <cstdio>
#include <cstring>

#include "gui/CBitmap.h"

CParamDisplay::CParamDisplay(const CRect& size, CBitmap* background, int32_t style)
    : CControl(size, nullptr, 0, background), style(style) {}

CParamDisplay::~CParamDisplay() = default;

namespace {
// Stores value into field and marks the control dirty when it changed.
template <typename T>
void change(CParamDisplay& display, T& field, const T& value) {
    if (field == value) return;
    field = value;
    display.setDirty(true);
}
}  // namespace

void CParamDisplay::setFont(CFont fontIndex) { change(*this, fontID, fontIndex); }
void CParamDisplay::setFontColor(const CColor& color) { change(*this, fontColor, color); }
void CParamDisplay::setBackColor(const CColor& color) { change(*this, backColor, color); }
void CParamDisplay::setFrameColor(const CColor& color) { change(*this, frameColor, color); }
void CParamDisplay::setShadowColor(const CColor& color) { change(*this, shadowColor, color); }
void CParamDisplay::setHoriAlign(CHoriTxtAlign align) { change(*this, horiTxtAlign, align); }
void CParamDisplay::setStyle(int32_t newStyle) { change(*this, style, newStyle); }
void CParamDisplay::setTxtFace(CTxtFace face) { change(*this, txtFace, face); }

void CParamDisplay::setStringConvert(CParamDisplayValueToStringUserData convert, void* data) {
    stringConvertUserData = convert;
    userData = data;
}

void CParamDisplay::setStringConvert(CParamDisplayValueToString convert) {
    stringConvert = convert;
}

void CParamDisplay::setString2FloatConvert(CParamDisplayStringToValue convert) {
    string2FloatConvert = convert;
}

bool CParamDisplay::isTypeOf(const char* type) const {
    return sameTypeName(type, "CParamDisplay") || CControl::isTypeOf(type);
}

void CParamDisplay::copyText(char* destination, const char* source) {
    std::strncpy(destination, source ? source : "", kTextControlBufferSize - 1);
    destination[kTextControlBufferSize - 1] = '\0';
}

void CParamDisplay::draw(CDrawContext* context) {
    char text[kTextControlBufferSize] = "";
    if (stringConvertUserData)
        stringConvertUserData(value, text, userData);
    else if (stringConvert)
        stringConvert(value, text);
    else
        std::snprintf(text, sizeof text, "%2.2f", value);
    text[kTextControlBufferSize - 1] = '\0';
    drawText(context, text);
}

void CParamDisplay::drawText(CDrawContext* context, const char* text, CBitmap* newBackground) {
    setDirty(false);
    if ((style & kNoDrawStyle) || !context) return;

    CBitmap* background = newBackground ? newBackground : pBackground;
    if (background) {
        if (bTransparencyEnabled)
            background->drawTransparent(context, size, backOffset);
        else
            background->draw(context, size, backOffset);
    } else if (!bTransparencyEnabled) {
        context->setFillColor(backColor);
        context->fillRect(size);
        if (!(style & (k3DIn | k3DOut | kNoFrame))) {
            context->setFrameColor(frameColor);
            context->drawRect(size);
        }
    }

    if (style & (k3DIn | k3DOut)) draw3DFrame(context);

    if ((style & kNoTextStyle) || !text || !text[0]) return;
    CRect oldClip;
    context->getClipRect(oldClip);
    CRect textClip = size;
    textClip.bound(oldClip);
    context->setClipRect(textClip);
    context->setFont(fontID, 0, txtFace);
    bool opaque = !bTextTransparencyEnabled;
    if (opaque) context->setFillColor(backColor);
    if (style & kShadowText) {
        CRect shadowRect = size;
        shadowRect.offset(1, 1);
        context->setFontColor(shadowColor);
        context->drawString(text, shadowRect, opaque, horiTxtAlign);
    }
    context->setFontColor(fontColor);
    context->drawString(text, size, opaque, horiTxtAlign);
    context->setClipRect(oldClip);
}

void CParamDisplay::draw3DFrame(CDrawContext* context) {
    // A sunken frame has the back colour at its top and left edges, a raised one the
    // frame colour.
    const CColor& topLeft = (style & k3DIn) ? backColor : frameColor;
    const CColor& bottomRight = (style & k3DIn) ? frameColor : backColor;
    CRect r(size.left, size.top + 1, size.right - 1, size.bottom - 1);
    context->setLineWidth(1);
    context->setFrameColor(topLeft);
    context->moveTo(CPoint(r.left, r.bottom));
    context->lineTo(CPoint(r.left, r.top));
    context->lineTo(CPoint(r.right, r.top));
    context->setFrameColor(bottomRight);
    context->moveTo(CPoint(r.right, r.top));
    context->lineTo(CPoint(r.right, r.bottom));
    context->lineTo(CPoint(r.left, r.bottom));
}
