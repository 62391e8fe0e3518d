#include "About.h"

#include <cmath>

#include "skin/SkinLayout.h"
#include "Paint.h"

namespace skin {
namespace {

constexpr double kMarginLeft = 56;

void paintBackdrop(cairo_t* cr) {
  cairo_pattern_t* bg = cairo_pattern_create_linear(0, 0, 0, kAbout.height);
  cairo_pattern_add_color_stop_rgb(bg, 0, 0.105, 0.105, 0.115);
  cairo_pattern_add_color_stop_rgb(bg, 1, 0.035, 0.035, 0.04);
  cairo_set_source(cr, bg);
  cairo_paint(cr);
  cairo_pattern_destroy(bg);
  pixelLine(cr, 0, 0, kAbout.width - 1, 0, palette::kHighlight, 0.15);
  pixelLine(cr, 0, kAbout.height - 1, kAbout.width - 1, kAbout.height - 1, palette::kShadow, 0.8);
}

// The principle of the product as a small drawing: a lamp lighting a photocell.
void drawOptoCell(cairo_t* cr, double x, double y) {
  cairo_save(cr);
  // Housing.
  roundedRectangle(cr, x + 0.5, y + 0.5, 92, 40, 5);
  setColor(cr, palette::kPrintDim, 0.6);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  // Lamp with its glow.
  const double lx = x + 22, ly = y + 20.5;
  cairo_pattern_t* glow = cairo_pattern_create_radial(lx, ly, 1, lx, ly, 18);
  cairo_pattern_add_color_stop_rgba(glow, 0, 1.0, 0.75, 0.35, 0.9);
  cairo_pattern_add_color_stop_rgba(glow, 1, 1.0, 0.55, 0.15, 0.0);
  cairo_set_source(cr, glow);
  cairo_arc(cr, lx, ly, 18, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(glow);
  cairo_arc(cr, lx, ly, 6, 0, 2 * M_PI);
  setColor(cr, palette::kAccent);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  // Light falling on the cell.
  for (int i = -1; i <= 1; ++i) {
    cairo_move_to(cr, lx + 11, ly + i * 5);
    cairo_line_to(cr, x + 56, ly + i * 7);
  }
  setColor(cr, palette::kAccent, 0.6);
  cairo_stroke(cr);
  // Photocell: a disc with its serpentine track.
  const double cx = x + 70, cy = ly;
  cairo_arc(cr, cx, cy, 11, 0, 2 * M_PI);
  setColor(cr, rgb8(120, 60, 40));
  cairo_fill(cr);
  cairo_move_to(cr, cx - 6.5, cy - 6);
  for (int i = 0; i < 4; ++i) {
    const double yy = cy - 6 + i * 3;
    const double side = (i % 2 == 0) ? cx + 6.5 : cx - 6.5;
    cairo_line_to(cr, side, yy);
    cairo_line_to(cr, side, yy + 3);
  }
  cairo_line_to(cr, cx + 6.5, cy + 6);
  setColor(cr, rgb8(230, 200, 150));
  cairo_set_line_width(cr, 0.9);
  cairo_stroke(cr);
  cairo_restore(cr);
}

}  // namespace

SkinImage renderAbout() {
  Canvas canvas(kAbout.width, kAbout.height);
  cairo_t* cr = canvas.cr();
  paintBackdrop(cr);

  // The name ends where the editor's version text ends, right below it.
  const double right = kVersionText.right;
  drawText(cr, Font::Title, 34, "KRV tarnwick", right, 58, Align::Right, palette::kPrint);
  drawText(cr, Font::Label, 14, "opto compressor", kMarginLeft, 80, Align::Left, palette::kAccent);
  pixelLine(cr, static_cast<int>(kMarginLeft), 94, static_cast<int>(right), 94, palette::kPrintDim,
            0.45);

  const char* lines[] = {"A stereo compressor with an optical-style gain cell",
                         "and a valve saturation stage."};
  double y = 118;
  for (const char* line : lines) {
    drawText(cr, Font::Label, 12, line, kMarginLeft, y, Align::Left, palette::kPrint);
    y += 16;
  }
  struct Row { const char* name; const char* meaning; };
  const Row modes[] = {{"Valve", "compress and saturate"},
                       {"Clear", "compress only"},
                       {"Off", "pass the signal through"}};
  y = 172;
  for (const Row& row : modes) {
    drawText(cr, Font::LabelBold, 11, row.name, kMarginLeft, y, Align::Left, palette::kPrint);
    drawText(cr, Font::Label, 11, row.meaning, kMarginLeft + 36, y, Align::Left,
             palette::kPrintDim);
    y += 15;
  }
  drawOptoCell(cr, right - 93, 150);

  drawText(cr, Font::Label, 10, "KRV soundlab", kMarginLeft, kAbout.height - 16, Align::Left,
           palette::kPrintDim);
  drawText(cr, Font::Label, 10, "click to close", right, kAbout.height - 16, Align::Right,
           palette::kPrintDim);
  return imageOf(kAbout.id, canvas);
}

}  // namespace skin
