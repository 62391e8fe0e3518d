// Cost per stereo frame of the built plug-in in its three modes, beside a peer: the stereo
// compressor of the LSP suite, loaded through the same host code on the same inputs (48 kHz,
// 512-frame blocks, out of place). The peer is skipped with a note when its library is
// absent. KRV_PLUGIN and KRV_PEER_PLUGIN override the two paths.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "hosting/Host.h"

namespace {

constexpr int kBlock = 512;
constexpr double kRate = 48000.0;
constexpr int kSignalFrames = 48000 * 4;  // long enough that the detector sees real programme

const char* pathFrom(const char* variable, const char* fallback) {
    const char* set = std::getenv(variable);
    return set && *set ? set : fallback;
}

// Answers what a plug-in asks of a host while it runs, and records nothing.
class QuietHost : public Host {
public:
    VstIntPtr answer(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) override {
        switch (opcode) {
            case audioMasterVersion: return kVstVersion;
            case audioMasterGetSampleRate: return static_cast<VstIntPtr>(kRate);
            case audioMasterGetBlockSize: return kBlock;
            default: return 0;  // pins connected, nothing else supported
        }
    }
};

// One instance, opened and resumed at 48 kHz the way a host starts it.
struct Instance {
    Instance(const std::string& path, std::string& error) {
        library = PluginLibrary::open(path, error);
        if (library) effect = HostedEffect::create(*library, host, error);
        if (!effect) return;
        effect->dispatch(effOpen);
        effect->dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
        effect->dispatch(effSetBlockSize, 0, kBlock);
        effect->dispatch(effMainsChanged, 0, 1);
        effect->dispatch(effStartProcess);
    }
    ~Instance() {
        if (!effect) return;
        effect->dispatch(effStopProcess);
        effect->dispatch(effMainsChanged, 0, 0);
    }
    QuietHost host;
    std::unique_ptr<PluginLibrary> library;
    std::unique_ptr<HostedEffect> effect;
};

struct Input {
    const char* name;
    std::vector<float> left, right;
};

// Noise, a drum pattern, silence and a loud signal, each a few seconds of stereo.
std::vector<Input> makeInputs() {
    std::vector<Input> inputs = {{"noise", {}, {}}, {"drums", {}, {}}, {"silence", {}, {}},
                                 {"loud", {}, {}}};
    std::mt19937 random(7);
    std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
    for (Input& input : inputs) {
        input.left.resize(kSignalFrames);
        input.right.resize(kSignalFrames);
    }
    for (int i = 0; i < kSignalFrames; ++i) {
        inputs[0].left[i] = 0.5f * uniform(random);
        inputs[0].right[i] = 0.5f * uniform(random);
        // Kick on every beat at 120 bpm, snare-like noise on the off-beats, hats between.
        const int beat = i % 24000, half = i % 12000, eighth = i % 6000;
        const double kick = std::exp(-beat / 3000.0) * std::sin(2 * M_PI * 55.0 * beat / kRate);
        const double snare = (i / 12000) % 2 ? std::exp(-half / 2500.0) * uniform(random) : 0.0;
        const double hat = std::exp(-eighth / 400.0) * uniform(random) * 0.2;
        inputs[1].left[i] = static_cast<float>(0.8 * kick + 0.4 * snare + hat);
        inputs[1].right[i] = static_cast<float>(0.8 * kick + 0.35 * snare + 0.8 * hat);
        const double t = i / kRate;
        inputs[3].left[i] = static_cast<float>(3.0 * std::sin(2 * M_PI * 110.0 * t) +
                                               0.5 * uniform(random));
        inputs[3].right[i] = static_cast<float>(3.0 * std::sin(2 * M_PI * 165.0 * t) +
                                                0.5 * uniform(random));
    }
    return inputs;
}

using SetUp = std::function<void(HostedEffect&)>;

// Feeds an input to an instance block after block, as a host does, through processReplacing.
class Player {
public:
    Player(HostedEffect& effect, const Input& input)
        : effect(effect.effect()), input(input), outLeft(kBlock), outRight(kBlock) {}
    void playBlock() {
        float* in[2] = {const_cast<float*>(&input.left[at]), const_cast<float*>(&input.right[at])};
        float* out[2] = {outLeft.data(), outRight.data()};
        effect->processReplacing(effect, in, out, kBlock);
        benchmark::DoNotOptimize(outLeft.data());
        at = at + 2 * kBlock > kSignalFrames ? 0 : at + kBlock;
    }

private:
    AEffect* effect;
    const Input& input;
    std::vector<float> outLeft, outRight;
    int at = 0;
};

void processInput(benchmark::State& state, const std::string& path, const SetUp& setUp,
                  const Input& input) {
    std::string error;
    Instance instance(path, error);
    if (!instance.effect) {
        state.SkipWithError(error.c_str());
        return;
    }
    setUp(*instance.effect);
    Player player(*instance.effect, input);
    for (auto _ : state) player.playBlock();
    state.SetItemsProcessed(state.iterations() * kBlock);
}

// A fixed number of blocks and nothing else, for instruction counts under callgrind:
// `valgrind --tool=callgrind krv-bench --profile=Clear/noise --blocks=400`.
int profile(const std::string& path, const SetUp& setUp, const Input& input, int blocks) {
    std::string error;
    Instance instance(path, error);
    if (!instance.effect) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    setUp(*instance.effect);
    Player player(*instance.effect, input);
    for (int i = 0; i < blocks; ++i) player.playBlock();
    std::printf("%d blocks of %d frames\n", blocks, kBlock);
    return 0;
}

// Keeps the fastest time per frame of every benchmark: with repetitions the others were
// disturbed by the shared machine.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
            const double frames = static_cast<double>(run.iterations) * kBlock;
            const double ns = 1e9 * run.cpu_accumulated_time / frames;
            auto [entry, added] = nanosecondsPerFrame.emplace(run.run_name.function_name, ns);
            if (!added && ns < entry->second) entry->second = ns;
        }
    }
    std::map<std::string, double> nanosecondsPerFrame;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::string profiled;
    int blocks = 400;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--profile=", 0) == 0) profiled = argument.substr(10);
        if (argument.rfind("--blocks=", 0) == 0) blocks = std::atoi(argument.c_str() + 9);
    }
    const std::string ours = pathFrom("KRV_PLUGIN", KRV_PLUGIN_PATH);
    const std::string peer =
        pathFrom("KRV_PEER_PLUGIN", "/usr/lib/vst/lsp-plugins/compressor-stereo.so");
    std::string error;
    const bool peerPresent = profiled.empty() ? Instance(peer, error).effect != nullptr : true;
    if (!peerPresent)
        std::printf("peer skipped: %s (install lsp-plugins-vst)\n", error.c_str());

    static const std::vector<Input> inputs = makeInputs();
    const std::pair<const char*, float> modes[] = {{"Off", 0.0f}, {"Clear", 0.5f}, {"Valve", 1.0f}};
    for (const Input& input : inputs) {
        for (const auto& [mode, value] : modes) {
            const float processValue = value;
            const SetUp setUp = [processValue](HostedEffect& e) {
                e.setParameter(0, processValue);
            };
            const std::string name = std::string(mode) + "/" + input.name;
            if (name == profiled) return profile(ours, setUp, input, blocks);
            benchmark::RegisterBenchmark(name.c_str(), processInput, ours, setUp, std::cref(input));
        }
        const std::string name = std::string("Peer/") + input.name;
        const SetUp asItComes = [](HostedEffect&) {};
        if (name == profiled) return profile(peer, asItComes, input, blocks);
        if (peerPresent)
            benchmark::RegisterBenchmark(name.c_str(), processInput, peer, asItComes,
                                         std::cref(input));
    }
    if (!profiled.empty()) {
        std::fprintf(stderr, "no benchmark named %s\n", profiled.c_str());
        return 1;
    }

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nns per stereo frame (fastest run), and the cost relative to the peer\n");
    std::printf("%-8s", "input");
    for (const auto& [mode, value] : modes) std::printf(" %9s %8s", mode, "x peer");
    std::printf(" %9s\n", "Peer");
    for (const Input& input : inputs) {
        const auto cost = [&](const std::string& subject) {
            auto found = reporter.nanosecondsPerFrame.find(subject + "/" + input.name);
            return found == reporter.nanosecondsPerFrame.end() ? NAN : found->second;
        };
        // A figure that was not measured (filtered out, or no peer) shows as a dash.
        const auto show = [](const char* format, int width, double value) {
            if (std::isnan(value))
                std::printf(" %*s", width, "-");
            else
                std::printf(format, value);
        };
        const double peerCost = cost("Peer");
        std::printf("%-8s", input.name);
        for (const auto& [mode, value] : modes) {
            show(" %9.1f", 9, cost(mode));
            show(" %8.2f", 8, cost(mode) / peerCost);
        }
        show(" %9.1f", 9, peerCost);
        std::printf("\n");
    }
    return 0;
}
