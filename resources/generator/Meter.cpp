#include "Meter.h"

#include <cmath>
#include <limits>

#include "skin/SkinLayout.h"
#include "Paint.h"

namespace skin {
namespace {

struct FaceInk {
  Color paperInner, paperOuter, print, printDim, redZone;
};

FaceInk inkFor(bool lit) {
  if (lit) {
    return {rgb8(92, 60, 24), rgb8(26, 18, 10), rgb8(255, 200, 110), rgb8(226, 160, 80),
            rgb8(255, 104, 60)};
  }
  return {rgb8(30, 30, 30), rgb8(14, 14, 14), rgb8(112, 108, 100), rgb8(84, 82, 76),
          rgb8(104, 76, 68)};
}

constexpr double kScaleRadius = 80;     // the printed arc
constexpr double kTickOuter = kNeedleOuterRadius;  // the needle's tip ends on the ticks
constexpr double kNumberRadius = 70.5;  // centre of the numbers

struct ScaleMark {
  double db;
  const char* label;  // null for a minor tick
};
constexpr ScaleMark kMarks[] = {{0, "0"},  {1, nullptr}, {2, "2"},   {3, nullptr},
                                {4, "4"},  {6, "6"},     {8, nullptr}, {10, "10"},
                                {15, nullptr}, {20, "20"},
                                {std::numeric_limits<double>::infinity(), nullptr}};  // end stop

}  // namespace

double meterValueForDb(double reductionDb) { return 1.0 - std::pow(10.0, -reductionDb / 20.0); }

double needleAngle(double value) {
  // Same sweep as the editor's needle: 120 degrees at 0, 60 at 1, y growing downward.
  const double a = (120.0 - 60.0 * value) * M_PI / 180.0;
  return -a;
}

void drawMeterFace(cairo_t* cr, int width, int height, double pivotX, double pivotY, bool lit) {
  const FaceInk ink = inkFor(lit);
  cairo_save(cr);
  cairo_pattern_t* glow = cairo_pattern_create_radial(pivotX, pivotY - 40, 4, pivotX,
                                                      pivotY - 40, width * 0.75);
  cairo_pattern_add_color_stop_rgb(glow, 0, ink.paperInner.r, ink.paperInner.g, ink.paperInner.b);
  cairo_pattern_add_color_stop_rgb(glow, 1, ink.paperOuter.r, ink.paperOuter.g, ink.paperOuter.b);
  cairo_rectangle(cr, 0, 0, width, height);
  cairo_set_source(cr, glow);
  cairo_fill(cr);
  cairo_pattern_destroy(glow);

  // The arc, with the heavy-reduction end in red.
  const double redFrom = meterValueForDb(10);
  cairo_set_line_width(cr, 1.0);
  setColor(cr, ink.print);
  cairo_arc(cr, pivotX, pivotY, kScaleRadius, needleAngle(0), needleAngle(redFrom));
  cairo_stroke(cr);
  cairo_set_line_width(cr, 2.5);
  setColor(cr, ink.redZone);
  cairo_arc(cr, pivotX, pivotY, kScaleRadius + 1.25, needleAngle(redFrom), needleAngle(1));
  cairo_stroke(cr);

  for (const ScaleMark& mark : kMarks) {
    const double a = needleAngle(meterValueForDb(mark.db));
    const bool major = mark.label != nullptr;
    const double outer = major ? kTickOuter : kScaleRadius + 3.5;
    const Color c = mark.db >= 10 ? ink.redZone : ink.print;
    cairo_set_line_width(cr, major ? 1.3 : 1.0);
    setColor(cr, c);
    cairo_move_to(cr, pivotX + kScaleRadius * std::cos(a), pivotY + kScaleRadius * std::sin(a));
    cairo_line_to(cr, pivotX + outer * std::cos(a), pivotY + outer * std::sin(a));
    cairo_stroke(cr);
    if (major) {
      // The needle rests on the zero tick: its number stands just clear to the left.
      const double la = mark.db == 0 ? needleAngle(-0.075) : a;
      drawTextCentered(cr, Font::Label, 9, mark.label, pivotX + kNumberRadius * std::cos(la),
                       pivotY + kNumberRadius * std::sin(la), c);
    }
  }
  drawTextCentered(cr, Font::LabelBold, 9, "dB", pivotX, height - 11, ink.printDim);
  cairo_restore(cr);
}

void drawMeterBezel(cairo_t* cr) {
  const Rect face = kMeterLit.rect;
  cairo_save(cr);
  // Frame plate, lit from the upper left.
  roundedRectangle(cr, face.left - 6, face.top - 6, face.width() + 12, face.height() + 12, 4);
  cairo_pattern_t* plate = cairo_pattern_create_linear(0, face.top - 6, 0, face.bottom + 6);
  cairo_pattern_add_color_stop_rgb(plate, 0, 0.30, 0.31, 0.32);
  cairo_pattern_add_color_stop_rgb(plate, 1, 0.12, 0.12, 0.13);
  cairo_set_source(cr, plate);
  cairo_fill(cr);
  cairo_pattern_destroy(plate);
  insetFrame(cr, face.left, face.top, face.right, face.bottom, 1.0);
  cairo_restore(cr);
}

SkinImage renderMeterFace(bool lit) {
  const BitmapLayout& layout = lit ? kMeterLit : kMeterUnlit;
  const Rect face = layout.rect;
  Canvas canvas(face.width(), face.height());
  // The needle is two pixels wide with truncated end points: its centre line runs half
  // a pixel right of and below the nominal pivot.
  drawMeterFace(canvas.cr(), face.width(), face.height(), kNeedlePivotX - face.left + 0.5,
                kNeedlePivotY - face.top + 0.5, lit);
  return imageOf(layout.id, canvas);
}

SkinImage renderMeterExtra() {
  // Never drawn by the editor; kept as the face inside its bezel at the bitmap's size.
  const Rect face = kMeterLit.rect;
  Canvas canvas(kMeterExtra.width, kMeterExtra.height);
  cairo_t* cr = canvas.cr();
  cairo_set_source_rgb(cr, 0.12, 0.12, 0.13);
  cairo_paint(cr);
  cairo_translate(cr, 6, 1);
  drawMeterFace(cr, face.width(), face.height(), kNeedlePivotX - face.left + 0.5,
                kNeedlePivotY - face.top + 0.5, true);
  return imageOf(kMeterExtra.id, canvas);
}

}  // namespace skin
