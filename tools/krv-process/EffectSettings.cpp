#include "tools/krv-process/EffectSettings.h"

#include <strings.h>

#include <cstdlib>

#include "presets/FactoryPresets.h"
#include "tools/krv-process/ShownValue.h"

namespace {

// A whole non-negative decimal number, or -1.
long wholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 9) return -1;
    for (char c : text)
        if (c < '0' || c > '9') return -1;
    return std::strtol(text.c_str(), nullptr, 10);
}

std::string trimmed(const std::string& text) { return trimmedText(text); }

}  // namespace

EffectSettings::EffectSettings(HostedPlugin& effect) : effect(effect) {}

std::vector<std::string> EffectSettings::presetNames() {
    std::vector<std::string> names;
    if (effect.isOurs()) {
        for (const FactoryPreset& preset : kFactoryPresets) names.push_back(preset.name);
        return names;
    }
    for (int i = 0; i < effect.programCount(); ++i) names.push_back(effect.programName(i));
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
    if (!effect.isOurs()) {
        effect.selectProgram(index);
        return true;
    }
    const FactoryPreset& preset = kFactoryPresets[index];
    const float values[12] = {preset.process, 0, preset.ratio, 0, preset.time, preset.compression,
                              preset.output,  0, 0,            0, 0,           0};
    for (int i = 0; i < 12 && i < effect.parameterCount(); ++i) effect.setParameter(i, values[i]);
    if (effect.hasPrograms()) effect.setCurrentProgramName(preset.name);
    return true;
}

int EffectSettings::findParameter(const std::string& nameOrIndexAsGiven) {
    const std::string nameOrIndex = trimmed(nameOrIndexAsGiven);
    const int count = effect.parameterCount();
    long number = wholeNumber(nameOrIndex);
    if (number >= 0) return number < count ? static_cast<int>(number) : -1;
    for (int i = 0; i < count; ++i) {
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
    // Text the plug-in reads itself, where it offers that.
    float read = 0;
    if (effect.parameterFromText(index, trimmed(valueText), read)) {
        effect.setParameter(index, read);
        applied = describe(index);
        return true;
    }
    const float before = effect.parameter(index);
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
    std::snprintf(value, sizeof(value), " (%.4f)", effect.parameter(index));
    return (name.empty() ? std::to_string(index) : name) + " = " + trimmed(effect.parameterDisplay(index)) +
           (label.empty() ? "" : " " + label) + value;
}

void EffectSettings::list(FILE* out) {
    PluginIdentity identity = effect.identity();
    std::fprintf(out, "%s (%s), %s, version %s, id ", identity.name.c_str(), identity.product.c_str(),
                 identity.vendor.c_str(), identity.version.c_str());
    std::fwrite(identity.id.data(), 1, identity.id.size(), out);  // a VST id's bytes as they are
    std::fprintf(out, "\n");
    std::fprintf(out, "%d inputs, %d outputs", identity.inputs, identity.outputs);
    if (effect.hasPrograms()) std::fprintf(out, ", program \"%s\"", effect.currentProgramName().c_str());
    std::fprintf(out, "\n\npresets:\n");
    std::vector<std::string> names = presetNames();
    for (size_t i = 0; i < names.size(); ++i) std::fprintf(out, "  %2zu  %s\n", i, names[i].c_str());
    std::fprintf(out, "\nparameters:\n");
    for (int i = 0; i < effect.parameterCount(); ++i) {
        std::string name = trimmed(effect.parameterName(i));
        if (name.empty()) continue;
        std::string label = trimmed(effect.parameterLabel(i));
        std::fprintf(out, "  %2d  %-12s %s%s%s  (%.4f)\n", i, name.c_str(),
                     effect.parameterDisplay(i).c_str(), label.empty() ? "" : " ", label.c_str(),
                     effect.parameter(i));
    }
}
