#include "Buttons.h"

#include <array>

#include "Paint.h"

namespace skin {
namespace {

// A small square cap in a dark well, inside a one-pixel margin of panel so the strip's
// edges always match the background. Pressed caps sink one pixel and glow amber.
void drawButton(cairo_t* cr, ButtonLook look) {
  cairo_save(cr);
  roundedRectangle(cr, 1, 1, 10, 12, 2);
  setColor(cr, rgb8(10, 10, 11));
  cairo_fill(cr);
  const bool pressed = look == ButtonLook::Pressed;
  const double top = pressed ? 3 : 2;
  Color capTop = rgb8(132, 133, 136), capBottom = rgb8(72, 73, 76);
  if (look == ButtonLook::Hover) { capTop = rgb8(170, 171, 174); capBottom = rgb8(96, 97, 100); }
  if (pressed) { capTop = rgb8(246, 178, 88); capBottom = rgb8(176, 104, 38); }
  if (look == ButtonLook::Disabled) { capTop = rgb8(58, 59, 61); capBottom = rgb8(50, 51, 53); }
  roundedRectangle(cr, 2, top, 8, 10, 1.5);
  cairo_pattern_t* cap = cairo_pattern_create_linear(0, top, 0, top + 10);
  cairo_pattern_add_color_stop_rgb(cap, 0, capTop.r, capTop.g, capTop.b);
  cairo_pattern_add_color_stop_rgb(cap, 1, capBottom.r, capBottom.g, capBottom.b);
  cairo_set_source(cr, cap);
  cairo_fill(cr);
  cairo_pattern_destroy(cap);
  if (look != ButtonLook::Disabled) {
    pixelLine(cr, 3, static_cast<int>(top), 8, static_cast<int>(top), palette::kHighlight,
              pressed ? 0.5 : 0.4);
  }
  cairo_restore(cr);
}

void drawArrow(cairo_t* cr, double cx, double cy, int direction, Color c) {
  cairo_move_to(cr, cx - 2 * direction, cy - 3);
  cairo_line_to(cr, cx + 2 * direction, cy);
  cairo_line_to(cr, cx - 2 * direction, cy + 3);
  cairo_close_path(cr);
  setColor(cr, c);
  cairo_fill(cr);
}

enum class RockerLook { Rest, LeftHover, RightHover, LeftPressed, RightPressed };

void drawRocker(cairo_t* cr, RockerLook look) {
  cairo_save(cr);
  roundedRectangle(cr, 1, 1, 29, 12, 2.5);
  setColor(cr, rgb8(10, 10, 11));
  cairo_fill(cr);
  for (int half = 0; half < 2; ++half) {
    const bool hover = (half == 0 && look == RockerLook::LeftHover) ||
                       (half == 1 && look == RockerLook::RightHover);
    const bool pressed = (half == 0 && look == RockerLook::LeftPressed) ||
                         (half == 1 && look == RockerLook::RightPressed);
    const double x = half == 0 ? 2 : 16;
    Color top = rgb8(108, 109, 112), bottom = rgb8(58, 59, 62);
    if (hover) { top = rgb8(136, 137, 140); bottom = rgb8(74, 75, 78); }
    if (pressed) { top = rgb8(44, 45, 47); bottom = rgb8(70, 71, 74); }
    roundedRectangle(cr, x, pressed ? 3 : 2, 13, 10, 1.5);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 2, 0, 12);
    cairo_pattern_add_color_stop_rgb(p, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(p, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    const Color arrow = pressed || hover ? palette::kAccent : palette::kPrint;
    drawArrow(cr, x + 6.5, pressed ? 8 : 7, half == 0 ? -1 : 1, arrow);
  }
  cairo_restore(cr);
}

// Each frame is the panel beneath the control with one look drawn over it.
template <typename DrawLook>
SkinImage renderStrip(const BitmapLayout& layout, const Canvas& panel, DrawLook drawLook) {
  const Rect where = layout.rect;
  Canvas strip(layout.width, layout.height);
  for (int frame = 0; frame < layout.frames; ++frame) {
    Canvas cell(where.width(), where.height());
    cell.paintFrom(panel, where.left, where.top);
    drawLook(cell.cr(), frame);
    strip.place(cell, 0, frame * where.height());
  }
  return imageOf(layout.id, strip);
}

}  // namespace

SkinImage renderButtonStrip(const BitmapLayout& button, const Canvas& panel,
                            bool hasDisabledLook) {
  const std::array<ButtonLook, 4> looks = {
      ButtonLook::Normal, ButtonLook::Hover, ButtonLook::Pressed,
      hasDisabledLook ? ButtonLook::Disabled : ButtonLook::Normal};
  // at(): a layout with more frames than looks stops the generator.
  return renderStrip(button, panel,
                     [&](cairo_t* cr, int frame) { drawButton(cr, looks.at(frame)); });
}

SkinImage renderRockerStrip(const Canvas& panel) {
  const std::array<RockerLook, 5> looks = {RockerLook::Rest, RockerLook::LeftHover,
                                           RockerLook::RightHover, RockerLook::LeftPressed,
                                           RockerLook::RightPressed};
  return renderStrip(kRocker, panel,
                     [&](cairo_t* cr, int frame) { drawRocker(cr, looks.at(frame)); });
}

void drawPresetRowLegend(cairo_t* cr) {
  const Color ink = palette::kPrint;
  const Rect savePreset = kSavePreset.rect, loadPreset = kLoadPreset.rect;
  const Rect storeA = kStoreA.rect, recallA = kRecallA.rect;
  const double headerBaseline = savePreset.top - 3;
  drawText(cr, Font::Label, 10, "save", savePreset.centerX(), headerBaseline, Align::Center, ink);
  drawText(cr, Font::Label, 10, "load", loadPreset.centerX(), headerBaseline, Align::Center, ink);
  drawText(cr, Font::Label, 10, "store", storeA.centerX(), headerBaseline, Align::Center, ink);
  drawText(cr, Font::Label, 10, "recall", recallA.centerX(), headerBaseline, Align::Center, ink);
  drawText(cr, Font::Label, 10, "program", kNameField.centerX(), headerBaseline, Align::Center,
           ink);
  const double between = (savePreset.right + loadPreset.left) / 2.0;
  drawTextCentered(cr, Font::Label, 10, "preset", between, savePreset.centerY(), ink);
  drawTextCentered(cr, Font::Label, 10, "bank", between, kSaveBank.rect.centerY(), ink);
  const double memo = (storeA.right + recallA.left) / 2.0;
  drawTextCentered(cr, Font::LabelBold, 10, "A", memo, storeA.centerY(), ink);
  drawTextCentered(cr, Font::LabelBold, 10, "B", memo, kStoreB.rect.centerY(), ink);

  // The program name window: a light display the editor writes the name into.
  const Rect n = kNameField;
  cairo_save(cr);
  cairo_rectangle(cr, n.left, n.top, n.width(), n.height());
  cairo_pattern_t* glass = cairo_pattern_create_linear(0, n.top, 0, n.bottom);
  cairo_pattern_add_color_stop_rgb(glass, 0, 0.76, 0.79, 0.73);
  cairo_pattern_add_color_stop_rgb(glass, 1, 0.85, 0.88, 0.82);
  cairo_set_source(cr, glass);
  cairo_fill(cr);
  cairo_pattern_destroy(glass);
  insetFrame(cr, n.left, n.top, n.right, n.bottom, 1.0);
  pixelLine(cr, n.left, n.top, n.right - 1, n.top, palette::kShadow, 0.25);

  // The program menu draws nothing: its arrow is printed here.
  const Rect m = kProgramMenu;
  roundedRectangle(cr, m.left + 0.5, m.top + 0.5, m.width() - 1, m.height() - 1, 2);
  setColor(cr, rgb8(12, 12, 13));
  cairo_fill(cr);
  cairo_move_to(cr, m.centerX() - 3, m.centerY() - 1.5);
  cairo_line_to(cr, m.centerX() + 3, m.centerY() - 1.5);
  cairo_line_to(cr, m.centerX(), m.centerY() + 2);
  cairo_close_path(cr);
  setColor(cr, palette::kPrint);
  cairo_fill(cr);
  cairo_restore(cr);
}

}  // namespace skin
