#include "Fonts.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <cstring>
#include <map>
#include <stdexcept>
#include <string>

namespace skin {
namespace {

struct FontRequest {
  const char* family;
  const char* style;
};

FontRequest requestFor(Font font) {
  switch (font) {
    case Font::Label: return {"Nimbus Sans Narrow", "Regular"};
    case Font::LabelBold: return {"Nimbus Sans Narrow", "Bold"};
    case Font::Title: return {"URW Gothic", "Demi"};
    case Font::TitleBook: return {"URW Gothic", "Book"};
    case Font::Arial: return {"Liberation Sans", "Regular"};
  }
  throw std::logic_error("unknown font");
}

std::map<Font, cairo_font_face_t*>& loadedFaces() {
  static std::map<Font, cairo_font_face_t*> faces;
  return faces;
}

cairo_font_face_t* loadFace(Font font) {
  const FontRequest request = requestFor(font);
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.family));
  FcPatternAddString(pattern, FC_STYLE, reinterpret_cast<const FcChar8*>(request.style));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  FcChar8* family = nullptr;
  FcChar8* style = nullptr;
  FcChar8* file = nullptr;
  int index = 0;
  const bool found =
      match && FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
      FcPatternGetString(match, FC_STYLE, 0, &style) == FcResultMatch &&
      FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
      std::strcmp(reinterpret_cast<const char*>(family), request.family) == 0 &&
      std::strcmp(reinterpret_cast<const char*>(style), request.style) == 0;
  if (!found) {
    if (match) FcPatternDestroy(match);
    throw std::runtime_error(std::string("font not installed: ") + request.family + " " +
                             request.style + " (see scripts/install-deps.sh)");
  }
  FcPatternGetInteger(match, FC_INDEX, 0, &index);
  // Only the file goes on: the user's rendering preferences (subpixel order, hinting)
  // that the match carries must not change the skin's pixels.
  FcPattern* fileOnly = FcPatternCreate();
  FcPatternAddString(fileOnly, FC_FILE, file);
  FcPatternAddInteger(fileOnly, FC_INDEX, index);
  FcPatternDestroy(match);
  cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(fileOnly);
  FcPatternDestroy(fileOnly);
  return face;
}

}  // namespace

void useFont(cairo_t* cr, Font font, double pixelSize) {
  auto& faces = loadedFaces();
  auto found = faces.find(font);
  if (found == faces.end()) found = faces.emplace(font, loadFace(font)).first;
  cairo_set_font_face(cr, found->second);
  cairo_set_font_size(cr, pixelSize);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  cairo_font_options_set_subpixel_order(options, CAIRO_SUBPIXEL_ORDER_DEFAULT);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

void releaseFonts() {
  for (auto& entry : loadedFaces()) cairo_font_face_destroy(entry.second);
  loadedFaces().clear();
  cairo_debug_reset_static_data();
  FcFini();
}

}  // namespace skin
