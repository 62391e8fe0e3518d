// The editor's bitmaps, generated at build time and embedded packed in the library: one
// set drawn natively at 1x and one at 2x the editor's logical pixels.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

struct SkinBitmap {
  int id;
  int width;   // in the set's own pixels
  int height;
  const unsigned char* rgb;  // rows top to bottom, 3 bytes per pixel (red, green, blue),
                             // stride 3 * width
};

// Every bitmap of one set, inflated. Immutable, so any thread may read it.
class SkinSet {
 public:
  SkinSet(int factor, std::unique_ptr<unsigned char[]> pixels, std::vector<SkinBitmap> bitmaps);
  SkinSet(const SkinSet&) = delete;
  SkinSet& operator=(const SkinSet&) = delete;

  // Device pixels per logical pixel: every bitmap is this many times its logical size.
  int factor() const { return factor_; }
  // The bitmap with resource id `id`, or null for an unknown id.
  const SkinBitmap* find(int id) const;
  // Every bitmap, in id order.
  const std::vector<SkinBitmap>& bitmaps() const { return bitmaps_; }

 private:
  int factor_;
  std::unique_ptr<unsigned char[]> pixels_;
  std::vector<SkinBitmap> bitmaps_;
};

// The bitmaps drawn natively at factor 1 or 2: inflated when first asked for and shared by
// every holder; null for any other factor, or when the embedded data does not inflate to the
// sizes its index promises.
std::shared_ptr<const SkinSet> openSkinSet(int factor);

// The bitmap with resource id `id` of the 1x set, which stays for the process once asked
// for; null for an unknown id.
const SkinBitmap* findSkinBitmap(int id);

// For tests and benchmarks: the packed bytes embedded for `factor` (empty for a factor
// without a set), and a set inflated from `packed` as the embedded one would be, without
// the cache; null unless `packed` inflates to exactly the sizes the index promises.
struct PackedSkinSet {
  const unsigned char* data;
  std::size_t size;
};
PackedSkinSet packedSkinSet(int factor);
std::shared_ptr<const SkinSet> inflateSkinSet(int factor, const unsigned char* packed,
                                              std::size_t size);
