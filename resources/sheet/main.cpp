// krv-skin-sheet [--scale N] EDITOR.png [ABOUT.png [STATES.png]]: the editor at its
// defaults, the about picture with its version text, and every control's states, from the
// embedded skin drawn at factor N (1 or 2; default 1).
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstring>

#include "ContactSheet.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: krv-skin-sheet [--scale 1|2] EDITOR.png [ABOUT.png [STATES.png]]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1, factor = 1;
  if (argc > 2 && std::strcmp(argv[1], "--scale") == 0) {
    if (std::strcmp(argv[2], "1") == 0) {
      factor = 1;
    } else if (std::strcmp(argv[2], "2") == 0) {
      factor = 2;
    } else {
      return usage();
    }
    first = 3;
  }
  const int files = argc - first;
  if (files < 1 || files > 3) return usage();
  const auto skin = openSkinSet(factor);
  if (!skin) {
    std::fprintf(stderr, "contact sheet: the embedded %dx skin does not inflate\n", factor);
    return 1;
  }
  bool ok = skin::writeContactSheet(*skin, argv[first], files >= 2 ? argv[first + 1] : "");
  if (ok && files == 3) ok = skin::writeStateSheet(*skin, argv[first + 2]);
  // Drop the font caches so leak checkers see a clean exit.
  cairo_debug_reset_static_data();
  FcFini();
  return ok ? 0 : 1;
}
