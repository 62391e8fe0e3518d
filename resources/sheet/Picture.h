// An RGB picture assembled from skin bitmaps, drawn on the way the editor's context
// draws, and saved as PNG.
#pragma once

#include <string>
#include <vector>

#include "skin/SkinBitmaps.h"
#include "skin/SkinLayout.h"

namespace skin {

class Picture {
 public:
  Picture(int width, int height);

  void fill(int r, int g, int b);
  void set(int x, int y, int r, int g, int b);
  // Copies `frame` of `bitmap` (frames stacked top to bottom, each `frameHeight` rows)
  // with its top-left corner at (x, y).
  void blit(const SkinBitmap& bitmap, int frame, int frameHeight, int x, int y);
  // A one-pixel line from (x0, y0) to (x1, y1), end point excluded, clipped to `clip`.
  void line(int x0, int y0, int x1, int y1, Rect clip, int r, int g, int b);
  // `text` in the editor's "Arial" (fontconfig resolves the face), centred in `box`.
  void text(const char* text, double pixelSize, Rect box, int r, int g, int b);

  bool savePng(const std::string& path) const;

 private:
  int width_, height_;
  std::vector<unsigned char> rgb_;
};

}  // namespace skin
