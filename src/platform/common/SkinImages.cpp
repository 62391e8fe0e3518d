// The skin's bitmaps as images, from the sets embedded in the library, for every backend.
// A set becomes images all at once, the first time any of its bitmaps is asked for: its
// pixels are inflated once, every image is made, and the inflated pixels go. The images
// are shared by every editor of the process; the set used last stays after its last editor
// closes, so that opening the editor again (hosts close and open it all the time) paints
// at once.
#include <map>
#include <mutex>
#include <vector>

#include "platform/BitmapResources.h"
#include "skin/SkinBitmaps.h"
#include "skin/SkinLayout.h"

namespace platform {

namespace {

struct SetImages {
    std::map<int, std::unique_ptr<Canvas>> byId;
};

std::mutex cacheLock;
std::map<int, std::weak_ptr<const SetImages>> cache;  // by factor
std::shared_ptr<const SetImages> usedLast;

std::shared_ptr<const SetImages> imagesOf(int factor) {
    std::weak_ptr<const SetImages>& entry = cache[factor];
    if (auto shared = entry.lock()) return shared;
    std::shared_ptr<const SkinSet> set = openSkinSet(factor);
    if (!set) return nullptr;
    auto images = std::make_shared<SetImages>();
    for (const SkinBitmap& bitmap : set->bitmaps())
        if (auto image = Canvas::createFromRgb(bitmap.width, bitmap.height, bitmap.rgb, factor))
            images->byId.emplace(bitmap.id, std::move(image));
    entry = images;
    usedLast = images;
    return images;
}

}  // namespace

std::shared_ptr<const Canvas> loadBitmapResource(int id, double scale) {
    const int factor = scale > 1.0 ? 2 : 1;
    std::lock_guard<std::mutex> hold(cacheLock);
    std::shared_ptr<const SetImages> images = imagesOf(factor);
    // A damaged 2x set still leaves the 1x one, which a canvas of any scale can resample.
    if (!images && factor == 2) images = imagesOf(1);
    if (!images) return nullptr;
    auto found = images->byId.find(id);
    if (found == images->byId.end()) return nullptr;
    // Holding one image holds the set's others.
    return std::shared_ptr<const Canvas>(images, found->second.get());
}

bool bitmapResourceSize(int id, int& width, int& height) {
    for (const skin::BitmapLayout& layout : skin::kBitmaps) {
        if (layout.id != id) continue;
        width = layout.width;
        height = layout.height;
        return true;
    }
    return false;
}

}  // namespace platform
