#include "Switch.h"

#include <cmath>

#include "skin/SkinLayout.h"
#include "Paint.h"

namespace skin {
namespace {

constexpr int kPositions = kProcessSwitch.frames;
const char* const kPositionNames[kPositions] = {"Valve", "Clear", "Off"};
constexpr double kLabelBaseline = 60;  // editor y
constexpr double kPivotY = 102;        // editor y of the lever's pivot
constexpr double kLeverLength = 35;

// A click picks the position by thirds of the switch's width, so each name sits over
// the middle of its third.
double positionCenterX(int position) {
  const double third = kProcessSwitch.rect.width() / static_cast<double>(kPositions);
  return kProcessSwitch.rect.left + third * (position + 0.5);
}

double pivotX() { return kProcessSwitch.rect.centerX(); }

double leverAngle(int position) {
  // Aim the lever at the mark under its position's name.
  return std::atan2(positionCenterX(position) - pivotX(), kPivotY - (kLabelBaseline + 6));
}

void drawLever(cairo_t* cr, double px, double py, double angle) {
  cairo_save(cr);
  // Mounting nut: a hexagon with a chrome collar.
  cairo_new_path(cr);
  for (int i = 0; i < 6; ++i) {
    const double a = M_PI / 6 + i * M_PI / 3;
    cairo_line_to(cr, px + 15 * std::cos(a), py + 15 * std::sin(a));
  }
  cairo_close_path(cr);
  cairo_pattern_t* nut = cairo_pattern_create_linear(px - 12, py - 12, px + 12, py + 12);
  cairo_pattern_add_color_stop_rgb(nut, 0, 0.74, 0.74, 0.72);
  cairo_pattern_add_color_stop_rgb(nut, 1, 0.28, 0.28, 0.28);
  cairo_set_source(cr, nut);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(nut);
  cairo_set_line_width(cr, 1);
  setColor(cr, palette::kShadow, 0.6);
  cairo_stroke(cr);
  cairo_arc(cr, px, py, 8, 0, 2 * M_PI);
  setColor(cr, rgb8(20, 20, 20));
  cairo_fill(cr);

  // The bat: a tapered chrome shaft ending in a ball, with its shadow on the panel.
  cairo_translate(cr, px, py);
  cairo_rotate(cr, angle);
  auto shaft = [cr]() {
    cairo_move_to(cr, -4, 0);
    cairo_line_to(cr, -2.6, -kLeverLength);
    cairo_line_to(cr, 2.6, -kLeverLength);
    cairo_line_to(cr, 4, 0);
    cairo_close_path(cr);
    cairo_arc(cr, 0, -kLeverLength, 4.2, 0, 2 * M_PI);
  };
  cairo_save(cr);
  cairo_translate(cr, 2.5, 3);
  shaft();
  setColor(cr, palette::kShadow, 0.35);
  cairo_fill(cr);
  cairo_restore(cr);
  shaft();
  cairo_pattern_t* chrome = cairo_pattern_create_linear(-4, 0, 4, 0);
  cairo_pattern_add_color_stop_rgb(chrome, 0, 0.55, 0.55, 0.55);
  cairo_pattern_add_color_stop_rgb(chrome, 0.35, 0.96, 0.96, 0.95);
  cairo_pattern_add_color_stop_rgb(chrome, 1, 0.30, 0.30, 0.30);
  cairo_set_source(cr, chrome);
  cairo_fill(cr);
  cairo_pattern_destroy(chrome);
  // The ball end catches the light on its upper left, whatever the lever's angle.
  cairo_rotate(cr, -angle);
  const double bx = kLeverLength * std::sin(angle), by = -kLeverLength * std::cos(angle);
  cairo_pattern_t* ball = cairo_pattern_create_radial(bx - 1.5, by - 1.5, 0.5, bx, by, 4.4);
  cairo_pattern_add_color_stop_rgb(ball, 0, 1.0, 1.0, 1.0);
  cairo_pattern_add_color_stop_rgb(ball, 1, 0.42, 0.42, 0.42);
  cairo_arc(cr, bx, by, 4.4, 0, 2 * M_PI);
  cairo_set_source(cr, ball);
  cairo_fill(cr);
  cairo_pattern_destroy(ball);
  cairo_restore(cr);
}

}  // namespace

void drawSwitchLegend(cairo_t* cr) {
  for (int position = 0; position < kPositions; ++position) {
    drawText(cr, Font::LabelBold, 10, kPositionNames[position], positionCenterX(position),
             kLabelBaseline, Align::Center, palette::kPrint);
  }
  drawText(cr, Font::LabelBold, 11, "Process", pivotX(), 131, Align::Center, palette::kPrint);
}

SkinImage renderSwitchStrip(const Canvas& panel) {
  const Rect r = kProcessSwitch.rect;
  Canvas strip(r.width(), r.height() * kPositions);
  for (int position = 0; position < kPositions; ++position) {
    Canvas cell(r.width(), r.height());
    cell.paintFrom(panel, r.left, r.top);
    drawLever(cell.cr(), pivotX() - r.left, kPivotY - r.top, leverAngle(position));
    strip.place(cell, 0, position * r.height());
  }
  return imageOf(kProcessSwitch.id, strip);
}

}  // namespace skin
