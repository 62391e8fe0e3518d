// All painting of the editor goes through a draw context: a surface plus the drawing
// state (offsets, clip, line, colours, font). It also reads the live mouse state for the
// controls' drag loops.
#pragma once

#include <memory>

#include "gui/CGeometry.h"
#include "gui/CReferenceCounter.h"
#include "platform/Types.h"

namespace platform {
class Canvas;
class NativeWindow;
}  // namespace platform

class CFrame;

enum CFont {
    kSystemFont,
    kNormalFontVeryBig,
    kNormalFontBig,
    kNormalFont,
    kNormalFontSmall,
    kNormalFontSmaller,
    kNormalFontVerySmall,
    kSymbolFont,
    kNumStandardFonts,
};

enum CTxtFace { kNormalFace = 0, kBoldFace = 1, kItalicFace = 2, kUnderlineFace = 4 };

// The font of the standard table for an index and a text face, as a draw context selects
// it (kSystemFont is always bold); an index outside the table gives kSystemFont.
platform::FontSpec standardFontSpec(int32_t fontIndex, int32_t face = kNormalFace);

enum CHoriTxtAlign { kLeftText = 0, kCenterText, kRightText };
enum CLineStyle { kLineSolid = 0, kLineOnOffDash };
enum CDrawMode { kCopyMode = 0, kOrMode, kXorMode, kAntialias };

class CDrawContext : public CReferenceCounter {
public:
    // Draws on canvas (not owned); without one, on a surface of window, taken for the
    // context's lifetime.
    CDrawContext(CFrame* frame, platform::Canvas* canvas, platform::NativeWindow* window);
    ~CDrawContext() override;

    void moveTo(const CPoint& point);
    void lineTo(const CPoint& point);
    // Outline through the corners (left, top) and (right - 1, bottom - 1).
    void drawRect(const CRect& rect);
    // Fills from (left + 1, top + 1) to (right, bottom) exclusive: drawRect's outline
    // covers the first row and column.
    void fillRect(const CRect& rect);

    void setFrameColor(const CColor& color);
    CColor getFrameColor() const { return frameColor; }
    void setFillColor(const CColor& color);
    CColor getFillColor() const { return fillColor; }
    void setFontColor(const CColor& color);
    CColor getFontColor() const { return fontColor; }
    void setLineWidth(CCoord width);
    CCoord getLineWidth() const { return frameWidth; }
    void setLineStyle(CLineStyle style) { lineStyle = style; }
    CLineStyle getLineStyle() const { return lineStyle; }
    void setDrawMode(CDrawMode mode) { drawMode = mode; }
    CDrawMode getDrawMode() const { return drawMode; }

    // Index outside the table selects font 0; size is taken from the table.
    void setFont(int32_t fontIndex, int32_t size = 0, int32_t style = 0);
    int32_t getFont() const { return fontId; }
    int32_t getFontSize() const { return fontSize; }
    int32_t getFontStyle() const { return fontStyle; }
    void drawString(const char* text, const CRect& rect, bool opaque = false,
                    CHoriTxtAlign align = kCenterText);

    void setClipRect(const CRect& clip);
    CRect& getClipRect(CRect& clip) const;

    // Live buttons and modifiers (kLButton ... kAlt).
    int32_t getMouseButtons();
    // Pointer position relative to the window's top-left corner.
    void getMouseLocation(CPoint& point);

    CFrame* getFrame() const { return pFrame; }
    platform::Canvas* getCanvas() const { return canvas; }

    // The screen position of the window's top-left corner (device pixels) plus the logical
    // offset of the view drawing, and the offset added to every coordinate drawn;
    // containers move both while their children draw.
    CPoint offsetScreen;
    CPoint offset;

    // The pointer relative to offsetScreen, in logical pixels.
    CPoint pointerFromOffsetScreen() const;
    // The screen (device) position of a point given relative to offsetScreen.
    CPoint screenFromOffsetScreen(const CPoint& point) const;

protected:
    void applyClip();

    CFrame* pFrame;
    platform::Canvas* canvas;
    std::unique_ptr<platform::Canvas> ownCanvas;
    CPoint penLocation;
    CPoint windowOrigin;  // device pixels: where offsetScreen starts
    double scale() const;
    CRect clipRect;  // in device coordinates
    CColor frameColor{};
    CColor fillColor{};
    CColor fontColor{};
    CCoord frameWidth = 0;
    CLineStyle lineStyle = kLineSolid;
    CDrawMode drawMode = kCopyMode;
    int32_t fontId = 8;  // none selected
    int32_t fontSize = -1;
    int32_t fontStyle = 0;
};

// Draw context on an image of its own, where containers compose before copying to the
// window in one block.
class COffscreenContext : public CDrawContext {
public:
    COffscreenContext(CFrame* frame, CCoord width, CCoord height,
                      const CColor& backgroundColor = kBlackCColor);
    ~COffscreenContext() override;

    // Copies the block of destRect's size from srcOffset to destRect in dest.
    void copyFrom(CDrawContext* dest, const CRect& destRect, const CPoint& srcOffset = CPoint());
    CCoord getWidth() const { return width; }
    CCoord getHeight() const { return height; }

private:
    CCoord width;
    CCoord height;
    CColor backgroundColor;
};
