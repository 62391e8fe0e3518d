#include "Knobs.h"

#include <cmath>

#include "Paint.h"

namespace skin {
namespace {

void softShadow(cairo_t* cr, double cx, double cy, double radius) {
  // Stacked translucent discs give a cheap, deterministic blur below and right.
  for (int i = 4; i >= 1; --i) {
    cairo_arc(cr, cx + 1.5, cy + 2.5, radius + i * 0.8, 0, 2 * M_PI);
    setColor(cr, palette::kShadow, 0.09);
    cairo_fill(cr);
  }
}

void fillRadial(cairo_t* cr, double cx, double cy, double radius, Color inner, Color outer) {
  cairo_pattern_t* p = cairo_pattern_create_radial(cx - radius * 0.35, cy - radius * 0.45, 0,
                                                   cx, cy, radius * 1.1);
  cairo_pattern_add_color_stop_rgb(p, 0, inner.r, inner.g, inner.b);
  cairo_pattern_add_color_stop_rgb(p, 1, outer.r, outer.g, outer.b);
  cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

}  // namespace

void drawKnob(cairo_t* cr, double cx, double cy, double radius, double angleDegrees) {
  cairo_save(cr);
  softShadow(cr, cx, cy, radius);

  // Skirt: dark body with a lit upper-left rim.
  fillRadial(cr, cx, cy, radius, rgb8(70, 70, 72), rgb8(16, 16, 17));
  cairo_set_line_width(cr, 1);
  cairo_arc(cr, cx, cy, radius - 0.5, dialToCairo(-100), dialToCairo(10));
  setColor(cr, palette::kHighlight, 0.28);
  cairo_stroke(cr);

  // Grip flutes turn with the knob.
  const int flutes = radius > 20 ? 36 : 20;
  const double fluteInner = radius * 0.80;
  cairo_set_line_width(cr, radius > 20 ? 1.3 : 1.0);
  for (int i = 0; i < flutes; ++i) {
    const double a = dialToCairo(angleDegrees + 360.0 * (i + 0.5) / flutes);
    cairo_move_to(cr, cx + fluteInner * std::cos(a), cy + fluteInner * std::sin(a));
    cairo_line_to(cr, cx + (radius - 1) * std::cos(a), cy + (radius - 1) * std::sin(a));
    setColor(cr, palette::kShadow, 0.55);
    cairo_stroke(cr);
  }

  // Cap: a lighter top face stepped in from the skirt.
  const double cap = radius * 0.74;
  cairo_arc(cr, cx, cy, cap + 1, 0, 2 * M_PI);
  setColor(cr, palette::kShadow, 0.5);
  cairo_fill(cr);
  fillRadial(cr, cx, cy, cap, rgb8(84, 85, 88), rgb8(30, 30, 32));
  cairo_arc(cr, cx, cy, cap - 0.5, dialToCairo(-110), dialToCairo(20));
  setColor(cr, palette::kHighlight, 0.22);
  cairo_stroke(cr);

  // Pointer: an inlaid line from near the centre to the skirt's edge.
  const double a = dialToCairo(angleDegrees);
  const double from = radius * 0.28;
  const double to = radius - 2;
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, radius > 20 ? 2.6 : 2.0);
  cairo_move_to(cr, cx + from * std::cos(a), cy + from * std::sin(a));
  cairo_line_to(cr, cx + to * std::cos(a), cy + to * std::sin(a));
  setColor(cr, palette::kPrint);
  cairo_stroke(cr);
  cairo_restore(cr);
}

SkinImage renderKnobStrip(const Canvas& panel, const Dial& dial) {
  const int w = dial.rect.width();
  const int h = dial.rect.height();
  Canvas strip(w, h * dial.frames);
  for (int frame = 0; frame < dial.frames; ++frame) {
    Canvas cell(w, h);
    cell.paintFrom(panel, dial.rect.left, dial.rect.top);
    drawKnob(cell.cr(), w / 2.0, h / 2.0, dial.knobRadius, dial.angleForFrame(frame));
    strip.place(cell, 0, frame * h);
  }
  return imageOf(dial.id, strip);
}

}  // namespace skin
