#include "clap-plugin/ClapParameters.h"

#include <cstring>

#include "effect/HostValues.h"
#include "effect/Parameters.h"

namespace clapfront {
namespace {

constexpr uint32_t kOrder[kNumClapParameters] = {
    parameters::kProcess, parameters::kRatio, parameters::kTime, parameters::kCompression,
    parameters::kOutput,
};

}  // namespace

uint32_t parameterIdAt(uint32_t position) {
    return position < kNumClapParameters ? kOrder[position] : CLAP_INVALID_ID;
}

bool isParameterId(uint32_t id) {
    for (uint32_t known : kOrder)
        if (known == id) return true;
    return false;
}

void describe(uint32_t id, const char* name, float defaultValue, clap_param_info& info) {
    const auto index = static_cast<int32_t>(id);
    std::memset(&info, 0, sizeof(info));
    info.id = id;
    info.flags = CLAP_PARAM_IS_AUTOMATABLE;
    if (parameters::isEnumeration(index)) info.flags |= CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_ENUM;
    std::strncpy(info.name, name, sizeof(info.name) - 1);
    info.min_value = 0.0;
    info.max_value = parameters::maxHostValue(index);
    info.default_value = parameters::hostValue(index, defaultValue);
}

}  // namespace clapfront
