// The A/B memories: the current settings parked in the settings store, shared by every
// instance on the machine.
#include <cstdio>

#include "platform/SettingsStore.h"
#include "presets/CPresetSystemEffect.h"
#include "presets/PresetFileFormat.h"

namespace {

const char kMemoAKey[] = "SOFTWARE\\KRV-soundlab\\KRVTW1\\MemoA";
const char kMemoBKey[] = "SOFTWARE\\KRV-soundlab\\KRVTW1\\MemoB";
const char kNameValue[] = "name";
// A longer stored name is taken for damage, not cut: the current name stays.
constexpr std::size_t kMaxStoredNameLength = 63;
constexpr int kMemoFailed = -1;

// "param  0" ... "param 11".
std::string parameterValueName(int index) {
    char name[16];
    std::snprintf(name, sizeof(name), "param%3d", index);
    return name;
}

}  // namespace

int CPresetSystemEffect::storeMemoA() { return storeMemo(kMemoAKey); }
int CPresetSystemEffect::storeMemoB() { return storeMemo(kMemoBKey); }
int CPresetSystemEffect::recallMemoA() { return recallMemo(kMemoAKey); }
int CPresetSystemEffect::recallMemoB() { return recallMemo(kMemoBKey); }

int CPresetSystemEffect::storeMemo(const char* keyPath) {
    if (!programs) return kMemoFailed;
    try {
        platform::SettingsKey values;
        for (int i = 0; i < kNumParameters; ++i) {
            unsigned char bytes[4];
            presetfile::floatToLittleEndian(getParameter(i), bytes);
            values.setBinary(parameterValueName(i), bytes, sizeof(bytes));
        }
        char name[kVstMaxProgNameLen + 1];
        programs[programIndex].getName(name);
        values.setString(kNameValue, name);
        return platform::writeSettingsValues(keyPath, values) ? 0 : kMemoFailed;
    } catch (...) {
        return kMemoFailed;  // out of memory: the memory was not written
    }
}

int CPresetSystemEffect::recallMemo(const char* keyPath) {
    if (!programs) return kMemoFailed;
    // Everything is read before anything is applied, so a failure leaves no half recall.
    bool found[kNumParameters] = {};
    float values[kNumParameters] = {};
    std::string name;
    bool hasName = false;
    try {
        platform::SettingsKey key;
        if (!platform::readSettingsKey(keyPath, key)) return kMemoFailed;
        // A value that is missing, not binary or not 4 bytes long leaves its parameter
        // as it is.
        for (int i = 0; i < kNumParameters; ++i) {
            unsigned char bytes[4];
            found[i] = key.getBinary(parameterValueName(i), bytes, sizeof(bytes));
            if (found[i]) values[i] = presetfile::floatFromLittleEndian(bytes);
        }
        hasName = key.getString(kNameValue, name) && name.size() <= kMaxStoredNameLength;
    } catch (...) {
        return kMemoFailed;  // out of memory while reading
    }
    // The host hears the value the effect keeps, never a NaN or an out-of-range one.
    for (int i = 0; i < kNumParameters; ++i)
        if (found[i]) setParameterAutomated(i, clampUnit(values[i]));
    if (hasName) renameProgram(name.c_str());
    updateDisplay();
    return 0;
}
