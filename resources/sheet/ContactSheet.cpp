#include "ContactSheet.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "KrvVersion.h"
#include "Picture.h"

namespace skin {
namespace {

struct Placement {
  const BitmapLayout& bitmap;
  int frame;
};

// The frame a film strip shows for `value`, rounded as the knobs round it.
int frameFor(const BitmapLayout& strip, double value) {
  return static_cast<int>((strip.frames - 1) * value + 0.5);
}

// The editor at its defaults: "Valve", ratio 3:1, time 5, compression 5, output 0 dB,
// every button at rest, the meter lit.
const Placement kPlacements[] = {
    {kProcessSwitch, 0}, {kTimeKnob, frameFor(kTimeKnob, 0.5)},
    {kCompressionKnob, frameFor(kCompressionKnob, 0.5)}, {kOutputKnob, 0},
    {kRatioKnob, frameFor(kRatioKnob, 0.5)}, {kRocker, 0}, {kLoadBank, 0}, {kSaveBank, 0},
    {kLoadPreset, 0}, {kSavePreset, 0}, {kRecallA, 0}, {kRecallB, 0}, {kStoreA, 0},
    {kStoreB, 0}, {kMeterLit, 0},
};

Rect scaled(Rect r, int factor) {
  return {r.left * factor, r.top * factor, r.right * factor, r.bottom * factor};
}

// The meter's lit needle at `value`, as the meter draws it: five one-pixel lines
// between truncated end points, clipped to the face; at a factor, each line is that many
// device pixels thick.
void drawNeedle(Picture& picture, double value, int factor) {
  const double pi = 3.141592653589793;
  const double a = (120.0 / 180.0) * pi - (pi * 60.0 / 180.0) * value;
  const double c = -std::cos(a), s = std::sin(a);
  const double px = kNeedlePivotX, py = kNeedlePivotY;
  const double inner = kNeedleInnerRadius, outer = kNeedleOuterRadius;
  const double offsets[5][2] = {{1, 0}, {0, 0}, {1, 1}, {0, 1}, {0.5, 0.5}};
  for (const auto& o : offsets) {
    for (int dy = 0; dy < factor; ++dy) {
      for (int dx = 0; dx < factor; ++dx) {
        picture.line(static_cast<int>((px + o[0] - inner * c) * factor + dx),
                     static_cast<int>((py + o[1] - inner * s) * factor + dy),
                     static_cast<int>((px + o[0] - outer * c) * factor + dx),
                     static_cast<int>((py + o[1] - outer * s) * factor + dy),
                     scaled(kMeterLit.rect, factor), 170, 165, 160);
      }
    }
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

// The frames a state sheet row shows: all of a short strip, five evenly spaced of a knob.
std::vector<int> shownFrames(const BitmapLayout& strip) {
  std::vector<int> shown;
  const int count = strip.frames <= 7 ? strip.frames : 5;
  for (int i = 0; i < count; ++i) {
    shown.push_back(count > 1 ? i * (strip.frames - 1) / (count - 1) : 0);
  }
  return shown;
}

}  // namespace

bool writeContactSheet(const SkinSet& skin, const std::string& editorPng,
                       const std::string& aboutPng) {
  const int factor = skin.factor();
  const SkinBitmap* background = skin.find(kBackground.id);
  if (!background) return missing(kBackground.id);
  Picture editor(background->width, background->height);
  editor.blit(*background, 0, background->height, 0, 0);
  for (const Placement& p : kPlacements) {
    const SkinBitmap* bitmap = skin.find(p.bitmap.id);
    if (!bitmap) return missing(p.bitmap.id);
    editor.blit(*bitmap, p.frame, bitmap->height / p.bitmap.frames, p.bitmap.rect.left * factor,
                p.bitmap.rect.top * factor);
  }
  drawNeedle(editor, 0.0, factor);
  editor.text("Current", 11 * factor, scaled(kNameField, factor), 76, 76, 72);
  if (!save(editor, editorPng)) return false;
  if (aboutPng.empty()) return true;

  const SkinBitmap* about = skin.find(kAbout.id);
  if (!about) return missing(kAbout.id);
  Picture splash(about->width, about->height);
  splash.blit(*about, 0, about->height, 0, 0);
  splash.text("v. " KRV_VERSION_TEXT, 12 * factor, scaled(kVersionText, factor), 200, 200, 200);
  return save(splash, aboutPng);
}

bool writeStateSheet(const SkinSet& skin, const std::string& statesPng) {
  const BitmapLayout* rows[] = {&kTimeKnob,  &kCompressionKnob, &kOutputKnob, &kRatioKnob,
                                &kProcessSwitch, &kMeterLit,   &kMeterUnlit, &kMeterExtra,
                                &kRocker,    &kSavePreset,      &kRecallA};
  const int gap = 6 * skin.factor();
  int width = 0, height = gap;
  for (const BitmapLayout* row : rows) {
    const SkinBitmap* b = skin.find(row->id);
    if (!b) return missing(row->id);
    const int rowWidth = gap + static_cast<int>(shownFrames(*row).size()) * (b->width + gap);
    width = rowWidth > width ? rowWidth : width;
    height += b->height / row->frames + gap;
  }
  Picture sheet(width, height);
  sheet.fill(24, 24, 26);
  int y = gap;
  for (const BitmapLayout* row : rows) {
    const SkinBitmap* b = skin.find(row->id);
    const int frameHeight = b->height / row->frames;
    int x = gap;
    for (int frame : shownFrames(*row)) {
      sheet.blit(*b, frame, frameHeight, x, y);
      x += b->width + gap;
    }
    y += frameHeight + gap;
  }
  return save(sheet, statesPng);
}

}  // namespace skin
