#include "gui/CDrawContext.h"

#include <cstdlib>
#include <utility>

#include "gui/CFrame.h"
#include "platform/Canvas.h"
#include "platform/DeviceScale.h"
#include "platform/NativeWindow.h"
#include "platform/PointerState.h"

namespace {

struct StandardFont {
    const char* face;
    int height;
};

const StandardFont kStandardFonts[kNumStandardFonts] = {
    {"Arial", 12}, {"Arial", 18}, {"Arial", 14}, {"Arial", 12},
    {"Arial", 11}, {"Arial", 10}, {"Arial", 9},  {"Symbol", 13},
};

platform::Color toPlatform(const CColor& c) { return platform::Color{c.red, c.green, c.blue, c.alpha}; }

}  // namespace

platform::FontSpec standardFontSpec(int32_t fontIndex, int32_t face) {
    if (fontIndex < 0 || fontIndex >= kNumStandardFonts) fontIndex = kSystemFont;
    const StandardFont& font = kStandardFonts[fontIndex];
    platform::FontSpec chosen;
    chosen.face = font.face;
    chosen.pixelHeight = font.height;
    chosen.bold = (face & kBoldFace) || fontIndex == kSystemFont;
    chosen.italic = (face & kItalicFace) != 0;
    chosen.underline = (face & kUnderlineFace) != 0;
    return chosen;
}

CDrawContext::CDrawContext(CFrame* frame, platform::Canvas* canvas, platform::NativeWindow* window)
    : pFrame(frame), canvas(canvas) {
    if (!canvas && window) {
        ownCanvas = window->createCanvas();
        this->canvas = ownCanvas.get();
    }
    if (frame)
        frame->getViewSize(clipRect);
    else
        clipRect = CRect(0, 0, 1000, 1000);
    if (window) {
        platform::Point origin = window->screenOrigin();
        offsetScreen = CPoint(origin.x, origin.y);
        windowOrigin = offsetScreen;
    }
    applyClip();
    setFrameColor(kWhiteCColor);
    setLineStyle(kLineSolid);
    setLineWidth(1);
    setFillColor(kBlackCColor);
    setFontColor(kWhiteCColor);
    setFont(kSystemFont);
    setDrawMode(kCopyMode);
}

CDrawContext::~CDrawContext() {
    if (canvas) canvas->flush();
}

void CDrawContext::moveTo(const CPoint& point) {
    penLocation = point;
    penLocation.offset(offset.h, offset.v);
}

void CDrawContext::lineTo(const CPoint& point) {
    CPoint to = point;
    to.offset(offset.h, offset.v);
    if (canvas)
        canvas->drawLine(penLocation.h, penLocation.v, to.h, to.v, toPlatform(frameColor),
                         frameWidth);
    penLocation = to;
}

void CDrawContext::drawRect(const CRect& rect) {
    moveTo(CPoint(rect.left, rect.top));
    lineTo(CPoint(rect.right - 1, rect.top));
    lineTo(CPoint(rect.right - 1, rect.bottom - 1));
    lineTo(CPoint(rect.left, rect.bottom - 1));
    lineTo(CPoint(rect.left, rect.top));
}

void CDrawContext::fillRect(const CRect& rect) {
    if (!canvas) return;
    canvas->fillRect(platform::Rect{rect.left + 1 + offset.h, rect.top + 1 + offset.v,
                                    rect.right + offset.h, rect.bottom + offset.v},
                     toPlatform(fillColor));
}

void CDrawContext::setFrameColor(const CColor& color) { frameColor = color; }
void CDrawContext::setFillColor(const CColor& color) { fillColor = color; }
void CDrawContext::setFontColor(const CColor& color) { fontColor = color; }

void CDrawContext::setLineWidth(CCoord width) { frameWidth = width; }

void CDrawContext::setFont(int32_t fontIndex, int32_t, int32_t style) {
    if (fontIndex < 0 || fontIndex >= kNumStandardFonts) fontIndex = kSystemFont;
    const StandardFont& font = kStandardFonts[fontIndex];
    if (fontId == fontIndex && fontSize == font.height && fontStyle == style) return;
    fontId = fontIndex;
    fontSize = font.height;
    fontStyle = style;
    if (canvas) canvas->setFont(standardFontSpec(fontIndex, style));
}

void CDrawContext::drawString(const char* text, const CRect& rect, bool opaque,
                              CHoriTxtAlign align) {
    if (!canvas || !text) return;
    platform::Rect target{rect.left + offset.h, rect.top + offset.v, rect.right + offset.h,
                          rect.bottom + offset.v};
    platform::TextAlign textAlign = platform::TextAlign::Center;
    if (align == kLeftText) {
        textAlign = platform::TextAlign::Left;
        target.left += 1;
    } else if (align == kRightText) {
        textAlign = platform::TextAlign::Right;
    }
    platform::Color background = toPlatform(fillColor);
    canvas->drawText(text, target, toPlatform(fontColor), textAlign, opaque ? &background : nullptr);
}

void CDrawContext::setClipRect(const CRect& clip) {
    clipRect = clip;
    clipRect.offset(offset.h, offset.v);
    applyClip();
}

CRect& CDrawContext::getClipRect(CRect& clip) const {
    clip = clipRect;
    clip.offset(-offset.h, -offset.v);
    return clip;
}

void CDrawContext::applyClip() {
    if (canvas)
        canvas->setClip(platform::Rect{clipRect.left, clipRect.top, clipRect.right, clipRect.bottom});
}

int32_t CDrawContext::getMouseButtons() { return platform::queryPointerButtons(); }

void CDrawContext::getMouseLocation(CPoint& point) { point = pointerFromOffsetScreen(); }

double CDrawContext::scale() const { return canvas ? canvas->scale() : 1.0; }

CPoint CDrawContext::pointerFromOffsetScreen() const {
    platform::Point screen{0, 0};
    platform::queryPointerScreenPosition(screen);
    // Device pixels from the window's corner to logical ones, then the view's own offset.
    platform::Point inWindow = platform::toLogical(
        platform::Point{screen.x - windowOrigin.h, screen.y - windowOrigin.v}, scale());
    return CPoint(inWindow.x - (offsetScreen.h - windowOrigin.h),
                  inWindow.y - (offsetScreen.v - windowOrigin.v));
}

CPoint CDrawContext::screenFromOffsetScreen(const CPoint& point) const {
    return CPoint(windowOrigin.h + platform::toDevice(offsetScreen.h - windowOrigin.h + point.h, scale()),
                  windowOrigin.v + platform::toDevice(offsetScreen.v - windowOrigin.v + point.v, scale()));
}

COffscreenContext::COffscreenContext(CFrame* frame, CCoord width, CCoord height,
                                     const CColor& backgroundColor)
    : CDrawContext(frame, nullptr, nullptr), width(width), height(height),
      backgroundColor(backgroundColor) {
    ownCanvas = platform::Canvas::createImage(std::abs(width), std::abs(height),
                                              frame ? frame->getScale() : 1.0);
    canvas = ownCanvas.get();
    CRect whole(0, 0, width, height);
    if (whole.left > whole.right) std::swap(whole.left, whole.right);
    if (whole.top > whole.bottom) std::swap(whole.top, whole.bottom);
    clipRect = whole;
    applyClip();
    fontId = 8;
    setFont(kSystemFont);
    setFillColor(backgroundColor);
    setFrameColor(backgroundColor);
    fillRect(whole);
    drawRect(whole);
}

COffscreenContext::~COffscreenContext() = default;

void COffscreenContext::copyFrom(CDrawContext* dest, const CRect& destRect,
                                 const CPoint& srcOffset) {
    if (!dest || !dest->getCanvas() || !canvas) return;
    platform::Rect target{destRect.left + dest->offset.h, destRect.top + dest->offset.v,
                          destRect.right + dest->offset.h, destRect.bottom + dest->offset.v};
    dest->getCanvas()->copyFrom(*canvas, srcOffset.h, srcOffset.v, target);
}
