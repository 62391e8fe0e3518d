// Presets and parameters of a loaded effect, chosen the way a user names them.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "hosting/HostedPlugin.h"

class EffectSettings {
public:
    explicit EffectSettings(HostedPlugin& effect);

    // By number or by name (case-insensitive). Our own effect shows the host one program
    // only (and a CLAP plug-in none), so its factory presets are applied parameter by
    // parameter from the table; any other effect's programs are chosen through the host
    // interface.
    bool applyPreset(const std::string& numberOrName, std::string& error);
    // By name (case-insensitive) or index; the value as the effect shows it, or a plain
    // number from 0 to 1 as the normalised value. applied tells what was set, as
    // "Ratio = 4:1 (0.6667)". A refused value leaves the parameter as it was.
    bool setParameter(const std::string& nameOrIndex, const std::string& valueText, std::string& applied,
                      std::string& error);
    void list(FILE* out);

private:
    std::vector<std::string> presetNames();
    int findPreset(const std::string& numberOrName);
    int findParameter(const std::string& nameOrIndex);
    std::string describe(int index);

    HostedPlugin& effect;
};
