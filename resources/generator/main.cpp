// krv-skin-gen: renders the editor's bitmaps.
//   krv-skin-gen --packed FILE --index FILE   the 1x and 2x sets, packed, and their index
//   krv-skin-gen --raw FILE [--scale N]       one set's pixels as drawn (default 1x)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "Fonts.h"
#include "Skin.h"
#include "SkinWriter.h"

namespace {

// The factors the plug-in embeds.
constexpr int kEmbeddedFactors[] = {1, 2};

int usage() {
  std::fprintf(stderr,
               "usage: krv-skin-gen [--packed FILE --index FILE] [--raw FILE [--scale N]]\n"
               "  --packed, --index  write the 1x and 2x sets packed, and their C++ index\n"
               "  --raw FILE         write one set's RGB pixels back to back, in id order\n"
               "  --scale N          the set --raw writes: device pixels per logical pixel,\n"
               "                     1 to 3 (default 1)\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string packed, index, raw;
  double scale = 1;
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--packed") == 0 && hasValue) {
      packed = argv[++i];
    } else if (std::strcmp(argv[i], "--index") == 0 && hasValue) {
      index = argv[++i];
    } else if (std::strcmp(argv[i], "--raw") == 0 && hasValue) {
      raw = argv[++i];
    } else if (std::strcmp(argv[i], "--scale") == 0 && hasValue) {
      char* end = nullptr;
      scale = std::strtod(argv[++i], &end);
      if (*end != '\0' || !(scale >= 1 && scale <= 3)) return usage();
    } else {
      return usage();
    }
  }
  if (packed.empty() != index.empty() || (packed.empty() && raw.empty())) return usage();

  int status = 0;
  try {
    if (!packed.empty()) {
      std::vector<skin::SkinSetImages> sets;
      for (int factor : kEmbeddedFactors) sets.push_back({factor, skin::renderSkin(factor)});
      skin::writePacked(sets, packed, index);
    }
    if (!raw.empty()) skin::writeRaw(skin::renderSkin(scale), raw);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "krv-skin-gen: %s\n", error.what());
    status = 1;
  }
  skin::releaseFonts();
  return status;
}
