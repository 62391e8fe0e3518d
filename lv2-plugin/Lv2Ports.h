// What LV2 hosts keep in sessions and presets, fixed forever once released: the plug-in's
// and the editor's URIs, the state key, and every port's index and symbol.
#pragma once

#include <cstdint>

#include "effect/Parameters.h"

namespace lv2front {

#define KRV_LV2_PLUGIN_URI "http://krv-soundlab.com/plugins/tarnwick"
constexpr char kPluginUri[] = KRV_LV2_PLUGIN_URI;
constexpr char kUiUri[] = KRV_LV2_PLUGIN_URI "#ui";
// The whole store and the selected program (presets/StateBlob.h), as one atom:Chunk.
constexpr char kStateKeyUri[] = KRV_LV2_PLUGIN_URI "#state";
// In a factory preset's state: the program it is, which the store selects when a host
// applies the preset (an integer, 1 to 32).
constexpr char kProgramKeyUri[] = KRV_LV2_PLUGIN_URI "#program";
// The program store for the editor in the same process (StoreAccess.h), through the host's
// data-access feature.
constexpr char kStoreAccessUri[] = KRV_LV2_PLUGIN_URI "#store-access";
// The stereo port groups: in_l and in_r are the main input, out_l and out_r the main output.
constexpr char kInGroupUri[] = KRV_LV2_PLUGIN_URI "#in";
constexpr char kOutGroupUri[] = KRV_LV2_PLUGIN_URI "#out";

enum Port : uint32_t {
    kInLeft = 0,
    kInRight = 1,
    kOutLeft = 2,
    kOutRight = 3,
    kFirstControl = 4,  // the five parameters, in the order of kControls
    kMeter = 9,         // output: smoothed linear gain, 1 for no reduction
    kNumPorts = 10,
};

struct ControlPort {
    uint32_t port;
    int32_t parameter;  // our parameter index
    const char* symbol;
};

// The parameters' ports carry host values (effect/HostValues.h): Process and Ratio their
// position, the others our exact normalised value.
constexpr ControlPort kControls[] = {
    {4, parameters::kProcess, "process"}, {5, parameters::kRatio, "ratio"},
    {6, parameters::kTime, "time"},       {7, parameters::kCompression, "compression"},
    {8, parameters::kOutput, "output"},
};
constexpr uint32_t kNumControls = sizeof(kControls) / sizeof(kControls[0]);

}  // namespace lv2front
