#include "gui/CBitmap.h"

#include "gui/CDrawContext.h"
#include "platform/BitmapResources.h"
#include "platform/Canvas.h"

namespace {

// The destination block in the canvas's coordinates.
platform::Rect canvasRect(const CDrawContext* context, const CRect& rect) {
    return platform::Rect{rect.left + context->offset.h, rect.top + context->offset.v,
                          rect.right + context->offset.h, rect.bottom + context->offset.v};
}

}  // namespace

CBitmap::CBitmap(int32_t resourceId) { loadFromResource(resourceId); }

CBitmap::CBitmap(std::unique_ptr<platform::Canvas> memoryImage) : image(std::move(memoryImage)) {
    if (image) {
        width = image->width();
        height = image->height();
    }
}

CBitmap::~CBitmap() = default;

void CBitmap::dispose() {
    image.reset();
    fromResource = false;
    width = 0;
    height = 0;
}

bool CBitmap::loadFromResource(int32_t id) {
    dispose();
    resourceId = id;
    int w = 0, h = 0;
    if (!platform::bitmapResourceSize(id, w, h)) return false;
    fromResource = true;
    width = w;
    height = h;
    return true;
}

const platform::Canvas* CBitmap::imageFor(const CDrawContext* context) {
    if (!context || !context->getCanvas()) return nullptr;
    if (fromResource) {
        // The 1× set for canvases up to 1×, the 2× set above: another editor at another
        // scale keeps its own.
        const double scale = context->getCanvas()->scale();
        const int set = scale > 1.0 ? 2 : 1;
        if (!image || loadedSet != set) {
            image = platform::loadBitmapResource(resourceId, scale);
            loadedSet = set;
        }
    }
    return image.get();
}

bool CBitmap::loadFromPath(const void*) {
    dispose();
    return false;
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset) {
    const platform::Canvas* pixels = imageFor(context);
    if (!pixels) return;
    context->getCanvas()->copyFrom(*pixels, offset.h, offset.v, canvasRect(context, rect));
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& offset) {
    const platform::Canvas* pixels = imageFor(context);
    if (!pixels) return;
    platform::Color key{transparentColor.red, transparentColor.green, transparentColor.blue, 255};
    context->getCanvas()->copyKeyed(*pixels, offset.h, offset.v, canvasRect(context, rect), key);
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const CRect& rect, const CPoint& offset,
                             uint8_t alpha) {
    const platform::Canvas* pixels = imageFor(context);
    if (!pixels) return;
    context->getCanvas()->blend(*pixels, offset.h, offset.v, canvasRect(context, rect), alpha);
}
