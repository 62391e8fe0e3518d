#include "Panel.h"

#include <cstdint>

#include "Buttons.h"
#include "Dials.h"
#include "skin/SkinLayout.h"
#include "Meter.h"
#include "Paint.h"
#include "Switch.h"

namespace skin {
namespace {

constexpr int kPresetStripTop = 262;

// A fixed-seed generator: the brushed grain must come out identical on every run.
class Grain {
 public:
  double next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state_ >> 40) / static_cast<double>(1ULL << 24);
  }

 private:
  std::uint64_t state_ = 0x4b52567461726eULL;
};

void paintFaceplate(cairo_t* cr) {
  cairo_pattern_t* base = cairo_pattern_create_linear(0, 0, 0, kEditorHeight);
  cairo_pattern_add_color_stop_rgb(base, 0, palette::kPanelTop.r, palette::kPanelTop.g,
                                   palette::kPanelTop.b);
  cairo_pattern_add_color_stop_rgb(base, 1, palette::kPanelBottom.r, palette::kPanelBottom.g,
                                   palette::kPanelBottom.b);
  cairo_set_source(cr, base);
  cairo_paint(cr);
  cairo_pattern_destroy(base);

  // Horizontal brushing: faint light and dark streaks of random length.
  Grain grain;
  cairo_set_line_width(cr, 1);
  for (int i = 0; i < 900; ++i) {
    const double y = static_cast<int>(grain.next() * kEditorHeight) + 0.5;
    const double x = grain.next() * kEditorWidth;
    const double length = 20 + grain.next() * 120;
    const bool light = grain.next() < 0.5;
    setColor(cr, light ? palette::kHighlight : palette::kShadow, 0.018 + grain.next() * 0.02);
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x + length, y);
    cairo_stroke(cr);
  }
}

void paintPresetStrip(cairo_t* cr) {
  cairo_rectangle(cr, 0, kPresetStripTop, kEditorWidth, kEditorHeight - kPresetStripTop);
  setColor(cr, palette::kShadow, 0.22);
  cairo_fill(cr);
  pixelLine(cr, 0, kPresetStripTop - 1, kEditorWidth - 1, kPresetStripTop - 1, palette::kShadow,
            0.6);
  pixelLine(cr, 0, kPresetStripTop, kEditorWidth - 1, kPresetStripTop, palette::kHighlight,
            0.10);
}

void paintEdges(cairo_t* cr) {
  pixelLine(cr, 0, 0, kEditorWidth - 1, 0, palette::kHighlight, 0.22);
  pixelLine(cr, 0, 0, 0, kEditorHeight - 1, palette::kHighlight, 0.16);
  pixelLine(cr, 0, kEditorHeight - 1, kEditorWidth - 1, kEditorHeight - 1, palette::kShadow, 0.6);
  pixelLine(cr, kEditorWidth - 1, 0, kEditorWidth - 1, kEditorHeight - 1, palette::kShadow, 0.5);
}

void paintTitle(cairo_t* cr) {
  const char* name = "KRV tarnwick";
  const char* kind = "opto compressor";
  const double nameSize = 17, kindSize = 11, gap = 8;
  const double total = textWidth(cr, Font::Title, nameSize, name) + gap +
                       textWidth(cr, Font::Label, kindSize, kind);
  const double left = kTitleArea.centerX() - total / 2;
  const double baseline = 40;
  drawText(cr, Font::Title, nameSize, name, left, baseline, Align::Left, palette::kPrint);
  drawText(cr, Font::Label, kindSize, kind, kTitleArea.centerX() + total / 2, baseline,
           Align::Right, palette::kAccent);
}

}  // namespace

void drawPanel(Canvas& panel) {
  cairo_t* cr = panel.cr();
  paintFaceplate(cr);
  paintPresetStrip(cr);
  paintEdges(cr);
  drawScrew(cr, 9, 9, 4, 0.6);
  drawScrew(cr, kEditorWidth - 10, 9, 4, 2.2);
  drawScrew(cr, 9, kEditorHeight - 10, 4, 1.1);
  drawScrew(cr, kEditorWidth - 10, kEditorHeight - 10, 4, 0.2);
  paintTitle(cr);

  for (const Dial& dial : allDials()) drawDialScale(cr, dial);
  drawMeterBezel(cr);
  cairo_save(cr);
  const Rect face = kMeterUnlit.rect;
  cairo_translate(cr, face.left, face.top);
  drawMeterFace(cr, face.width(), face.height(), kNeedlePivotX - face.left + 0.5,
                kNeedlePivotY - face.top + 0.5, false);
  cairo_restore(cr);
  drawText(cr, Font::LabelBold, 11, "Gain reduction", face.centerX(), 131, Align::Center,
           palette::kPrint);
  drawSwitchLegend(cr);
  drawPresetRowLegend(cr);
}

}  // namespace skin
