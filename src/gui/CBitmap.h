// A bitmap of the skin by resource id, drawn opaque, with a key colour left out, or
// blended with one opacity.
#pragma once

#include <memory>

#include "gui/CGeometry.h"
#include "gui/CReferenceCounter.h"

namespace platform {
class Canvas;
}

class CDrawContext;

class CBitmap : public CReferenceCounter {
public:
    // A missing resource gives an empty bitmap that draws nothing. The pixels are loaded
    // when first drawn, from the set that suits the canvas's scale.
    explicit CBitmap(int32_t resourceId);
    // A bitmap made in memory (null gives an empty one).
    explicit CBitmap(std::unique_ptr<platform::Canvas> image);
    ~CBitmap() override;

    // The block of rect's size from offset, copied to rect.
    virtual void draw(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint());
    // The same, leaving out pixels of the transparent colour.
    virtual void drawTransparent(CDrawContext* context, const CRect& rect,
                                 const CPoint& offset = CPoint());
    // The same block blended over the destination with opacity alpha (0..255).
    virtual void drawAlphaBlend(CDrawContext* context, const CRect& rect,
                                const CPoint& offset = CPoint(), uint8_t alpha = 128);
    virtual void dispose();
    virtual bool loadFromResource(int32_t resourceId);
    // Files are not supported: always false.
    virtual bool loadFromPath(const void* path);

    CCoord getWidth() const { return width; }
    CCoord getHeight() const { return height; }
    int32_t getResourceId() const { return resourceId; }
    bool isLoaded() const { return width > 0 && height > 0; }
    void setTransparentColor(const CColor& color) { transparentColor = color; }
    CColor getTransparentColor() const { return transparentColor; }

private:
    // The image to draw on canvas, loaded for its scale when the skin has the bitmap.
    const platform::Canvas* imageFor(const CDrawContext* context);

    int32_t resourceId = 0;
    CCoord width = 0;
    CCoord height = 0;
    CColor transparentColor = kTransparentCColor;
    bool fromResource = false;
    int loadedSet = 0;
    std::shared_ptr<const platform::Canvas> image;
};
