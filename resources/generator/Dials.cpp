#include "Dials.h"

#include <cmath>

#include "Paint.h"

namespace skin {
namespace {

// Marks every `minorStep` of a 0..`top` scale, numbered every `labelStep`.
std::vector<DialMark> linearMarks(double top, double minorStep, double labelStep) {
  std::vector<DialMark> marks;
  const int count = static_cast<int>(std::lround(top / minorStep));
  const int labelEvery = static_cast<int>(std::lround(labelStep / minorStep));
  for (int i = 0; i <= count; ++i) {
    std::string label;
    if (i % labelEvery == 0) label = std::to_string(static_cast<int>(std::lround(i * minorStep)));
    marks.push_back({i / static_cast<double>(count), label});
  }
  return marks;
}

Dial dialFor(const BitmapLayout& strip) {
  Dial dial;
  dial.id = strip.id;
  dial.rect = strip.rect;
  dial.frames = strip.frames;
  dial.sweepDegrees = 270;
  return dial;
}

Dial bigDial(const BitmapLayout& strip, std::vector<DialMark> marks, const char* name) {
  Dial dial = dialFor(strip);
  dial.knobRadius = 27;
  dial.tickInner = 33;
  dial.tickOuter = 37;
  dial.labelRadius = 40;
  dial.labelSize = 10;
  dial.marks = std::move(marks);
  dial.name = name;
  dial.nameBaseline = strip.rect.bottom - 8;
  return dial;
}

}  // namespace

Dial timeDial() { return bigDial(kTimeKnob, linearMarks(10, 0.5, 1), "Time"); }
Dial compressionDial() { return bigDial(kCompressionKnob, linearMarks(10, 0.5, 1), "Compression"); }
Dial outputDial() { return bigDial(kOutputKnob, linearMarks(30, 2.5, 5), "Output dB"); }

Dial ratioDial() {
  Dial dial = dialFor(kRatioKnob);
  dial.knobRadius = 18;
  dial.tickInner = 22;
  dial.tickOuter = 25;
  dial.labelRadius = 27;
  dial.labelSize = 9;
  const char* labels[kRatioKnob.frames] = {"1.2:1", "1.5:1", "2:1", "3:1", "4:1", "6:1", "10:1"};
  for (int i = 0; i < dial.frames; ++i) dial.marks.push_back({i / (dial.frames - 1.0), labels[i]});
  dial.name = "Ratio";
  dial.nameBaseline = 131;
  return dial;
}

std::vector<Dial> allDials() { return {ratioDial(), timeDial(), compressionDial(), outputDial()}; }

void drawDialScale(cairo_t* cr, const Dial& dial) {
  const double cx = dial.centerX();
  const double cy = dial.centerY();
  cairo_save(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  for (const DialMark& mark : dial.marks) {
    const double a = dialToCairo(dial.angleFor(mark.value));
    const bool major = !mark.label.empty();
    const double inner = major ? dial.tickInner : dial.tickInner + 1.5;
    cairo_set_line_width(cr, major ? 1.4 : 1.0);
    setColor(cr, major ? palette::kPrint : palette::kPrintDim);
    cairo_move_to(cr, cx + inner * std::cos(a), cy + inner * std::sin(a));
    cairo_line_to(cr, cx + dial.tickOuter * std::cos(a), cy + dial.tickOuter * std::sin(a));
    cairo_stroke(cr);
    if (major) {
      // Push each number out until its box clears the label circle, so wide and narrow
      // numbers keep the same gap to their ticks.
      useFont(cr, Font::Label, dial.labelSize);
      cairo_text_extents_t ink;
      cairo_text_extents(cr, mark.label.c_str(), &ink);
      const double dx = std::cos(a), dy = std::sin(a);
      const double reach =
          dial.labelRadius + std::fabs(dx) * ink.width / 2 + std::fabs(dy) * ink.height / 2;
      drawTextCentered(cr, Font::Label, dial.labelSize, mark.label.c_str(), cx + reach * dx,
                       cy + reach * dy, palette::kPrint);
    }
  }
  drawText(cr, Font::LabelBold, 11, dial.name.c_str(), cx, dial.nameBaseline, Align::Center,
           palette::kPrint);
  cairo_restore(cr);
}

}  // namespace skin
