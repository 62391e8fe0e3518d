// Cost of the signal path per stereo frame, through the built plug-in, against a floor:
// the arithmetic every compressed sample cannot avoid.
#include <benchmark/benchmark.h>

#include <cmath>
#include <initializer_list>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "effect/CBiquad.h"
#include "hosting/RecordingHost.h"

namespace {

constexpr int kBlock = 512;

struct LoadedPlugin {
    LoadedPlugin() {
        std::string error;
        library = PluginLibrary::open(KRV_PLUGIN_PATH, error);
        if (library) effect = HostedEffect::create(*library, host, error);
        if (!effect) std::fprintf(stderr, "cannot load the plug-in: %s\n", error.c_str());
    }
    RecordingHost host;
    std::unique_ptr<PluginLibrary> library;
    std::unique_ptr<HostedEffect> effect;
};

template <typename Sample>
void processPlugin(benchmark::State& state, float processValue) {
    LoadedPlugin plugin;
    if (!plugin.effect) {
        state.SkipWithError("plug-in not loaded");
        return;
    }
    plugin.host.recordIdle = false;
    HostedEffect& effect = *plugin.effect;
    effect.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    effect.dispatch(effSetBlockSize, 0, kBlock);
    effect.setParameter(0, processValue);
    effect.dispatch(effMainsChanged, 0, 1);
    std::vector<Sample> left(kBlock), right(kBlock), outLeft(kBlock), outRight(kBlock);
    long t = 0;
    Sample* in[2] = {left.data(), right.data()};
    Sample* out[2] = {outLeft.data(), outRight.data()};
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < kBlock; ++i, ++t) {
            double hit = std::exp(-(t % 12000) / 2000.0);
            left[i] = static_cast<Sample>(0.7 * hit * std::sin(t * 0.02));
            right[i] = static_cast<Sample>(0.6 * hit * std::sin(t * 0.021));
        }
        plugin.host.calls.clear();
        state.ResumeTiming();
        if constexpr (sizeof(Sample) == 4)
            effect.effect()->processReplacing(effect.effect(), in, out, kBlock);
        else
            effect.effect()->processDoubleReplacing(effect.effect(), in, out, kBlock);
        benchmark::DoNotOptimize(outLeft.data());
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}

void Float_Off(benchmark::State& s) { processPlugin<float>(s, 0.0f); }
void Float_Clear(benchmark::State& s) { processPlugin<float>(s, 0.5f); }
void Float_Valve(benchmark::State& s) { processPlugin<float>(s, 1.0f); }
void Double_Off(benchmark::State& s) { processPlugin<double>(s, 0.0f); }
void Double_Clear(benchmark::State& s) { processPlugin<double>(s, 0.5f); }
void Double_Valve(benchmark::State& s) { processPlugin<double>(s, 1.0f); }

// The arithmetic no compressor of this design can avoid per frame, in the kernel's own data
// flow: two side-chain filters, two averages, one sine and one cosine to move the cell, ten
// cell steps, one square root, one arctangent for the gain, one meter step.
void Floor(benchmark::State& state) {
    CBiquad highPassL{48000, CBiquad::kHighPass, 40, 0.3}, highPassR{48000, CBiquad::kHighPass, 40, 0.3};
    CBiquad fast{48000, CBiquad::kLowPass, 5, 0.5}, slow{48000, CBiquad::kLowPass, 2, 0.5};
    CBiquad cell{48000, CBiquad::kLowPass, 10, 0.1}, meter{48000, CBiquad::kLowPass, 2.3, 0.583};
    for (CBiquad* s : {&highPassL, &highPassR, &fast, &slow, &cell, &meter}) s->design();
    std::vector<double> left(kBlock), right(kBlock), outLeft(kBlock), outRight(kBlock);
    for (int i = 0; i < kBlock; ++i) {
        left[i] = 0.5 * std::sin(i * 0.05);
        right[i] = 0.4 * std::sin(i * 0.051);
    }
    for (auto _ : state) {
        for (int i = 0; i < kBlock; ++i) {
            double l = highPassL.step(left[i]), r = highPassR.step(right[i]);
            double p = l * l + r * r;
            double f = fast.step(p), s = slow.step(p);
            double w = (f - s) * 1e-3 + 1e-3;
            double c = std::cos(w);
            cell.a1 = -1.9 * c;
            cell.b0 = cell.b2 = 0.02 * (1.0 - c) + std::sin(w) * 1e-6;
            cell.stepFourTimes(p);
            cell.stepFourTimes(p);
            cell.step(p);
            double gain = std::atan(std::sqrt(cell.step(p) + 1e-3)) * 0.5;
            meter.step(gain);
            outLeft[i] = gain * left[i];
            outRight[i] = gain * right[i];
        }
        benchmark::DoNotOptimize(outLeft.data());
        benchmark::DoNotOptimize(outRight.data());
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}

// Remembers the time per frame of every benchmark for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // With repetitions the fastest run counts: the others were disturbed.
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
            double frames = static_cast<double>(run.iterations) * kBlock;
            double ns = 1e9 * run.real_accumulated_time / frames;
            auto [entry, added] = nanosecondsPerFrame.emplace(run.run_name.function_name, ns);
            if (!added && ns < entry->second) entry->second = ns;
        }
    }
    std::map<std::string, double> nanosecondsPerFrame;
};

}  // namespace

BENCHMARK(Float_Off);
BENCHMARK(Float_Clear);
BENCHMARK(Float_Valve);
BENCHMARK(Double_Off);
BENCHMARK(Double_Clear);
BENCHMARK(Double_Valve);
BENCHMARK(Floor);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto found = reporter.nanosecondsPerFrame.find("Floor");
    if (found == reporter.nanosecondsPerFrame.end()) return 0;
    const double floor = found->second;
    std::printf("\n%-14s %10s %12s %14s\n", "benchmark", "ns/frame", "vs floor", "x real time");
    for (const auto& [name, ns] : reporter.nanosecondsPerFrame)
        std::printf("%-14s %10.1f %12.2f %14.0f\n", name.c_str(), ns, ns / floor, 1e9 / (ns * 48000.0));
    return 0;
}
