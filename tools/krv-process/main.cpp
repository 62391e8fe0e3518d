// krv-process: the offline host. Loads a plug-in (VST 2.4, or CLAP for a .clap file) through
// its entry point as any host does and runs an audio file through it.
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "hosting/HostedPlugin.h"
#include "hosting/RecordingHost.h"
#include "tools/common/DefaultPlugin.h"
#include "tools/krv-process/AudioFile.h"
#include "tools/krv-process/DemoSignal.h"
#include "tools/krv-process/EffectSettings.h"
#include "tools/krv-process/OfflineProcessor.h"
#include "tools/krv-process/Options.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kFailure = 1;

int fail(const std::string& message, int code = kFailure) {
    std::fprintf(stderr, "krv-process: %s\n", message.c_str());
    return code;
}

std::string decibels(double db) {
    if (std::isinf(db)) return "-inf";
    char text[32];
    std::snprintf(text, sizeof(text), "%.2f", db);
    return text;
}

// "peak -3.10 dBFS, RMS -18.20 dBFS", and how many samples were left out of both.
void printLevels(const LevelMeter& levels) {
    std::printf("        peak %s dBFS, RMS %s dBFS", decibels(levels.peakDb()).c_str(),
                decibels(levels.rmsDb()).c_str());
    const size_t nonFinite = levels.nonFiniteSamples();
    if (nonFinite) std::printf(" (%zu sample%s not finite, left out)", nonFinite, nonFinite == 1 ? "" : "s");
    std::printf("\n");
}

void printSummary(const Options& options, const AudioReader& reader, const RenderResult& result) {
    std::printf("input:  %s (%s, %d Hz, %.2f s)\n", options.input.c_str(),
                reader.channels() == 1 ? "mono" : "stereo", reader.sampleRate(),
                static_cast<double>(reader.frames()) / reader.sampleRate());
    printLevels(result.input);
    std::printf("output: %s\n", options.output.c_str());
    printLevels(result.output);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        fail(error, kUsageError);
        printUsage(stderr, pluginSearchSummary());
        return kUsageError;
    }
    if (options.help) {
        printUsage(stdout, pluginSearchSummary());
        return 0;
    }

    std::string pluginPath;
    if (!choosePlugin(options.pluginPath, pluginPath, error)) return fail(error);
    RecordingHost host;
    host.recordIdle = false;
    HostServices services;
    services.name = "krv-process";
    services.vst = &host;
    auto effect = openPlugin(pluginPath, services, error);
    if (!effect) return fail(error);
    std::fprintf(stderr, "krv-process: loaded %s\n", pluginPath.c_str());
    EffectSettings settings(*effect);
    if (!options.preset.empty() && !settings.applyPreset(options.preset, error))
        return fail(error, kUsageError);
    for (const auto& [name, value] : options.parameters) {
        std::string applied;
        if (!settings.setParameter(name, value, applied, error)) return fail(error, kUsageError);
        if (!options.quiet) std::printf("%s\n", applied.c_str());
    }
    if (options.list) {
        if (!options.parameters.empty() && !options.quiet) std::printf("\n");
        settings.list(stdout);
        return 0;
    }
    if (options.doublePrecision && !effect->canProcessDouble())
        return fail(pluginPath + " has no 64-bit processing");

    if (!options.demoDirectory.empty()) {
        mkdir(options.demoDirectory.c_str(), 0777);
        if (!writeDemoSignal(options.input, error)) return fail(error);
    }
    AudioReader reader;
    if (!reader.open(options.input, error)) return fail(error);
    if (reader.channels() < 1 || reader.channels() > 2)
        return fail(options.input + " has " + std::to_string(reader.channels()) +
                    " channels; only mono and stereo files are supported");
    AudioWriter writer;
    if (!writer.open(options.output, reader.channels(), reader.sampleRate(), reader.format(), error))
        return fail(error);
    RenderResult result;
    if (!renderFile(*effect, reader, writer, options.blockSize, options.doublePrecision, result, error))
        return fail(error);
    if (!writer.commit(error)) return fail(error);
    if (!options.quiet) printSummary(options, reader, result);
    return 0;
}
