// Bitmap resources come from the skin embedded in the library.
#include <map>
#include <mutex>
#include <utility>

#include "platform/BitmapResources.h"
#include "skin/SkinBitmaps.h"

namespace platform {

namespace {

// Editors of one process share each image while any of them holds it.
std::mutex cacheLock;
std::map<std::pair<int, int>, std::weak_ptr<const Canvas>> cache;

}  // namespace

std::shared_ptr<const Canvas> loadBitmapResource(int id, double scale) {
    const int factor = scale > 1.0 ? 2 : 1;
    std::lock_guard<std::mutex> hold(cacheLock);
    std::weak_ptr<const Canvas>& entry = cache[{id, factor}];
    if (auto shared = entry.lock()) return shared;
    const SkinBitmap* bitmap = findSkinBitmap(id);
    if (!bitmap) return nullptr;
    std::shared_ptr<const Canvas> image =
        Canvas::createFromRgb(bitmap->width, bitmap->height, bitmap->rgb);
    entry = image;
    return image;
}

bool bitmapResourceSize(int id, int& width, int& height) {
    const SkinBitmap* bitmap = findSkinBitmap(id);
    if (!bitmap) return false;
    width = bitmap->width;
    height = bitmap->height;
    return true;
}

}  // namespace platform
