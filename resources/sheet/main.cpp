// krv-skin-sheet EDITOR.png [ABOUT.png [STATES.png]]: the editor at its defaults, the
// about picture with its version text, and every control's states, from the embedded skin.
#include <cstdio>

#include "ContactSheet.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: krv-skin-sheet EDITOR.png [ABOUT.png [STATES.png]]\n");
    return 2;
  }
  if (!skin::writeContactSheet(argv[1], argc >= 3 ? argv[2] : "")) return 1;
  if (argc == 4 && !skin::writeStateSheet(argv[3])) return 1;
  return 0;
}
