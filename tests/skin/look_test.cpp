// What the user reads off the skin: pointers at the printed values, the meter scale on
// the needle's arc, the switch lever at its named position, and the areas the editor
// writes text into.
#include <gtest/gtest.h>

#include <cmath>

#include "SkinTestSupport.h"

using namespace skintest;

namespace {

constexpr double kPi = 3.141592653589793;

// Mean luminance along a ray from (cx, cy), `degrees` clockwise from twelve o'clock.
template <typename PixelAt>
double rayLuminance(PixelAt pixelAt, double cx, double cy, double degrees, double from, double to) {
  const double a = degrees * kPi / 180;
  double sum = 0;
  int count = 0;
  for (double r = from; r <= to; r += 0.5, ++count) {
    sum += pixelAt(static_cast<int>(std::floor(cx + r * std::sin(a))),
                   static_cast<int>(std::floor(cy - r * std::cos(a))))
               .luminance();
  }
  return sum / count;
}

struct KnobCase {
  const char* name;
  int id, frames, left, top, size;
  double bodyRadius;
  double tickRadius;  // middle of the printed ticks
  int labelEvery;     // frames between numbered ticks
};

constexpr KnobCase kKnobs[] = {{"time", 12173, 21, 28, 143, 114, 27, 35, 2},
                               {"compression", 12171, 41, 143, 143, 114, 27, 35, 4},
                               {"output", 12177, 61, 258, 143, 114, 27, 35, 10},
                               {"ratio", 12181, 7, 50, 50, 70, 18, 23.5, 1}};

// The knobs turn through 270 degrees, value 0 at the lower left, 1 at the lower right.
double dialDegrees(int frame, int frames) { return -135.0 + 270.0 * frame / (frames - 1); }

}  // namespace

TEST(SkinLook, KnobPointersPointAtTheirPrintedValues) {
  for (const KnobCase& k : kKnobs) {
    const Strip strip(k.id, k.frames);
    const double c = k.size / 2.0;
    for (int frame = 0; frame < k.frames; frame += k.labelEvery) {
      const double angle = dialDegrees(frame, k.frames);
      auto inFrame = [&](int x, int y) { return strip.at(frame, x, y); };
      auto pointerRay = [&](double degrees) {
        return rayLuminance(inFrame, c, c, degrees, 0.45 * k.bodyRadius, 0.8 * k.bodyRadius);
      };
      const double on = pointerRay(angle);
      const double left = pointerRay(angle - 35);
      const double right = pointerRay(angle + 35);
      EXPECT_GT(on, 140) << k.name << " frame " << frame;
      EXPECT_GT(on, left + 80) << k.name << " frame " << frame;
      EXPECT_GT(on, right + 80) << k.name << " frame " << frame;

      // The panel prints a tick at the same angle, just outside the knob.
      auto onPanel = [&](int x, int y) { return backgroundAt(k.left + x, k.top + y); };
      const double tick = rayLuminance(onPanel, c, c, angle, k.tickRadius - 1, k.tickRadius + 1);
      const double gap = rayLuminance(onPanel, c, c, angle + 5, k.tickRadius - 1, k.tickRadius + 1);
      EXPECT_GT(tick, gap + 60) << k.name << " tick for frame " << frame;
    }
  }
}

namespace {

// The editor's needle: pivot (200, 155), 120 degrees at value 0 to 60 at value 1; its
// two-pixel body is centred half a pixel right of and below the pivot.
Pixel faceAt(int id, double value, double radius) {
  const double a = (120.0 - 60.0 * value) * kPi / 180;
  const double x = 200.5 + radius * std::cos(a) - 150;
  const double y = 155.5 - radius * std::sin(a) - 66;
  return Strip(id, 1).at(0, static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
}

double valueForDb(double db) { return 1 - std::pow(10.0, -db / 20); }

}  // namespace

TEST(SkinLook, MeterScaleLiesOnTheNeedleArcLinearInGain) {
  for (int id : {12151, 12153}) {
    for (double db : {0.0, 2.0, 4.0, 6.0, 10.0, 20.0}) {
      const double tick = faceAt(id, valueForDb(db), 83.5).luminance();
      const double beside = faceAt(id, valueForDb(db) + 0.035, 83.5).luminance();
      EXPECT_GT(tick, beside + 40) << id << " tick at " << db << " dB";
    }
  }
}

TEST(SkinLook, NeedleStandsOutOnBothFaces) {
  struct Face { int id; Pixel needle; };
  for (Face f : {Face{12151, {170, 165, 160}}, Face{12153, {140, 135, 130}}}) {
    for (double value : {0.0, 0.25, 0.5, 0.75, 1.0}) {
      double sum = 0;
      int count = 0;
      for (double r = 50; r <= 76; r += 1, ++count) sum += faceAt(f.id, value, r).luminance();
      EXPECT_LT(sum / count, f.needle.luminance() - 70) << f.id << " at value " << value;
    }
  }
}

TEST(SkinLook, LitAndUnlitFacesAreClearlyDifferent) {
  const Strip lit(12151, 1), unlit(12153, 1);
  double litSum = 0, unlitSum = 0, difference = 0;
  for (int y = 0; y < 43; ++y) {
    for (int x = 0; x < 100; ++x) {
      const Pixel a = lit.at(0, x, y), b = unlit.at(0, x, y);
      litSum += a.luminance();
      unlitSum += b.luminance();
      difference += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
    }
  }
  EXPECT_GT(litSum, unlitSum * 1.4);
  EXPECT_GT(difference / (43 * 100 * 3), 12);
}

TEST(SkinLook, SwitchLeverPointsAtValveClearOff) {
  // Frames 0, 1, 2 show the lever left, middle, right; a click picks by thirds.
  const Strip strip(12129, 3);
  for (int frame = 0; frame < 3; ++frame) {
    double sumX = 0;
    int count = 0;
    for (int y = 16; y < 38; ++y) {
      for (int x = 0; x < 106; ++x) {
        if (!(strip.at(frame, x, y) == backgroundAt(262 + x, 46 + y))) {
          sumX += x;
          ++count;
        }
      }
    }
    ASSERT_GT(count, 20) << "frame " << frame;
    const double third = 106.0 / 3;
    EXPECT_GE(sumX / count, frame * third) << "frame " << frame;
    EXPECT_LT(sumX / count, (frame + 1) * third) << "frame " << frame;
  }
}

TEST(SkinLook, AboutPictureKeepsTheVersionAreaDarkAndEmpty) {
  const Strip about(12200, 1);
  int darkest = 255, brightest = 0;
  for (int y = 69; y <= 82; ++y) {
    for (int x = 296; x <= 345; ++x) {
      const int l = static_cast<int>(about.at(0, x, y).luminance());
      darkest = std::min(darkest, l);
      brightest = std::max(brightest, l);
    }
  }
  EXPECT_LT(brightest, 60);
  EXPECT_LT(brightest - darkest, 12) << "something is drawn where the version goes";
}

TEST(SkinLook, NameFieldIsALightWindowForDarkText) {
  const double text = Pixel{76, 76, 72}.luminance();
  for (int y = 286; y < 298; ++y) {
    for (int x = 139; x < 250; ++x) {
      EXPECT_GT(backgroundAt(x, y).luminance(), text + 90) << x << ", " << y;
    }
  }
}

TEST(SkinLook, BackgroundPrintsTheMenuArrowAndTheTitle) {
  auto brightPixels = [](int left, int top, int right, int bottom) {
    int count = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) count += backgroundAt(x, y).luminance() > 150;
    return count;
  };
  EXPECT_GE(brightPixels(254, 285, 264, 299), 6);
  EXPECT_GE(brightPixels(96, 22, 304, 46), 150);
}
