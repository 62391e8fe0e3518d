// Runs a whole file through an effect in host-style blocks, as a host's offline render does.
#pragma once

#include <string>

#include "hosting/HostedPlugin.h"
#include "tools/krv-process/AudioFile.h"
#include "tools/krv-process/LevelMeter.h"

struct RenderResult {
    LevelMeter input;
    LevelMeter output;
};

// Prepares the effect for the file's rate and channel count, processes every block through
// the 32-bit or the 64-bit path and writes the result.
bool renderFile(HostedPlugin& effect, AudioReader& reader, AudioWriter& writer, int blockSize,
                bool doublePrecision, RenderResult& result, std::string& error);
