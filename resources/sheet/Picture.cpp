#include "Picture.h"

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace skin {
namespace {

cairo_surface_t* surfaceOf(const std::vector<unsigned char>& rgb, int width, int height) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
    for (int x = 0; x < width; ++x) {
      const unsigned char* p = &rgb[(y * width + x) * 3u];
      row[x] = 0xff000000u | (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
    }
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}

}  // namespace

Picture::Picture(int width, int height)
    : width_(width), height_(height), rgb_(static_cast<size_t>(width) * height * 3) {}

void Picture::fill(int r, int g, int b) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) set(x, y, r, g, b);
}

void Picture::set(int x, int y, int r, int g, int b) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  unsigned char* p = &rgb_[(y * width_ + x) * 3u];
  p[0] = static_cast<unsigned char>(r);
  p[1] = static_cast<unsigned char>(g);
  p[2] = static_cast<unsigned char>(b);
}

void Picture::blit(const SkinBitmap& bitmap, int frame, int frameHeight, int x, int y) {
  for (int row = 0; row < frameHeight; ++row) {
    const unsigned char* source = bitmap.rgb + (frame * frameHeight + row) * bitmap.width * 3;
    for (int column = 0; column < bitmap.width; ++column) {
      set(x + column, y + row, source[column * 3], source[column * 3 + 1], source[column * 3 + 2]);
    }
  }
}

void Picture::line(int x0, int y0, int x1, int y1, Rect clip, int r, int g, int b) {
  const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int error = dx + dy;
  while (x0 != x1 || y0 != y1) {
    if (x0 >= clip.left && x0 < clip.right && y0 >= clip.top && y0 < clip.bottom) {
      set(x0, y0, r, g, b);
    }
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x0 += sx;
    }
    if (twice <= dx) {
      error += dx;
      y0 += sy;
    }
  }
}

void Picture::text(const char* text, double pixelSize, Rect box, int r, int g, int b) {
  cairo_surface_t* surface = surfaceOf(rgb_, width_, height_);
  cairo_t* cr = cairo_create(surface);
  cairo_select_font_face(cr, "Arial", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, pixelSize);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text, &extents);
  cairo_font_extents_t font;
  cairo_font_extents(cr, &font);
  const double x = box.left + (box.right - box.left - extents.x_advance) / 2;
  const double y = box.top + (box.bottom - box.top) / 2.0 + (font.ascent - font.descent) / 2;
  cairo_set_source_rgb(cr, r / 255.0, g / 255.0, b / 255.0);
  cairo_move_to(cr, std::round(x), std::round(y));
  cairo_show_text(cr, text);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int yy = 0; yy < height_; ++yy) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + yy * stride);
    for (int xx = 0; xx < width_; ++xx) {
      set(xx, yy, row[xx] >> 16 & 0xff, row[xx] >> 8 & 0xff, row[xx] & 0xff);
    }
  }
  cairo_surface_destroy(surface);
}

bool Picture::savePng(const std::string& path) const {
  cairo_surface_t* surface = surfaceOf(rgb_, width_, height_);
  const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok;
}

}  // namespace skin
