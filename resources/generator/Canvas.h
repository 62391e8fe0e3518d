// An opaque RGB drawing surface backed by cairo, and the conversion to the packed
// 24-bit rows the plug-in embeds.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <vector>

namespace skin {

class Canvas {
 public:
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }
  cairo_t* cr() const { return cr_; }

  // Copies `source` so that its pixel (sourceX, sourceY) lands on this canvas's (0, 0).
  void paintFrom(const Canvas& source, int sourceX, int sourceY);
  // Copies all of `source` to (x, y) of this canvas.
  void place(const Canvas& source, int x, int y);

  // Rows top to bottom, 3 bytes per pixel: red, green, blue.
  std::vector<std::uint8_t> rgb() const;

 private:
  int width_;
  int height_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

}  // namespace skin
