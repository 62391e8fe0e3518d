// Drawing helpers shared by every part of the skin: the palette, text placement and a
// few hardware shapes. Light falls from the upper left everywhere.
#pragma once

#include <cairo.h>

#include "Fonts.h"

namespace skin {

struct Color {
  double r, g, b;
};

constexpr Color rgb8(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }

namespace palette {
constexpr Color kPanelTop = rgb8(62, 64, 66);
constexpr Color kPanelBottom = rgb8(46, 48, 50);
constexpr Color kPrint = rgb8(226, 222, 210);      // silkscreen lettering
constexpr Color kPrintDim = rgb8(160, 158, 150);   // secondary lettering, minor ticks
constexpr Color kAccent = rgb8(232, 160, 64);      // amber
constexpr Color kHighlight = rgb8(255, 255, 255);
constexpr Color kShadow = rgb8(0, 0, 0);
}  // namespace palette

void setColor(cairo_t* cr, Color c, double alpha = 1.0);

enum class Align { Left, Center, Right };

// Draws `text` with its baseline at y, anchored at x by `align`; the anchor is rounded
// to whole pixels so hinted glyphs stay crisp.
void drawText(cairo_t* cr, Font font, double size, const char* text, double x, double y,
              Align align, Color color);
// Width of `text` in pixels.
double textWidth(cairo_t* cr, Font font, double size, const char* text);
// Draws `text` centred on (x, y) by its ink box.
void drawTextCentered(cairo_t* cr, Font font, double size, const char* text, double x,
                      double y, Color color);

void roundedRectangle(cairo_t* cr, double x, double y, double w, double h, double radius);

// A one-pixel line between pixel centres, crisp for horizontal and vertical runs.
void pixelLine(cairo_t* cr, int x0, int y0, int x1, int y1, Color c, double alpha = 1.0);

// A recessed (sunken) rectangular opening: dark upper-left inner edge, light lower-right.
void insetFrame(cairo_t* cr, int left, int top, int right, int bottom, double strength);

// A countersunk panel screw with its slot at `slotAngle` radians.
void drawScrew(cairo_t* cr, double cx, double cy, double radius, double slotAngle);

// Degrees on a knob dial, 0 at twelve o'clock, clockwise, to the cairo angle.
double dialToCairo(double degrees);

}  // namespace skin
