// krv-skin-sheet EDITOR.png [ABOUT.png [STATES.png]]: the editor at its defaults, the
// about picture with its version text, and every control's states, from the embedded skin.
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstdio>

#include "ContactSheet.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: krv-skin-sheet EDITOR.png [ABOUT.png [STATES.png]]\n");
    return 2;
  }
  bool ok = skin::writeContactSheet(argv[1], argc >= 3 ? argv[2] : "");
  if (ok && argc == 4) ok = skin::writeStateSheet(argv[3]);
  // Drop the font caches so leak checkers see a clean exit.
  cairo_debug_reset_static_data();
  FcFini();
  return ok ? 0 : 1;
}
