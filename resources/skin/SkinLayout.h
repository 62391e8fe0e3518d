// Where every bitmap of the skin sits in the editor and how its frames are stacked: the one
// table the generator draws for, the contact sheet assembles from, the editor places its
// controls by and the skin tests check against. Rectangles are left, top, right, bottom in
// editor pixels, right and bottom exclusive.
#pragma once

namespace skin {

struct Rect {
  int left, top, right, bottom;
  constexpr int width() const { return right - left; }
  constexpr int height() const { return bottom - top; }
  constexpr bool empty() const { return right <= left || bottom <= top; }
  constexpr double centerX() const { return (left + right) / 2.0; }
  constexpr double centerY() const { return (top + bottom) / 2.0; }
};

// A bitmap resource: `frames` equal frames stacked top to bottom; one frame at a time is
// shown at `rect`, which is therefore one frame in size. An empty rect: never drawn.
struct BitmapLayout {
  int id;
  const char* name;
  int frames;
  Rect rect;
  int width, height;  // the whole bitmap
  constexpr int frameHeight() const { return height / frames; }
};

// A bitmap whose size follows from where its frames are shown.
constexpr BitmapLayout placed(int id, const char* name, int frames, Rect rect) {
  return {id, name, frames, rect, rect.width(), rect.height() * frames};
}

inline constexpr int kEditorWidth = 400;
inline constexpr int kEditorHeight = 309;
// The preset row hangs from the editor's bottom edge.
inline constexpr int kBottom = kEditorHeight;

inline constexpr BitmapLayout kBackground =
    placed(12128, "background", 1, {0, 0, kEditorWidth, kEditorHeight});
inline constexpr BitmapLayout kProcessSwitch =
    placed(12129, "process switch", 3, {262, 46, 368, 124});
inline constexpr BitmapLayout kMeterLit = placed(12151, "meter face lit", 1, {150, 66, 250, 109});
// Held by the meter but never drawn.
inline constexpr BitmapLayout kMeterExtra{12152, "meter extra", 1, {0, 0, 0, 0}, 113, 46};
inline constexpr BitmapLayout kMeterUnlit = placed(12153, "meter face unlit", 1, kMeterLit.rect);
inline constexpr BitmapLayout kCompressionKnob =
    placed(12171, "compression knob", 41, {143, 143, 257, 257});
inline constexpr BitmapLayout kTimeKnob = placed(12173, "time knob", 21, {28, 143, 142, 257});
inline constexpr BitmapLayout kOutputKnob = placed(12177, "output knob", 61, {258, 143, 372, 257});
inline constexpr BitmapLayout kRatioKnob = placed(12181, "ratio knob", 7, {50, 50, 120, 120});
// Shown over the editor as the about splash, from its top-left corner.
inline constexpr BitmapLayout kAbout = placed(12200, "about", 1, {0, 0, 400, 276});
// The preset row: four looks (normal, hover, pressed, disabled) per button, five for the
// rocker (rest, left and right hovered, left and right pressed).
inline constexpr BitmapLayout kRecallA =
    placed(19991, "recall A", 4, {327, kBottom - 31, 339, kBottom - 17});
inline constexpr BitmapLayout kRecallB =
    placed(19992, "recall B", 4, {327, kBottom - 15, 339, kBottom - 1});
inline constexpr BitmapLayout kLoadBank =
    placed(19993, "load bank", 4, {119, kBottom - 15, 131, kBottom - 1});
inline constexpr BitmapLayout kSaveBank =
    placed(19994, "save bank", 4, {55, kBottom - 15, 67, kBottom - 1});
inline constexpr BitmapLayout kStoreA =
    placed(19995, "store A", 4, {302, kBottom - 31, 314, kBottom - 17});
inline constexpr BitmapLayout kStoreB =
    placed(19996, "store B", 4, {302, kBottom - 15, 314, kBottom - 1});
inline constexpr BitmapLayout kRocker =
    placed(19997, "rocker", 5, {269, kBottom - 24, 300, kBottom - 10});
inline constexpr BitmapLayout kLoadPreset =
    placed(19998, "load preset", 4, {119, kBottom - 31, 131, kBottom - 17});
inline constexpr BitmapLayout kSavePreset =
    placed(19999, "save preset", 4, {55, kBottom - 31, 67, kBottom - 17});

// Every bitmap, in id order.
inline constexpr BitmapLayout kBitmaps[] = {
    kBackground, kProcessSwitch, kMeterLit,  kMeterExtra, kMeterUnlit, kCompressionKnob,
    kTimeKnob,   kOutputKnob,    kRatioKnob, kAbout,      kRecallA,    kRecallB,
    kLoadBank,   kSaveBank,      kStoreA,    kStoreB,     kRocker,     kLoadPreset,
    kSavePreset};

// The layout of bitmap `id`; null for an id the skin does not have.
constexpr const BitmapLayout* findLayout(int id) {
  for (const BitmapLayout& bitmap : kBitmaps) {
    if (bitmap.id == id) return &bitmap;
  }
  return nullptr;
}

// Areas with no bitmap of their own: the background shows through them.
inline constexpr Rect kTitleArea{96, 22, 304, 46};  // a click opens the about splash
inline constexpr Rect kNameField{138, kBottom - 24, 251, kBottom - 10};
inline constexpr Rect kProgramMenu{254, kBottom - 24, 264, kBottom - 10};

// The meter's needle is drawn by the editor, not by the skin: the face's scale sits on the
// arc it sweeps. The pivot lies below the face, so only the needle's outer part shows.
inline constexpr int kNeedlePivotX = 200;
inline constexpr int kNeedlePivotY = 155;
inline constexpr double kNeedleInnerRadius = 3;
inline constexpr double kNeedleOuterRadius = 86;

// The about picture leaves this area dark and empty for the version text.
inline constexpr Rect kVersionText{297, 70, 344, 81};

namespace detail {
constexpr bool idsAscend() {
  int previous = 0;
  for (const BitmapLayout& b : kBitmaps) {
    if (b.id <= previous) return false;
    previous = b.id;
  }
  return true;
}
// A shown frame fills its rect exactly, or the control's edges would show a seam.
constexpr bool framesFitTheirRects() {
  for (const BitmapLayout& b : kBitmaps) {
    if (b.frames < 1 || b.height % b.frames != 0) return false;
    if (!b.rect.empty() && (b.rect.width() != b.width || b.rect.height() != b.frameHeight()))
      return false;
  }
  return true;
}
}  // namespace detail
static_assert(detail::idsAscend(), "kBitmaps lists each id once, in ascending order");
static_assert(detail::framesFitTheirRects(), "a bitmap's frame differs from its rectangle");

}  // namespace skin
