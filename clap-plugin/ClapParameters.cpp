#include "clap-plugin/ClapParameters.h"

#include <cmath>
#include <cstring>

#include "effect/Parameters.h"

namespace clapfront {
namespace {

constexpr ClapParameter kOrder[kNumClapParameters] = {
    {parameters::kProcess, true},  {parameters::kRatio, true},   {parameters::kTime, false},
    {parameters::kCompression, false}, {parameters::kOutput, false},
};

}  // namespace

const ClapParameter* parameterAt(uint32_t position) {
    return position < kNumClapParameters ? &kOrder[position] : nullptr;
}

const ClapParameter* parameterWithId(uint32_t id) {
    for (const ClapParameter& parameter : kOrder)
        if (parameter.id == id) return &parameter;
    return nullptr;
}

double maxValue(const ClapParameter& parameter) {
    return parameter.enumerated ? parameters::positions(static_cast<int32_t>(parameter.id)) - 1
                                : 1.0;
}

double hostValue(const ClapParameter& parameter, float normalised) {
    double v = normalised > 0.0f ? (normalised < 1.0f ? normalised : 1.0f) : 0.0f;
    if (!parameter.enumerated) return v;
    // The position the effect itself takes for the value.
    return std::floor(maxValue(parameter) * v + 0.5);
}

float normalisedValue(const ClapParameter& parameter, double value) {
    const double top = maxValue(parameter);
    double v = value > 0.0 ? (value < top ? value : top) : 0.0;  // NaN to 0
    if (!parameter.enumerated) return static_cast<float>(v);
    return static_cast<float>(std::nearbyint(v) / top);
}

void describe(const ClapParameter& parameter, const char* name, float defaultValue,
              clap_param_info& info) {
    std::memset(&info, 0, sizeof(info));
    info.id = parameter.id;
    info.flags = CLAP_PARAM_IS_AUTOMATABLE;
    if (parameter.enumerated) info.flags |= CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_ENUM;
    std::strncpy(info.name, name, sizeof(info.name) - 1);
    info.min_value = 0.0;
    info.max_value = maxValue(parameter);
    info.default_value = hostValue(parameter, defaultValue);
}

}  // namespace clapfront
