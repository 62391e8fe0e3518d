// Editor geometry the skin is drawn for: rectangles are left, top, right, bottom in
// editor pixels, exactly where the editor places each control.
#pragma once

namespace skin {

struct Rect {
  int left, top, right, bottom;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  double centerX() const { return (left + right) / 2.0; }
  double centerY() const { return (top + bottom) / 2.0; }
};

constexpr int kEditorWidth = 400;
constexpr int kEditorHeight = 309;
constexpr int kBottom = kEditorHeight;

constexpr Rect kTitleArea{96, 22, 304, 46};
constexpr Rect kMeterFace{150, 66, 250, 109};
constexpr Rect kProcessSwitch{262, 46, 368, 124};
constexpr Rect kTimeKnob{28, 143, 142, 257};
constexpr Rect kCompressionKnob{143, 143, 257, 257};
constexpr Rect kOutputKnob{258, 143, 372, 257};
constexpr Rect kRatioKnob{50, 50, 120, 120};

constexpr Rect kNameField{138, kBottom - 24, 251, kBottom - 10};
constexpr Rect kProgramMenu{254, kBottom - 24, 264, kBottom - 10};
constexpr Rect kRocker{269, kBottom - 24, 300, kBottom - 10};
constexpr Rect kSavePreset{55, kBottom - 31, 67, kBottom - 17};
constexpr Rect kLoadPreset{119, kBottom - 31, 131, kBottom - 17};
constexpr Rect kSaveBank{55, kBottom - 15, 67, kBottom - 1};
constexpr Rect kLoadBank{119, kBottom - 15, 131, kBottom - 1};
constexpr Rect kStoreA{302, kBottom - 31, 314, kBottom - 17};
constexpr Rect kStoreB{302, kBottom - 15, 314, kBottom - 1};
constexpr Rect kRecallA{327, kBottom - 31, 339, kBottom - 17};
constexpr Rect kRecallB{327, kBottom - 15, 339, kBottom - 1};

// The meter's needle is drawn by the editor, not by the skin: the face's scale sits on
// the arc it sweeps.
constexpr double kNeedlePivotX = 200;
constexpr double kNeedlePivotY = 155;
constexpr double kNeedleOuterRadius = 86;

// The about picture leaves this area dark and empty for the version text.
constexpr Rect kVersionText{297, 70, 344, 81};
constexpr int kAboutWidth = 400;
constexpr int kAboutHeight = 276;

}  // namespace skin
