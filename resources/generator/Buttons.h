// The preset row: file and memory push buttons, the program rocker, and the printed
// parts around them (name window, menu arrow, labels).
#pragma once

#include <cairo.h>

#include "Canvas.h"
#include "Layout.h"
#include "SkinImage.h"

namespace skin {

constexpr int kButtonFrameHeight = 14;

enum class ButtonLook { Normal, Hover, Pressed, Disabled };

// Four 14-row frames: normal, hover, pressed, and disabled (memory buttons) or a copy
// of normal (file buttons, whose fourth frame is never shown).
SkinImage renderButtonStrip(int id, const Canvas& panel, Rect where, bool hasDisabledLook);

// Five frames: rest, left hovered, right hovered, left pressed, right pressed.
SkinImage renderRockerStrip(int id, const Canvas& panel);

// The preset row's printing on the panel (editor coordinates).
void drawPresetRowLegend(cairo_t* cr);

}  // namespace skin
