#include "ContactSheet.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "Picture.h"

namespace skin {
namespace {

struct Placement {
  int id;
  int frames;
  int frame;
  int left, top;
};

// The editor at its defaults: "Valve", ratio 3:1, time 5, compression 5, output 0 dB,
// every button at rest, the meter lit.
constexpr Placement kPlacements[] = {
    {12129, 3, 0, 262, 46},   {12173, 21, 10, 28, 143}, {12171, 41, 20, 143, 143},
    {12177, 61, 0, 258, 143}, {12181, 7, 3, 50, 50},    {19997, 5, 0, 269, 285},
    {19993, 4, 0, 119, 294},  {19994, 4, 0, 55, 294},   {19998, 4, 0, 119, 278},
    {19999, 4, 0, 55, 278},   {19991, 4, 0, 327, 278},  {19992, 4, 0, 327, 294},
    {19995, 4, 0, 302, 278},  {19996, 4, 0, 302, 294},  {12151, 1, 0, 150, 66},
};

// The meter's lit needle at `value`, as the meter draws it: five one-pixel lines
// between truncated end points, clipped to the face.
void drawNeedle(Picture& picture, double value) {
  const double pi = 3.141592653589793;
  const double a = (120.0 / 180.0) * pi - (pi * 60.0 / 180.0) * value;
  const double c = -std::cos(a), s = std::sin(a);
  const double px = 200, py = 155, inner = 3, outer = 86;
  const double offsets[5][2] = {{1, 0}, {0, 0}, {1, 1}, {0, 1}, {0.5, 0.5}};
  for (const auto& o : offsets) {
    picture.line(static_cast<int>(px + o[0] - inner * c), static_cast<int>(py + o[1] - inner * s),
                 static_cast<int>(px + o[0] - outer * c), static_cast<int>(py + o[1] - outer * s),
                 {150, 66, 250, 109}, 170, 165, 160);
  }
}

bool missing(int id) {
  std::fprintf(stderr, "contact sheet: bitmap %d is missing\n", id);
  return false;
}

bool save(const Picture& picture, const std::string& path) {
  if (picture.savePng(path)) return true;
  std::fprintf(stderr, "contact sheet: cannot write %s\n", path.c_str());
  return false;
}

struct StateRow {
  int id;
  int frames;
  std::vector<int> shown;
};

}  // namespace

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
  editor.text("Current", 11, {138, 285, 251, 299}, 76, 76, 72);
  if (!save(editor, editorPng)) return false;
  if (aboutPng.empty()) return true;

  const SkinBitmap* about = findSkinBitmap(12200);
  if (!about) return missing(12200);
  Picture splash(about->width, about->height);
  splash.blit(*about, 0, about->height, 0, 0);
  splash.text("v. 1.1.6", 12, {297, 70, 344, 81}, 200, 200, 200);
  return save(splash, aboutPng);
}

bool writeStateSheet(const std::string& statesPng) {
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
  sheet.fill(24, 24, 26);
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
  return save(sheet, statesPng);
}

}  // namespace skin
