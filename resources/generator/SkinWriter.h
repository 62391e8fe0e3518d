// Output of the generator: the packed pixel blob with its index for embedding, and
// 24-bit BMP files for a Windows resource script.
#pragma once

#include <string>
#include <vector>

#include "SkinImage.h"

namespace skin {

// Writes `blobPath` (all images' RGB rows back to back) and `indexPath` (a C++ table of
// id, width, height and byte offset into the blob). Files are replaced only when their
// content changes, so an unchanged skin does not relink anything.
void writeEmbedding(const std::vector<SkinImage>& images, const std::string& blobPath,
                    const std::string& indexPath);

// Writes DIR/<id>.bmp for every image (bottom-up BGR rows padded to 4 bytes) and DIR/skin.rc,
// the resource script that names each by its id.
void writeBmpFiles(const std::vector<SkinImage>& images, const std::string& directory);

}  // namespace skin
