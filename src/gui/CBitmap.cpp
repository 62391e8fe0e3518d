#include "gui/CBitmap.h"

#include "gui/CDrawContext.h"
#include "platform/BitmapResources.h"
#include "platform/Canvas.h"

namespace {

// The destination block in device coordinates.
platform::Rect deviceRect(const CDrawContext* context, const CRect& rect) {
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
    width = 0;
    height = 0;
}

bool CBitmap::loadFromResource(int32_t id) {
    dispose();
    resourceId = id;
    image = platform::loadBitmapResource(id);
    if (!image) return false;
    width = image->width();
    height = image->height();
    return true;
}

bool CBitmap::loadFromPath(const void*) {
    dispose();
    return false;
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset) {
    if (!image || !context || !context->getCanvas()) return;
    context->getCanvas()->copyFrom(*image, offset.h, offset.v, deviceRect(context, rect));
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& offset) {
    if (!image || !context || !context->getCanvas()) return;
    platform::Color key{transparentColor.red, transparentColor.green, transparentColor.blue, 255};
    context->getCanvas()->copyKeyed(*image, offset.h, offset.v, deviceRect(context, rect), key);
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const CRect& rect, const CPoint& offset,
                             uint8_t alpha) {
    if (!image || !context || !context->getCanvas()) return;
    context->getCanvas()->blend(*image, offset.h, offset.v, deviceRect(context, rect), alpha);
}
