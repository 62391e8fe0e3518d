// What the compressor's editor creates where: each control's tag, bitmap and settings,
// from the skin's layout table and the effect's parameter header.
#pragma once

#include <cstdint>

#include "effect/Parameters.h"
#include "skin/SkinLayout.h"

namespace editor_layout {

struct KnobSettings {
    int32_t tag;  // the parameter it drives
    const skin::BitmapLayout* strip;
    float defaultValue;
    double dragSpan;  // thousands of units over the whole range
};

inline constexpr KnobSettings kTimeKnob{parameters::kTime, &skin::kTimeKnob, 0.5f, 0.5};
inline constexpr KnobSettings kCompressionKnob{parameters::kCompression, &skin::kCompressionKnob,
                                               0.5f, 0.5};
inline constexpr KnobSettings kOutputKnob{parameters::kOutput, &skin::kOutputKnob, 0.0f, 0.5};
// Seven positions only: a shorter span keeps each step a comfortable distance.
inline constexpr KnobSettings kRatioKnob{parameters::kRatio, &skin::kRatioKnob, 0.5f, 0.25};
// In the order the editor creates them.
inline constexpr KnobSettings kKnobs[] = {kTimeKnob, kCompressionKnob, kOutputKnob, kRatioKnob};

inline constexpr int32_t kProcessTag = parameters::kProcess;
inline constexpr int32_t kAboutTag = 13;

namespace detail {
constexpr bool knobFramesMatchPositions() {
    for (const KnobSettings& knob : kKnobs) {
        if (knob.strip->frames != parameters::positions(knob.tag)) return false;
    }
    return true;
}
}  // namespace detail

// A film strip with more or fewer frames than its parameter has positions would show a
// knob between the steps the effect takes and displays.
static_assert(detail::knobFramesMatchPositions(),
              "a knob's film strip must have one frame per parameter position");
static_assert(skin::kProcessSwitch.frames == parameters::kProcessPositions,
              "the process switch must have one image per position");

}  // namespace editor_layout
