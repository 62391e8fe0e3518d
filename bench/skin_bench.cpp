// Inflating each embedded skin set, as the first editor of a process does before its first
// paint: the packed stream into the final buffer, then the film strips' frame deltas.
#include <benchmark/benchmark.h>

#include "skin/SkinBitmaps.h"

namespace {

void inflateSet(benchmark::State& state) {
    const int factor = static_cast<int>(state.range(0));
    const PackedSkinSet packed = packedSkinSet(factor);
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto set = inflateSkinSet(factor, packed.data, packed.size);
        if (!set) {
            state.SkipWithError("the embedded set does not inflate");
            return;
        }
        const SkinBitmap& last = set->bitmaps().back();
        bytes = static_cast<std::size_t>(last.rgb - set->bitmaps().front().rgb) +
                static_cast<std::size_t>(last.width) * last.height * 3;
        benchmark::DoNotOptimize(set->bitmaps().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["packed_bytes"] = static_cast<double>(packed.size);
}

}  // namespace

// Wall time: a set is spread over threads.
BENCHMARK(inflateSet)
    ->ArgName("factor")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
