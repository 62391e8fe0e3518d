// krv-skin-gen: renders the editor's bitmaps.
//   krv-skin-gen --blob FILE --index FILE   pixel blob and index for embedding
//   krv-skin-gen --bmp DIR                  one 24-bit BMP per id, for a resource script
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "Fonts.h"
#include "Skin.h"
#include "SkinWriter.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: krv-skin-gen [--blob FILE --index FILE] [--bmp DIR]\n"
               "  --blob, --index  write the pixel blob and its C++ index\n"
               "  --bmp DIR        write DIR/<id>.bmp (24-bit) for every bitmap\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string blob, index, bmpDirectory;
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--blob") == 0 && hasValue) {
      blob = argv[++i];
    } else if (std::strcmp(argv[i], "--index") == 0 && hasValue) {
      index = argv[++i];
    } else if (std::strcmp(argv[i], "--bmp") == 0 && hasValue) {
      bmpDirectory = argv[++i];
    } else {
      return usage();
    }
  }
  if (blob.empty() != index.empty() || (blob.empty() && bmpDirectory.empty())) return usage();

  int status = 0;
  try {
    const auto images = skin::renderSkin();
    if (!blob.empty()) skin::writeEmbedding(images, blob, index);
    if (!bmpDirectory.empty()) skin::writeBmpFiles(images, bmpDirectory);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "krv-skin-gen: %s\n", error.what());
    status = 1;
  }
  skin::releaseFonts();
  return status;
}
