// Any bytes as a saved state: the load either refuses them, leaving the store and the
// running values as they were, or takes a blob that passes every documented check; then
// the store holds exactly its programs and selection, the effect runs program 0, and
// saving gives the same bytes back.
#include <vector>

#include "FuzzSupport.h"

namespace {

constexpr std::size_t kBlobSize = 12 + 33 * 72;

std::uint32_t word(const std::uint8_t* at) {
    return at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

bool acceptable(const std::uint8_t* data, std::size_t size) {
    if (size != kBlobSize || std::memcmp(data, "KRVS", 4) != 0 || word(data + 4) != 1 ||
        word(data + 8) > 32)
        return false;
    for (int k = 0; k < 33; ++k) {
        const std::uint8_t* record = data + 12 + 72 * k;
        bool ended = false;
        for (int c = 0; c < 24; ++c) {
            if (ended && record[c] != 0) return false;
            ended = ended || record[c] == 0;
        }
        for (int i = 0; i < 12; ++i) {
            float value = presetfile::floatFromLittleEndian(record + 24 + 4 * i);
            if (!(value >= 0.0f && value <= 1.0f)) return false;
        }
    }
    return true;
}

std::vector<float> running(AutoComp& effect) {
    std::vector<float> values;
    for (int i = 0; i < kNumParameters; ++i) values.push_back(effect.getParameter(i));
    return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AutoComp effect(nullptr);
    effect.selectProgram(static_cast<int>(size % kNumPrograms));
    const StoreSnapshot before = storeSnapshot(effect);
    const std::vector<float> valuesBefore = running(effect);

    const bool loaded = effect.loadState(data, size);

    require(loaded == acceptable(data, size), "a state loads exactly when its checks pass");
    if (!loaded) {
        require(storeSnapshot(effect) == before, "a refused state changes no program");
        require(running(effect) == valuesBefore, "a refused state changes no running value");
        return 0;
    }
    StoreSnapshot expected;
    for (int k = 0; k < kNumPrograms; ++k) decodeRecord(data + 12 + 72 * k, true, expected.programs[k]);
    expected.selected = static_cast<int>(word(data + 8));
    require(storeSnapshot(effect) == expected, "the store holds the state's programs");
    for (int i = 0; i < kNumParameters; ++i)
        require(effect.getParameter(i) == expected.programs[0].values[i], "the effect runs program 0");
    const std::string saved = effect.saveState();
    require(saved.size() == size && std::memcmp(saved.data(), data, size) == 0,
            "saving gives the same bytes back");
    return 0;
}
