#include "skin/SkinBitmaps.h"

#include <cstddef>

// The pixel blob, assembled in by SkinBlob.S.
extern "C" const unsigned char krv_skin_blob[];

namespace {

struct IndexEntry {
  int id;
  int width;
  int height;
  std::size_t offset;
};

constexpr IndexEntry kIndex[] = {
#include "SkinIndex.inc"
};
constexpr std::size_t kCount = sizeof(kIndex) / sizeof(kIndex[0]);

struct Table {
  SkinBitmap bitmaps[kCount];
  Table() {
    for (std::size_t i = 0; i < kCount; ++i) {
      bitmaps[i] = {kIndex[i].id, kIndex[i].width, kIndex[i].height,
                    krv_skin_blob + kIndex[i].offset};
    }
  }
};

}  // namespace

const SkinBitmap* findSkinBitmap(int id) {
  static const Table table;
  for (const SkinBitmap& bitmap : table.bitmaps) {
    if (bitmap.id == id) return &bitmap;
  }
  return nullptr;
}
