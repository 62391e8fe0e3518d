// Controls are drawn opaque over their whole rectangle, so whatever a frame shows
// outside the control's own body must be the background at that editor position:
// otherwise a seam appears whenever the control redraws.
#include <gtest/gtest.h>

#include <functional>

#include "SkinTestSupport.h"

using namespace skintest;

namespace {

// Whether the control draws at a point of its frame, in logical pixels.
using DrawnPart = std::function<bool(double x, double y)>;

DrawnPart disc(double cx, double cy, double radius) {
  return [=](double x, double y) {
    const double dx = x - cx, dy = y - cy;
    return dx * dx + dy * dy <= radius * radius;
  };
}

// Everything but a one-pixel ring along the edges.
DrawnPart inset(int width, int height) {
  return [=](double x, double y) { return x >= 1 && y >= 1 && x < width - 1 && y < height - 1; };
}

constexpr int kFactors[] = {1, 2};

DrawnPart drawnPartOf(const Control& c) {
  switch (c.id) {
    case 12171: case 12173: case 12177: return disc(57, 57, 36);
    case 12181: return disc(35, 35, 25);
    case 12129: return disc(53, 56, 46);  // the lever and its nut around the pivot
    case 19997: return inset(31, 14);
    default: return inset(12, 14);
  }
}

// Counts frame pixels outside the drawn part that differ from the background, in the set's
// own pixels; the control's position `c` is in them too.
int seamPixels(const SkinSet& set, const Control& c, int frame, const DrawnPart& drawn,
               std::string& first) {
  const Strip strip(set, c.id, c.frames);
  const double f = set.factor();
  int differing = 0;
  for (int y = 0; y < strip.frameHeight(); ++y) {
    for (int x = 0; x < strip.width(); ++x) {
      if (drawn((x + 0.5) / f, (y + 0.5) / f)) continue;
      const Pixel got = strip.at(frame, x, y);
      const Pixel want = backgroundAt(set, c.left + x, c.top + y);
      if (!(got == want)) {
        if (differing++ == 0) {
          std::ostringstream where;
          where << "at (" << x << ", " << y << "): " << got << " vs background " << want;
          first = where.str();
        }
      }
    }
  }
  return differing;
}

// The control as the editor places it, in the set's own pixels.
Control placedIn(const SkinSet& set, Control c) {
  c.left *= set.factor();
  c.top *= set.factor();
  return c;
}

}  // namespace

// Each set is drawn natively: at 2x too, every frame must start from the panel exactly.
TEST(SkinSeams, EveryFrameMatchesTheBackgroundAroundTheControl) {
  for (int factor : kFactors) {
    const auto held = skinSet(factor);
    const SkinSet& set = *held;
    for (const Control& c : stripControls()) {
      const DrawnPart drawn = drawnPartOf(c);
      for (int frame = 0; frame < c.frames; ++frame) {
        std::string first;
        EXPECT_EQ(seamPixels(set, placedIn(set, c), frame, drawn, first), 0)
            << factor << "x " << c.name << " frame " << frame << " " << first;
      }
    }
  }
}

TEST(SkinSeams, FrameCornersAreBackground) {
  for (int factor : kFactors) {
    const auto held = skinSet(factor);
    const SkinSet& set = *held;
    for (const Control& control : stripControls()) {
      const Control c = placedIn(set, control);
      const Strip strip(set, c.id, c.frames);
      const int w = strip.width(), h = strip.frameHeight();
      for (int frame = 0; frame < c.frames; ++frame) {
        for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}}) {
          EXPECT_EQ(strip.at(frame, x, y), backgroundAt(set, c.left + x, c.top + y))
              << factor << "x " << c.name << " frame " << frame << " corner (" << x << ", " << y
              << ")";
        }
      }
    }
  }
}

TEST(SkinSeams, TheSeamCheckNoticesAMisplacedBackdrop) {
  // The same comparison one pixel off must fail where the panel carries print (scales,
  // names): the check compares real structure, not a flat colour that matches anywhere.
  for (int factor : kFactors) {
    const auto held = skinSet(factor);
    const SkinSet& set = *held;
    for (const Control& c : stripControls()) {
      if (c.id >= 19991) continue;  // the preset row's buttons sit on plain panel
      Control shifted = placedIn(set, c);
      shifted.left += 1;
      std::string first;
      EXPECT_GT(seamPixels(set, shifted, 0, drawnPartOf(c), first), 0) << factor << "x " << c.name;
    }
  }
}
