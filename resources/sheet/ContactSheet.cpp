#include "ContactSheet.h"

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "skin/SkinBitmaps.h"

namespace skin {
namespace {

class Picture {
 public:
  Picture(int width, int height) : width_(width), height_(height), rgb_(width * height * 3u) {}

  // Copies `frame` of `bitmap` (frames stacked top to bottom, each `frameHeight` rows)
  // with its top-left corner at (x, y).
  void blit(const SkinBitmap& bitmap, int frame, int frameHeight, int x, int y) {
    for (int row = 0; row < frameHeight; ++row) {
      const unsigned char* source = bitmap.rgb + (frame * frameHeight + row) * bitmap.width * 3;
      for (int column = 0; column < bitmap.width; ++column) {
        set(x + column, y + row, source[column * 3], source[column * 3 + 1],
            source[column * 3 + 2]);
      }
    }
  }

  void set(int x, int y, int r, int g, int b) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    unsigned char* p = &rgb_[(y * width_ + x) * 3u];
    p[0] = static_cast<unsigned char>(r);
    p[1] = static_cast<unsigned char>(g);
    p[2] = static_cast<unsigned char>(b);
  }

  // A one-pixel line from (x0, y0) to (x1, y1), the end point excluded, clipped to
  // `clip` (left, top, right, bottom): the way the editor's context draws lines.
  void line(int x0, int y0, int x1, int y1, const int clip[4], int r, int g, int b) {
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    while (x0 != x1 || y0 != y1) {
      if (x0 >= clip[0] && x0 < clip[2] && y0 >= clip[1] && y0 < clip[3]) set(x0, y0, r, g, b);
      const int twice = 2 * error;
      if (twice >= dy) { error += dy; x0 += sx; }
      if (twice <= dx) { error += dx; y0 += sy; }
    }
  }

  bool savePng(const std::string& path) const {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height_; ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
      for (int x = 0; x < width_; ++x) {
        const unsigned char* p = &rgb_[(y * width_ + x) * 3u];
        row[x] = (0xffu << 24) | (p[0] << 16) | (p[1] << 8) | p[2];
      }
    }
    cairo_surface_mark_dirty(surface);
    const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
  }

  // Draws `text` with the toy font API; the editor uses "Arial", which fontconfig
  // resolves to a metric-compatible face.
  void text(const char* text, double size, int left, int top, int right, int bottom, int r,
            int g, int b) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height_; ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
      for (int x = 0; x < width_; ++x) {
        const unsigned char* p = &rgb_[(y * width_ + x) * 3u];
        row[x] = (p[0] << 16) | (p[1] << 8) | p[2];
      }
    }
    cairo_surface_mark_dirty(surface);
    cairo_t* cr = cairo_create(surface);
    cairo_select_font_face(cr, "Arial", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    const double x = left + (right - left - extents.x_advance) / 2;
    const double y = top + (bottom - top) / 2.0 + (font.ascent - font.descent) / 2;
    cairo_set_source_rgb(cr, r / 255.0, g / 255.0, b / 255.0);
    cairo_move_to(cr, std::round(x), std::round(y));
    cairo_show_text(cr, text);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    for (int y0 = 0; y0 < height_; ++y0) {
      auto* row = reinterpret_cast<std::uint32_t*>(data + y0 * stride);
      for (int x0 = 0; x0 < width_; ++x0) set(x0, y0, (row[x0] >> 16) & 0xff, (row[x0] >> 8) & 0xff, row[x0] & 0xff);
    }
    cairo_surface_destroy(surface);
  }

 private:
  int width_, height_;
  std::vector<unsigned char> rgb_;
};

struct Placement {
  int id;
  int frames;
  int frame;
  int left, top;
};

// The editor at its defaults: "Valve", ratio 3:1, time 5, compression 5, output 0 dB.
constexpr Placement kPlacements[] = {
    {12129, 3, 0, 262, 46},    {12173, 21, 10, 28, 143},  {12171, 41, 20, 143, 143},
    {12177, 61, 0, 258, 143},  {12181, 7, 3, 50, 50},     {19997, 5, 0, 269, 285},
    {19993, 4, 0, 119, 294},   {19994, 4, 0, 55, 294},    {19998, 4, 0, 119, 278},
    {19999, 4, 0, 55, 278},    {19991, 4, 0, 327, 278},   {19992, 4, 0, 327, 294},
    {19995, 4, 0, 302, 278},   {19996, 4, 0, 302, 294},   {12151, 1, 0, 150, 66},
};

// The needle of the gain-reduction meter at `value`, lit.
void drawNeedle(Picture& picture, double value) {
  const double pi = 3.141592653589793;
  const double a = (120.0 / 180.0) * pi - (pi * 60.0 / 180.0) * value;
  const double c = -std::cos(a), s = std::sin(a);
  const double px = 200, py = 155, inner = 3, outer = 86;
  const int clip[4] = {150, 66, 250, 109};
  const double offsets[5][2] = {{1, 0}, {0, 0}, {1, 1}, {0, 1}, {0.5, 0.5}};
  for (const auto& o : offsets) {
    const int x0 = static_cast<int>(px + o[0] - inner * c), y0 = static_cast<int>(py + o[1] - inner * s);
    const int x1 = static_cast<int>(px + o[0] - outer * c), y1 = static_cast<int>(py + o[1] - outer * s);
    picture.line(x0, y0, x1, y1, clip, 170, 165, 160);
  }
}

// The frames of every strip side by side, for reviewing each control's states.
struct StateRow {
  int id;
  int frames;
  std::vector<int> shown;
};

bool missing(int id);

bool writeStates(const std::string& path) {
  const std::vector<StateRow> rows = {
      {12173, 21, {0, 5, 10, 15, 20}},  {12171, 41, {0, 10, 20, 30, 40}},
      {12177, 61, {0, 15, 30, 45, 60}}, {12181, 7, {0, 1, 2, 3, 4, 5, 6}},
      {12129, 3, {0, 1, 2}},            {12151, 1, {0}},
      {12153, 1, {0}},                  {12152, 1, {0}},
      {19997, 5, {0, 1, 2, 3, 4}},      {19999, 4, {0, 1, 2, 3}},
      {19991, 4, {0, 1, 2, 3}}};
  const int gap = 6;
  int width = 0, height = gap;
  for (const StateRow& row : rows) {
    const SkinBitmap* b = findSkinBitmap(row.id);
    if (!b) return missing(row.id);
    const int rowWidth = gap + static_cast<int>(row.shown.size()) * (b->width + gap);
    width = rowWidth > width ? rowWidth : width;
    height += b->height / row.frames + gap;
  }
  Picture sheet(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) sheet.set(x, y, 24, 24, 26);
  int y = gap;
  for (const StateRow& row : rows) {
    const SkinBitmap* b = findSkinBitmap(row.id);
    const int frameHeight = b->height / row.frames;
    int x = gap;
    for (int frame : row.shown) {
      sheet.blit(*b, frame, frameHeight, x, y);
      x += b->width + gap;
    }
    y += frameHeight + gap;
  }
  if (!sheet.savePng(path)) {
    std::fprintf(stderr, "contact sheet: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

bool missing(int id) {
  std::fprintf(stderr, "contact sheet: bitmap %d is missing\n", id);
  return false;
}

}  // namespace

bool writeStateSheet(const std::string& statesPng) { return writeStates(statesPng); }

bool writeContactSheet(const std::string& editorPng, const std::string& aboutPng) {
  const SkinBitmap* background = findSkinBitmap(12128);
  if (!background) return missing(12128);
  Picture editor(background->width, background->height);
  editor.blit(*background, 0, background->height, 0, 0);
  for (const Placement& p : kPlacements) {
    const SkinBitmap* bitmap = findSkinBitmap(p.id);
    if (!bitmap) return missing(p.id);
    editor.blit(*bitmap, p.frame, bitmap->height / p.frames, p.left, p.top);
  }
  drawNeedle(editor, 0.0);
  editor.text("Current", 11, 138, 285, 251, 299, 76, 76, 72);
  if (!editor.savePng(editorPng)) {
    std::fprintf(stderr, "contact sheet: cannot write %s\n", editorPng.c_str());
    return false;
  }
  if (aboutPng.empty()) return true;
  const SkinBitmap* about = findSkinBitmap(12200);
  if (!about) return missing(12200);
  Picture splash(about->width, about->height);
  splash.blit(*about, 0, about->height, 0, 0);
  splash.text("v. 1.1.6", 12, 297, 70, 344, 81, 200, 200, 200);
  if (!splash.savePng(aboutPng)) {
    std::fprintf(stderr, "contact sheet: cannot write %s\n", aboutPng.c_str());
    return false;
  }
  return true;
}

}  // namespace skin
