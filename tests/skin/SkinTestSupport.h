// Helpers for the skin tests: pixel access by frame, the editor's control rectangles
// and frame layouts as the editor uses them, and running the skin tools.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "skin/SkinBitmaps.h"
#include "skin/SkinLayout.h"

namespace skintest {

struct Pixel {
  int r, g, b;
  bool operator==(const Pixel& o) const { return r == o.r && g == o.g && b == o.b; }
  double luminance() const { return 0.2126 * r + 0.7152 * g + 0.0722 * b; }
};

inline std::ostream& operator<<(std::ostream& out, const Pixel& p) {
  return out << "(" << p.r << ", " << p.g << ", " << p.b << ")";
}

// The embedded set of `factor` (1 or 2); it stays while the caller holds it.
inline std::shared_ptr<const SkinSet> skinSet(int factor) {
  std::shared_ptr<const SkinSet> set = openSkinSet(factor);
  if (!set) throw std::runtime_error("the embedded skin does not inflate");
  return set;
}

// A bitmap seen as a strip of equal frames, of the 1x set unless another is given.
class Strip {
 public:
  Strip(int id, int frames) : bitmap_(findSkinBitmap(id)), frames_(frames) {}
  Strip(const SkinSet& set, int id, int frames) : bitmap_(set.find(id)), frames_(frames) {}
  bool exists() const { return bitmap_ != nullptr; }
  int width() const { return bitmap_->width; }
  int frameHeight() const { return bitmap_->height / frames_; }
  int frames() const { return frames_; }
  Pixel at(int frame, int x, int y) const {
    const unsigned char* p =
        bitmap_->rgb + (static_cast<size_t>(frame * frameHeight() + y) * bitmap_->width + x) * 3;
    return {p[0], p[1], p[2]};
  }

 private:
  const SkinBitmap* bitmap_;
  int frames_;
};

inline Pixel backgroundAt(int x, int y) { return Strip(skin::kBackground.id, 1).at(0, x, y); }
inline Pixel backgroundAt(const SkinSet& set, int x, int y) {
  return Strip(set, skin::kBackground.id, 1).at(0, x, y);
}

struct Control {
  const char* name;
  int id;
  int frames;
  int left, top;
};

// Every control that draws a bitmap strip over the background, as the editor lays it out.
inline std::vector<Control> stripControls() {
  std::vector<Control> controls;
  for (const skin::BitmapLayout& b : skin::kBitmaps) {
    if (b.frames > 1) controls.push_back({b.name, b.id, b.frames, b.rect.left, b.rect.top});
  }
  return controls;
}

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A fresh empty directory under the test's temporary directory.
inline std::string freshDirectory(const std::string& name) {
  const auto path = std::filesystem::path(::testing::TempDir()) / ("krv-skin-" + name);
  std::filesystem::remove_all(path);
  std::filesystem::create_directories(path);
  return path.string();
}

inline int run(const std::string& command) { return std::system((command + " 2>&1").c_str()); }

}  // namespace skintest
