// Bitmap resources come from the skin embedded in the library.
#include "platform/BitmapResources.h"
#include "skin/SkinBitmaps.h"

namespace platform {

std::unique_ptr<Canvas> loadBitmapResource(int id) {
    const SkinBitmap* bitmap = findSkinBitmap(id);
    if (!bitmap) return nullptr;
    return Canvas::createFromRgb(bitmap->width, bitmap->height, bitmap->rgb);
}

}  // namespace platform
