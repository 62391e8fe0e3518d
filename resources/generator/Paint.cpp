#include "Paint.h"

#include <cmath>

namespace skin {
namespace {

// Device pixels per user unit along x and y: the transformation times the surface's scale.
void deviceScale(cairo_t* cr, double& sx, double& sy) {
  cairo_surface_get_device_scale(cairo_get_target(cr), &sx, &sy);
}

// User space to the surface's pixel grid and back. cairo's "device space" stops short of
// the surface's device scale, which these include.
void userToPixels(cairo_t* cr, double& x, double& y) {
  double sx, sy;
  deviceScale(cr, sx, sy);
  cairo_user_to_device(cr, &x, &y);
  x *= sx;
  y *= sy;
}

void pixelsToUser(cairo_t* cr, double& x, double& y) {
  double sx, sy;
  deviceScale(cr, sx, sy);
  x /= sx;
  y /= sy;
  cairo_device_to_user(cr, &x, &y);
}

// Moves to (x, y) rounded to whole pixels of the surface, so hinted glyphs stay crisp at
// any scale.
void moveToWholePixel(cairo_t* cr, double x, double y) {
  userToPixels(cr, x, y);
  x = std::round(x);
  y = std::round(y);
  pixelsToUser(cr, x, y);
  cairo_move_to(cr, x, y);
}

}  // namespace

void setColor(cairo_t* cr, Color c, double alpha) {
  cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

double textWidth(cairo_t* cr, Font font, double size, const char* text) {
  useFont(cr, font, size);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text, &extents);
  return extents.x_advance;
}

void drawText(cairo_t* cr, Font font, double size, const char* text, double x, double y,
              Align align, Color color) {
  const double width = textWidth(cr, font, size, text);
  double left = x;
  if (align == Align::Center) left = x - width / 2;
  if (align == Align::Right) left = x - width;
  moveToWholePixel(cr, left, y);
  setColor(cr, color);
  cairo_show_text(cr, text);
  cairo_new_path(cr);
}

void drawTextCentered(cairo_t* cr, Font font, double size, const char* text, double x,
                      double y, Color color) {
  useFont(cr, font, size);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text, &extents);
  const double left = x - extents.width / 2 - extents.x_bearing;
  const double baseline = y - extents.height / 2 - extents.y_bearing;
  moveToWholePixel(cr, left, baseline);
  setColor(cr, color);
  cairo_show_text(cr, text);
  cairo_new_path(cr);
}

void roundedRectangle(cairo_t* cr, double x, double y, double w, double h, double radius) {
  const double r = std::fmin(radius, std::fmin(w, h) / 2);
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void pixelLine(cairo_t* cr, int x0, int y0, int x1, int y1, Color c, double alpha) {
  // One logical pixel is `width` whole device pixels; the line runs through the middle of
  // the device pixels that start where its logical pixels start, so its edges never blur.
  double ux = 1, uy = 0;
  cairo_user_to_device_distance(cr, &ux, &uy);
  double sx, sy;
  deviceScale(cr, sx, sy);
  const double width = std::fmax(1, std::round(std::hypot(ux, uy) * sx));
  double ax = x0, ay = y0, bx = x1, by = y1;
  userToPixels(cr, ax, ay);
  userToPixels(cr, bx, by);
  ax = std::round(ax) + width / 2;
  ay = std::round(ay) + width / 2;
  bx = std::round(bx) + width / 2;
  by = std::round(by) + width / 2;
  pixelsToUser(cr, ax, ay);
  pixelsToUser(cr, bx, by);
  cairo_save(cr);
  cairo_set_line_width(cr, width / sx / std::hypot(ux, uy));
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
  setColor(cr, c, alpha);
  cairo_move_to(cr, ax, ay);
  cairo_line_to(cr, bx, by);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void insetFrame(cairo_t* cr, int left, int top, int right, int bottom, double strength) {
  // Outer ring: shadow above and left, highlight below and right.
  pixelLine(cr, left - 1, top - 1, right, top - 1, palette::kShadow, 0.55 * strength);
  pixelLine(cr, left - 1, top, left - 1, bottom - 1, palette::kShadow, 0.55 * strength);
  pixelLine(cr, left - 1, bottom, right, bottom, palette::kHighlight, 0.22 * strength);
  pixelLine(cr, right, top - 1, right, bottom - 1, palette::kHighlight, 0.16 * strength);
}

void drawScrew(cairo_t* cr, double cx, double cy, double radius, double slotAngle) {
  cairo_save(cr);
  // Countersink shadow and rim.
  cairo_arc(cr, cx, cy, radius + 1, 0, 2 * M_PI);
  setColor(cr, palette::kShadow, 0.45);
  cairo_fill(cr);
  cairo_pattern_t* head = cairo_pattern_create_linear(cx - radius, cy - radius, cx + radius,
                                                      cy + radius);
  cairo_pattern_add_color_stop_rgb(head, 0, 0.78, 0.78, 0.76);
  cairo_pattern_add_color_stop_rgb(head, 1, 0.36, 0.36, 0.35);
  cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
  cairo_set_source(cr, head);
  cairo_fill(cr);
  cairo_pattern_destroy(head);
  // The slot: dark groove with a lit lower edge.
  const double dx = std::cos(slotAngle) * (radius - 0.8);
  const double dy = std::sin(slotAngle) * (radius - 0.8);
  cairo_set_line_width(cr, 1.2);
  setColor(cr, palette::kShadow, 0.75);
  cairo_move_to(cr, cx - dx, cy - dy);
  cairo_line_to(cr, cx + dx, cy + dy);
  cairo_stroke(cr);
  cairo_restore(cr);
}

double dialToCairo(double degrees) { return (degrees - 90.0) * M_PI / 180.0; }

}  // namespace skin
