#include "tools/krv-process/EffectSettings.h"

#include <strings.h>

#include <cstdlib>

#include "presets/FactoryPresets.h"
#include "tools/krv-process/ShownValue.h"

namespace {

constexpr VstInt32 kOurUniqueId = fourCharCode('K', 'R', 'V', 'W');

// A whole non-negative decimal number, or -1.
long wholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 9) return -1;
    for (char c : text)
        if (c < '0' || c > '9') return -1;
    return std::strtol(text.c_str(), nullptr, 10);
}

std::string trimmed(const std::string& text) { return trimmedText(text); }

}  // namespace

EffectSettings::EffectSettings(HostedEffect& effect) : effect(effect) {}

bool EffectSettings::isOurEffect() const {
    return effect.effect()->uniqueID == kOurUniqueId && effect.effect()->numPrograms == 1;
}

std::vector<std::string> EffectSettings::presetNames() {
    std::vector<std::string> names;
    if (isOurEffect()) {
        for (const FactoryPreset& preset : kFactoryPresets) names.push_back(preset.name);
        return names;
    }
    for (VstInt32 i = 0; i < effect.effect()->numPrograms; ++i) {
        char name[256] = {};
        if (!effect.dispatch(effGetProgramNameIndexed, i, -1, name)) {
            effect.dispatch(effSetProgram, 0, i);
            effect.dispatch(effGetProgramName, 0, 0, name);
        }
        names.push_back(name);
    }
    return names;
}

int EffectSettings::findPreset(const std::string& numberOrName) {
    std::vector<std::string> names = presetNames();
    long number = wholeNumber(numberOrName);
    if (number >= 0) return number < static_cast<long>(names.size()) ? static_cast<int>(number) : -1;
    for (size_t i = 0; i < names.size(); ++i)
        if (strcasecmp(names[i].c_str(), numberOrName.c_str()) == 0) return static_cast<int>(i);
    return -1;
}

bool EffectSettings::applyPreset(const std::string& numberOrName, std::string& error) {
    int index = findPreset(numberOrName);
    if (index < 0) {
        error = "unknown preset \"" + numberOrName + "\" (see --list)";
        return false;
    }
    if (!isOurEffect()) {
        effect.dispatch(effSetProgram, 0, index);
        return true;
    }
    const FactoryPreset& preset = kFactoryPresets[index];
    const float values[12] = {preset.process, 0, preset.ratio, 0, preset.time, preset.compression,
                              preset.output,  0, 0,            0, 0,           0};
    for (VstInt32 i = 0; i < 12 && i < effect.effect()->numParams; ++i) effect.setParameter(i, values[i]);
    effect.dispatch(effSetProgramName, 0, 0, const_cast<char*>(preset.name));
    return true;
}

int EffectSettings::findParameter(const std::string& nameOrIndexAsGiven) {
    const std::string nameOrIndex = trimmed(nameOrIndexAsGiven);
    const VstInt32 count = effect.effect()->numParams;
    long number = wholeNumber(nameOrIndex);
    if (number >= 0) return number < count ? static_cast<int>(number) : -1;
    for (VstInt32 i = 0; i < count; ++i) {
        std::string name = trimmed(effect.parameterName(i));
        if (!name.empty() && strcasecmp(name.c_str(), nameOrIndex.c_str()) == 0) return i;
    }
    return -1;
}

bool EffectSettings::setParameter(const std::string& nameOrIndex, const std::string& valueText,
                                  std::string& applied, std::string& error) {
    const int index = findParameter(nameOrIndex);
    if (index < 0) {
        error = "unknown parameter \"" + nameOrIndex + "\" (see --list)";
        return false;
    }
    double normalised = 0;
    if (isNormalisedNumber(valueText, normalised)) {
        effect.setParameter(index, static_cast<float>(normalised));
        applied = describe(index);
        return true;
    }
    const float before = effect.getParameter(index);
    ShownParameter parameter{[&](float value) { effect.setParameter(index, value); },
                             [&] { return effect.parameterDisplay(index); },
                             trimmed(effect.parameterLabel(index))};
    ShownValueSearch search = findShownValue(parameter, valueText);
    if (!search.found) {
        effect.setParameter(index, before);
        std::string name = trimmed(effect.parameterName(index));
        error = (name.empty() ? nameOrIndex : name) + " cannot be \"" + trimmed(valueText) + "\": it shows " +
                search.shows + (search.nearest.empty() ? "" : " (nearest " + search.nearest + ")") +
                ", or takes a normalised value from 0 to 1";
        return false;
    }
    effect.setParameter(index, search.value);
    applied = describe(index);
    return true;
}

std::string EffectSettings::describe(int index) {
    std::string name = trimmed(effect.parameterName(index));
    std::string label = trimmed(effect.parameterLabel(index));
    char value[32];
    std::snprintf(value, sizeof(value), " (%.4f)", effect.getParameter(index));
    return (name.empty() ? std::to_string(index) : name) + " = " + trimmed(effect.parameterDisplay(index)) +
           (label.empty() ? "" : " " + label) + value;
}

void EffectSettings::list(FILE* out) {
    AEffect* record = effect.effect();
    VstInt32 id = record->uniqueID;
    std::fprintf(out, "%s (%s), %s, version %ld, id %c%c%c%c\n", effect.text(effGetEffectName).c_str(),
                 effect.text(effGetProductString).c_str(), effect.text(effGetVendorString).c_str(),
                 static_cast<long>(effect.dispatch(effGetVendorVersion)), (id >> 24) & 0xFF,
                 (id >> 16) & 0xFF, (id >> 8) & 0xFF, id & 0xFF);
    std::fprintf(out, "%d inputs, %d outputs, program \"%s\"\n\npresets:\n", record->numInputs,
                 record->numOutputs, effect.text(effGetProgramName).c_str());
    std::vector<std::string> names = presetNames();
    for (size_t i = 0; i < names.size(); ++i) std::fprintf(out, "  %2zu  %s\n", i, names[i].c_str());
    std::fprintf(out, "\nparameters:\n");
    for (VstInt32 i = 0; i < record->numParams; ++i) {
        std::string name = trimmed(effect.parameterName(i));
        if (name.empty()) continue;
        std::string label = trimmed(effect.parameterLabel(i));
        std::fprintf(out, "  %2d  %-12s %s%s%s  (%.4f)\n", i, name.c_str(),
                     effect.parameterDisplay(i).c_str(), label.empty() ? "" : " ", label.c_str(),
                     effect.getParameter(i));
    }
}
