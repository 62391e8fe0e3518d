// Output of the generator: the packed sets with their index for embedding, and one set's
// pixels as drawn.
#pragma once

#include <string>
#include <vector>

#include "SkinImage.h"

namespace skin {

// Every bitmap of the skin drawn at `factor` device pixels per logical pixel, in id order.
struct SkinSetImages {
  int factor;
  std::vector<SkinImage> images;
};

// Writes `packedPath` (each set's bitmaps back to back, every film-strip frame but the
// first as its byte-wise difference to the frame above, deflated as zlib streams of 1 MiB
// each) and `indexPath` (C++ tables: each set's streams and inflated size; each stream's
// place; each bitmap's factor, id, size, frames and offset into its inflated set). Files are replaced only when their
// content changes, so an unchanged skin does not relink anything.
void writePacked(const std::vector<SkinSetImages>& sets, const std::string& packedPath,
                 const std::string& indexPath);

// Writes all images' RGB rows back to back, as drawn.
void writeRaw(const std::vector<SkinImage>& images, const std::string& path);

}  // namespace skin
