// Helpers for the skin tests: pixel access by frame, the editor's control rectangles
// and frame layouts as the editor uses them, and running the skin tools.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "skin/SkinBitmaps.h"

namespace skintest {

struct Pixel {
  int r, g, b;
  bool operator==(const Pixel& o) const { return r == o.r && g == o.g && b == o.b; }
  double luminance() const { return 0.2126 * r + 0.7152 * g + 0.0722 * b; }
};

inline std::ostream& operator<<(std::ostream& out, const Pixel& p) {
  return out << "(" << p.r << ", " << p.g << ", " << p.b << ")";
}

// A bitmap seen as a strip of equal frames.
class Strip {
 public:
  Strip(int id, int frames) : bitmap_(findSkinBitmap(id)), frames_(frames) {}
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

inline Pixel backgroundAt(int x, int y) { return Strip(12128, 1).at(0, x, y); }

struct Control {
  const char* name;
  int id;
  int frames;
  int left, top;
};

// Every control that draws a bitmap strip over the background, as the editor lays it out.
inline std::vector<Control> stripControls() {
  const int B = 309;
  return {{"process switch", 12129, 3, 262, 46},  {"time knob", 12173, 21, 28, 143},
          {"compression knob", 12171, 41, 143, 143}, {"output knob", 12177, 61, 258, 143},
          {"ratio knob", 12181, 7, 50, 50},       {"rocker", 19997, 5, 269, B - 24},
          {"save preset", 19999, 4, 55, B - 31},  {"load preset", 19998, 4, 119, B - 31},
          {"save bank", 19994, 4, 55, B - 15},    {"load bank", 19993, 4, 119, B - 15},
          {"store A", 19995, 4, 302, B - 31},     {"store B", 19996, 4, 302, B - 15},
          {"recall A", 19991, 4, 327, B - 31},    {"recall B", 19992, 4, 327, B - 15}};
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
