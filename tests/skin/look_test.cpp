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
  const skin::BitmapLayout& strip;
  double bodyRadius;
  double tickRadius;  // middle of the printed ticks
  int labelEvery;     // frames between numbered ticks
};

const KnobCase kKnobs[] = {{skin::kTimeKnob, 27, 35, 2},
                           {skin::kCompressionKnob, 27, 35, 4},
                           {skin::kOutputKnob, 27, 35, 10},
                           {skin::kRatioKnob, 18, 23.5, 1}};

// The knobs turn through 270 degrees, value 0 at the lower left, 1 at the lower right.
double dialDegrees(int frame, int frames) { return -135.0 + 270.0 * frame / (frames - 1); }

}  // namespace

TEST(SkinLook, KnobPointersPointAtTheirPrintedValues) {
  for (const KnobCase& k : kKnobs) {
    const skin::BitmapLayout& layout = k.strip;
    const Strip strip(layout.id, layout.frames);
    const double c = layout.width / 2.0;
    const char* name = layout.name;
    for (int frame = 0; frame < layout.frames; frame += k.labelEvery) {
      const double angle = dialDegrees(frame, layout.frames);
      auto inFrame = [&](int x, int y) { return strip.at(frame, x, y); };
      auto pointerRay = [&](double degrees) {
        return rayLuminance(inFrame, c, c, degrees, 0.45 * k.bodyRadius, 0.8 * k.bodyRadius);
      };
      const double on = pointerRay(angle);
      const double left = pointerRay(angle - 35);
      const double right = pointerRay(angle + 35);
      EXPECT_GT(on, 140) << name << " frame " << frame;
      EXPECT_GT(on, left + 80) << name << " frame " << frame;
      EXPECT_GT(on, right + 80) << name << " frame " << frame;

      // The panel prints a tick at the same angle, just outside the knob.
      auto onPanel = [&](int x, int y) {
        return backgroundAt(layout.rect.left + x, layout.rect.top + y);
      };
      const double tick = rayLuminance(onPanel, c, c, angle, k.tickRadius - 1, k.tickRadius + 1);
      const double gap = rayLuminance(onPanel, c, c, angle + 5, k.tickRadius - 1, k.tickRadius + 1);
      EXPECT_GT(tick, gap + 60) << name << " tick for frame " << frame;
    }
  }
}

namespace {

// The editor's needle: 120 degrees at value 0 to 60 at value 1; its two-pixel body is
// centred half a pixel right of and below the pivot.
Pixel faceAt(int id, double value, double radius) {
  const double a = (120.0 - 60.0 * value) * kPi / 180;
  const double x = skin::kNeedlePivotX + 0.5 + radius * std::cos(a) - skin::kMeterLit.rect.left;
  const double y = skin::kNeedlePivotY + 0.5 - radius * std::sin(a) - skin::kMeterLit.rect.top;
  return Strip(id, 1).at(0, static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
}

double valueForDb(double db) { return 1 - std::pow(10.0, -db / 20); }

}  // namespace

TEST(SkinLook, MeterScaleLiesOnTheNeedleArcLinearInGain) {
  for (int id : {skin::kMeterLit.id, skin::kMeterUnlit.id}) {
    for (double db : {0.0, 2.0, 4.0, 6.0, 10.0, 20.0}) {
      const double tick = faceAt(id, valueForDb(db), 83.5).luminance();
      const double beside = faceAt(id, valueForDb(db) + 0.035, 83.5).luminance();
      EXPECT_GT(tick, beside + 40) << id << " tick at " << db << " dB";
    }
  }
}

TEST(SkinLook, NeedleStandsOutOnBothFaces) {
  struct Face { int id; Pixel needle; };
  for (Face f : {Face{skin::kMeterLit.id, {170, 165, 160}},
                 Face{skin::kMeterUnlit.id, {140, 135, 130}}}) {
    for (double value : {0.0, 0.25, 0.5, 0.75, 1.0}) {
      double sum = 0;
      int count = 0;
      for (double r = 50; r <= 76; r += 1, ++count) sum += faceAt(f.id, value, r).luminance();
      EXPECT_LT(sum / count, f.needle.luminance() - 70) << f.id << " at value " << value;
    }
  }
}

TEST(SkinLook, LitAndUnlitFacesAreClearlyDifferent) {
  const Strip lit(skin::kMeterLit.id, 1), unlit(skin::kMeterUnlit.id, 1);
  const int width = lit.width(), height = lit.frameHeight();
  double litSum = 0, unlitSum = 0, difference = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Pixel a = lit.at(0, x, y), b = unlit.at(0, x, y);
      litSum += a.luminance();
      unlitSum += b.luminance();
      difference += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
    }
  }
  EXPECT_GT(litSum, unlitSum * 1.4);
  EXPECT_GT(difference / (height * width * 3), 12);
}

TEST(SkinLook, SwitchLeverPointsAtValveClearOff) {
  // Frames 0, 1, 2 show the lever left, middle, right; a click picks by thirds.
  const skin::BitmapLayout& layout = skin::kProcessSwitch;
  const Strip strip(layout.id, layout.frames);
  for (int frame = 0; frame < layout.frames; ++frame) {
    double sumX = 0;
    int count = 0;
    for (int y = 16; y < 38; ++y) {
      for (int x = 0; x < layout.width; ++x) {
        if (!(strip.at(frame, x, y) == backgroundAt(layout.rect.left + x, layout.rect.top + y))) {
          sumX += x;
          ++count;
        }
      }
    }
    ASSERT_GT(count, 20) << "frame " << frame;
    const double third = layout.width / static_cast<double>(layout.frames);
    EXPECT_GE(sumX / count, frame * third) << "frame " << frame;
    EXPECT_LT(sumX / count, (frame + 1) * third) << "frame " << frame;
  }
}

TEST(SkinLook, AboutPictureKeepsTheVersionAreaDarkAndEmpty) {
  const Strip about(skin::kAbout.id, 1);
  const skin::Rect text = skin::kVersionText;
  int darkest = 255, brightest = 0;
  // One pixel of margin around the text's rectangle.
  for (int y = text.top - 1; y <= text.bottom + 1; ++y) {
    for (int x = text.left - 1; x <= text.right + 1; ++x) {
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
  const skin::Rect field = skin::kNameField;
  // Inside the field's one-pixel frame.
  for (int y = field.top + 1; y < field.bottom - 1; ++y) {
    for (int x = field.left + 1; x < field.right - 1; ++x) {
      EXPECT_GT(backgroundAt(x, y).luminance(), text + 90) << x << ", " << y;
    }
  }
}

TEST(SkinLook, BackgroundPrintsTheMenuArrowAndTheTitle) {
  auto brightPixels = [](skin::Rect r) {
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) count += backgroundAt(x, y).luminance() > 150;
    return count;
  };
  EXPECT_GE(brightPixels(skin::kProgramMenu), 6);
  EXPECT_GE(brightPixels(skin::kTitleArea), 150);
}
