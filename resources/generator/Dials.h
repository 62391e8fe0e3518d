// The printed scales of the knobs. The knob strips turn their pointers to exactly the
// angles these scales print, so both are computed from the same description.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

#include "skin/SkinLayout.h"

namespace skin {

struct DialMark {
  double value;        // 0..1 along the sweep
  std::string label;   // empty for a minor tick
};

struct Dial {
  int id;                     // the film strip's bitmap
  Rect rect;                  // the knob control's rectangle
  int frames;                 // film-strip frames, frame 0 = value 0
  double sweepDegrees;        // total pointer travel, symmetric about twelve o'clock
  double knobRadius;          // body radius, pixels
  double tickInner, tickOuter;
  double labelRadius;          // where the numbers' boxes begin
  double labelSize;
  std::vector<DialMark> marks;
  std::string name;           // caption under the knob
  double nameBaseline;        // editor y of the caption's baseline

  double centerX() const { return rect.centerX(); }
  double centerY() const { return rect.centerY(); }
  // Pointer angle in dial degrees (0 = twelve o'clock, clockwise) for a value 0..1.
  double angleFor(double value) const { return -sweepDegrees / 2 + sweepDegrees * value; }
  double angleForFrame(int frame) const {
    return angleFor(frames > 1 ? static_cast<double>(frame) / (frames - 1) : 0.0);
  }
};

Dial timeDial();
Dial compressionDial();
Dial outputDial();
Dial ratioDial();
std::vector<Dial> allDials();

// Prints the dial's ticks, numbers and caption onto the panel (editor coordinates).
void drawDialScale(cairo_t* cr, const Dial& dial);

}  // namespace skin
