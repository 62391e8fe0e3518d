// The typefaces of the panel, found through fontconfig by family and style. A missing
// family is an error, never a silent fallback: the skin must look the same everywhere.
#pragma once

#include <cairo.h>

namespace skin {

enum class Font {
  Label,      // panel lettering: a narrow grotesque
  LabelBold,
  Title,      // the product name
  TitleBook,
  Arial,      // what the editor itself uses for its texts
};

// Selects `font` at `pixelSize` on `cr` with the skin's fixed rendering options
// (grey antialiasing, slight hinting) so every run renders the same pixels.
void useFont(cairo_t* cr, Font font, double pixelSize);

// Releases the loaded faces and fontconfig's caches (keeps leak checkers quiet).
void releaseFonts();

}  // namespace skin
