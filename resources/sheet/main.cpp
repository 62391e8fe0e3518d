// krv-skin-sheet EDITOR.png [ABOUT.png]: the editor at its defaults, from the embedded skin.
#include <cstdio>

#include "ContactSheet.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: krv-skin-sheet EDITOR.png [ABOUT.png]\n");
    return 2;
  }
  return skin::writeContactSheet(argv[1], argc == 3 ? argv[2] : "") ? 0 : 1;
}
