// krvmath's functions, scalar and in 2 and 4 lanes, against the C library's, over 1024
// arguments in the ranges the signal path uses.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "effect/math/KrvMath.h"

namespace {

constexpr int kCount = 1024;

std::vector<double> arguments(double lo, double hi) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> dist(lo, hi);
    std::vector<double> v(kCount);
    for (auto& d : v) d = dist(rng);
    return v;
}

template <class F>
void runScalar(benchmark::State& state, double lo, double hi, F f) {
    const auto in = arguments(lo, hi);
    std::vector<double> out(kCount);
    for (auto _ : state) {
        for (int i = 0; i < kCount; ++i) out[i] = f(in[i]);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}

template <int Lanes, class F>
void runLanes(benchmark::State& state, double lo, double hi, F f) {
    if (Lanes == 4 && !krvmath::avx2Available()) {
        state.SkipWithError("no AVX2");
        return;
    }
    const auto in = arguments(lo, hi);
    std::vector<double> out(kCount);
    for (auto _ : state) {
        for (int i = 0; i < kCount; i += Lanes) f(&in[i], &out[i]);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}

double sinAndCos(double x) {
    const auto r = krvmath::sinCos(x);
    return r.sin + r.cos;
}
double librarySinAndCos(double x) { return std::sin(x) + std::cos(x); }
void sinCos2(const double* x, double* out) {
    double c[2];
    krvmath::sinCos2(x, out, c);
}
void sinCos4(const double* x, double* out) {
    double c[4];
    krvmath::sinCos4(x, out, c);
}
double pow100(double x) { return krvmath::pow(100.0, x); }
double libraryPow100(double x) { return std::pow(100.0, x); }
void pow100x2(const double* x, double* out) {
    const double base[2] = {100.0, 100.0};
    krvmath::pow2(base, x, out);
}
void pow100x4(const double* x, double* out) {
    const double base[4] = {100.0, 100.0, 100.0, 100.0};
    krvmath::pow4(base, x, out);
}

#define KRV_MATH_BENCH(name, lo, hi, ours, library, two, four)                                \
    void name##Library(benchmark::State& s) { runScalar(s, lo, hi, library); }               \
    void name##Scalar(benchmark::State& s) { runScalar(s, lo, hi, ours); }                   \
    void name##TwoLanes(benchmark::State& s) { runLanes<2>(s, lo, hi, two); }                \
    void name##FourLanes(benchmark::State& s) { runLanes<4>(s, lo, hi, four); }              \
    BENCHMARK(name##Library);                                                                \
    BENCHMARK(name##Scalar);                                                                 \
    BENCHMARK(name##TwoLanes);                                                               \
    BENCHMARK(name##FourLanes);

KRV_MATH_BENCH(SinCos, 0.0, 3.14, sinAndCos, librarySinAndCos, sinCos2, sinCos4)
// The opto cell's angles: below 0.2 at every rate the detector runs at.
KRV_MATH_BENCH(SinCosCell, 0.0, 0.2, sinAndCos, librarySinAndCos, sinCos2, sinCos4)
KRV_MATH_BENCH(Atan, 0.0, 5.0, krvmath::atan, [](double x) { return std::atan(x); },
               krvmath::atan2Lanes, krvmath::atan4)
KRV_MATH_BENCH(Tanh, 0.0, 5.0, krvmath::tanh, [](double x) { return std::tanh(x); },
               krvmath::tanh2, krvmath::tanh4)
KRV_MATH_BENCH(Exp, -20.0, 20.0, krvmath::exp, [](double x) { return std::exp(x); },
               krvmath::exp2Lanes, krvmath::exp4)
KRV_MATH_BENCH(Log, 1e-6, 10.0, krvmath::log, [](double x) { return std::log(x); },
               krvmath::log2Lanes, krvmath::log4)
KRV_MATH_BENCH(Pow, 0.0, 1.0, pow100, libraryPow100, pow100x2, pow100x4)

}  // namespace

BENCHMARK_MAIN();
