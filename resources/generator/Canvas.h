// An opaque RGB drawing surface backed by cairo, and the conversion to the packed
// 24-bit rows the plug-in embeds. Drawing is in the editor's logical pixels; the surface
// holds `scale` device pixels per logical pixel, so one drawing gives every resolution.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <vector>

namespace skin {

class Canvas {
 public:
  // Device pixels per logical pixel of every canvas made from now on (1 by default).
  static void setScale(double scale);
  static double scale();

  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // Logical size, the units everything is drawn in.
  int width() const { return width_; }
  int height() const { return height_; }
  // Size in device pixels: what rgb() holds.
  int deviceWidth() const { return deviceWidth_; }
  int deviceHeight() const { return deviceHeight_; }
  cairo_t* cr() const { return cr_; }

  // Copies `source` so that its pixel (sourceX, sourceY) lands on this canvas's (0, 0).
  void paintFrom(const Canvas& source, int sourceX, int sourceY);
  // Copies all of `source` to (x, y) of this canvas.
  void place(const Canvas& source, int x, int y);

  // Device pixel rows top to bottom, 3 bytes per pixel: red, green, blue.
  std::vector<std::uint8_t> rgb() const;

 private:
  int width_;
  int height_;
  int deviceWidth_;
  int deviceHeight_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

}  // namespace skin
