#include "About.h"

#include "Layout.h"
#include "Paint.h"

namespace skin {

SkinImage renderAbout(int id) {
  Canvas canvas(kAboutWidth, kAboutHeight);
  cairo_t* cr = canvas.cr();
  cairo_pattern_t* bg = cairo_pattern_create_linear(0, 0, 0, kAboutHeight);
  cairo_pattern_add_color_stop_rgb(bg, 0, 0.10, 0.10, 0.11);
  cairo_pattern_add_color_stop_rgb(bg, 1, 0.04, 0.04, 0.05);
  cairo_set_source(cr, bg);
  cairo_paint(cr);
  cairo_pattern_destroy(bg);

  const double right = kVersionText.right;
  drawText(cr, Font::Title, 34, "KRV tarnwick", right, 58, Align::Right, palette::kPrint);
  drawText(cr, Font::Label, 13, "opto compressor", 56, 80, Align::Left, palette::kAccent);
  pixelLine(cr, 56, 96, static_cast<int>(right), 96, palette::kPrintDim, 0.5);

  const char* lines[] = {"Stereo compressor with an optical-style gain cell",
                         "and a valve saturation stage.",
                         "",
                         "Valve: compress and saturate  \xc2\xb7  Clear: compress only  \xc2\xb7  Off: bypass"};
  double y = 122;
  for (const char* line : lines) {
    drawText(cr, Font::Label, 12, line, 56, y, Align::Left, palette::kPrint);
    y += 17;
  }
  drawText(cr, Font::Label, 10, "Click to close", kAboutWidth / 2.0, kAboutHeight - 16,
           Align::Center, palette::kPrintDim);
  return imageOf(id, canvas);
}

}  // namespace skin
