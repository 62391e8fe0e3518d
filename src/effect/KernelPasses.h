// The passes of the compressor kernel, written once over a lane type (effect/math/Lanes.h)
// and built per instruction set by KernelSse2.cpp and KernelAvx2.cpp. Everything here has
// internal linkage, and nothing calls an inline function of another header that could be
// emitted with the other build's instructions (tests/effect/avx2_objects_share_no_code.sh).
//
// A block is processed in chunks of up to 64 frames; each pass runs over the whole chunk
// before the next one starts, so that the work that does not depend on the opto cell's
// previous output runs free of the cell's chain, and the cell's recursion runs alone:
//  1. gain smoothing, noise floor, drive, the side-chain high-passes, the linked power and
//     the two averages, frame by frame (their recursions run side by side);
//  2. the cell's design for every frame, in lanes;
//  3. the cell's recursion, and beside it the meter over the gains of the chunk before;
//  4. the gain curve for every frame, in lanes;
//  5. the output with the valve stage, in lanes.
// Passes 2 and 4 compute a single design or gain when all the chunk's frames have the same
// inputs (silence at the floors), or none when they are those of the last frame before.
// The math passes run four lane groups interleaved (Wide), so that their chains overlap.
// The passes are kept out of line, one call per chunk, so that profiles show each.
// Every value is computed as the algorithm writes it, in the same order per frame; only
// independent computations are regrouped, and a result is reused only when its inputs are
// bit for bit those it was computed from.
//
// Read once per block: the valve scale (from the ratio index).
// Read once per chunk: the process mode, the ratio index for the gain curve, the time scale
// and the two gain targets (ChunkSettings).
// Read per frame: the two inputs. All inputs of a chunk are read before any of its outputs
// is written, so in-place and mono buffers, which only ever share an index, are safe.
// Written once per chunk: the meter, with its last value so far.
#pragma once

#include <emmintrin.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <limits>

#include "effect/GainCurves.h"
#include "effect/Kernel.h"
#include "effect/OptoCompressor.h"
#include "effect/math/AtanTanh.h"
#include "effect/math/SinCos.h"

namespace kernel {
namespace {

using krvmath::anyLane;
using krvmath::notMask;
using krvmath::ScalarLanes;
using krvmath::Twice;
using krvmath::select;  // not the C library's select() for the one-lane form
using krvmath::squareRoot;

constexpr int kChunkFrames = 64;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kNever = std::numeric_limits<double>::quiet_NaN();  // no value yet

template <class L>
struct HalfOf {
    using type = ScalarLanes;
};
template <class L>
struct HalfOf<krvmath::Twice<L>> {
    using type = L;
};

// The lanes of the math passes: four groups interleaved (16 frames with AVX2, 8 with SSE2),
// as many chains as keep the processor busy without running out of registers.
template <class L>
using Wide = Twice<Twice<L>>;

// Runs body(lanes, i) for i = from, from + L::kCount, ... over whole lane groups, then on
// what is left in half as many lanes, down to one.
template <class L, class Body>
void inLanes(int from, int to, Body&& body) {
    int i = from;
    for (; i + L::kCount <= to; i += L::kCount) body(L{}, i);
    if constexpr (L::kCount > 1) inLanes<typename HalfOf<L>::type>(i, to, body);
}

inline bool sameBits(double a, double b) {
    std::uint64_t x, y;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}

// A second-order section as CBiquad steps it, held in locals (the cell, the meter).
struct Section {
    double offset, x, x1, x2, y, y1, y2;
    double a1, a2, b0, b1, b2;

    explicit Section(const CBiquad& c)
        : offset(c.offset), x(c.x), x1(c.x1), x2(c.x2), y(c.y), y1(c.y1), y2(c.y2), a1(c.a1),
          a2(c.a2), b0(c.b0), b1(c.b1), b2(c.b2) {}
    void store(CBiquad& c) const {
        c.offset = offset;
        c.x = x;
        c.x1 = x1;
        c.x2 = x2;
        c.y = y;
        c.y1 = y1;
        c.y2 = y2;
        c.a1 = a1;
        c.a2 = a2;
        c.b0 = b0;
        c.b1 = b1;
        c.b2 = b2;
    }
    double advance(double xs) {
        const double out = b0 * xs + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = xs;
        y2 = y1;
        y1 = out + offset;
        y = out;
        return out;
    }
    double step(double in) {
        offset = -offset;
        const double xs = in + offset;
        x = xs;
        return advance(xs);
    }
    // Four samples of the same input: the opto cell's attack.
    double stepFourTimes(double in) {
        offset = -offset;
        const double xs = in + offset;
        x = xs;
        advance(xs);
        advance(xs);
        advance(xs);
        return advance(xs);
    }
};

// Two sections stepped side by side, one in each lane of an SSE2 register, each lane with
// exactly the operations of Section::step.
class SectionPair {
public:
    SectionPair(const CBiquad& low, const CBiquad& high)
        : b0(_mm_set_pd(high.b0, low.b0)), b1(_mm_set_pd(high.b1, low.b1)),
          b2(_mm_set_pd(high.b2, low.b2)), a1(_mm_set_pd(high.a1, low.a1)),
          a2(_mm_set_pd(high.a2, low.a2)), offset(_mm_set_pd(high.offset, low.offset)),
          x(_mm_set_pd(high.x, low.x)), x1(_mm_set_pd(high.x1, low.x1)),
          x2(_mm_set_pd(high.x2, low.x2)), y(_mm_set_pd(high.y, low.y)),
          y1(_mm_set_pd(high.y1, low.y1)), y2(_mm_set_pd(high.y2, low.y2)) {}

    __m128d step(__m128d in) {
        offset = _mm_xor_pd(offset, _mm_set1_pd(-0.0));
        const __m128d xs = _mm_add_pd(in, offset);
        x = xs;
        __m128d out = _mm_mul_pd(b0, xs);
        out = _mm_add_pd(out, _mm_mul_pd(b1, x1));
        out = _mm_add_pd(out, _mm_mul_pd(b2, x2));
        out = _mm_sub_pd(out, _mm_mul_pd(a1, y1));
        out = _mm_sub_pd(out, _mm_mul_pd(a2, y2));
        x2 = x1;
        x1 = xs;
        y2 = y1;
        y1 = _mm_add_pd(out, offset);
        y = out;
        return out;
    }

    // Writes the history and the offsets back; the coefficients are unchanged.
    void store(CBiquad& low, CBiquad& high) const {
        storeField(offset, low.offset, high.offset);
        storeField(x, low.x, high.x);
        storeField(x1, low.x1, high.x1);
        storeField(x2, low.x2, high.x2);
        storeField(y, low.y, high.y);
        storeField(y1, low.y1, high.y1);
        storeField(y2, low.y2, high.y2);
    }

private:
    static void storeField(__m128d value, double& low, double& high) {
        _mm_storel_pd(&low, value);
        _mm_storeh_pd(&high, value);
    }

    __m128d b0, b1, b2, a1, a2;
    __m128d offset, x, x1, x2, y, y1, y2;
};

// The ±1e-10 noise after the drive (NoiseFloor's generators, kept in registers).
struct Noise {
    std::uint32_t s1, s2, s3;

    explicit Noise(const NoiseFloor& n) : s1(n.state1), s2(n.state2), s3(n.state3) {}
    void store(NoiseFloor& n) const {
        n.state1 = s1;
        n.state2 = s2;
        n.state3 = s3;
    }
    double next() {
        s1 = ((((s1 >> 9) ^ s1) >> 6) & 0x1FFFu) ^ (s1 << 13);
        s2 = ((((s2 >> 2) ^ s2) >> 7) & 0xFFFFFu) ^ (s2 << 20);
        s3 = ((((s3 >> 6) ^ s3) >> 8) & 0x1FFFFu) ^ (s3 << 17);
        const std::uint32_t word = s1 ^ s2 ^ s3;
        return (static_cast<double>(word) * 2.3283064365e-10 * 2.0 - 1.0) * 1e-10;
    }
};

// What one pass leaves for the next, per frame of the chunk.
struct Chunk {
    int frames = 0;
    double inverse[kChunkFrames];  // 1 / drive
    double makeUp[kChunkFrames];
    double xL[kChunkFrames], xR[kChunkFrames];      // driven audio, noise included
    double p[kChunkFrames];                         // linked detector power
    double fast[kChunkFrames], slow[kChunkFrames];  // the averages, floored
    double fc[kChunkFrames];  // the cell's cut-off as computed, before limiting
    double a0[kChunkFrames], a1[kChunkFrames], a2[kChunkFrames];  // the cell's coefficients;
    double b0[kChunkFrames], b1[kChunkFrames];                    // b2 equals b0
    double envelope[kChunkFrames];
    double gain[kChunkFrames];
};

// The cell's design of the last frame designed in the block, with what it was designed from.
struct KeptDesign {
    bool valid = false;
    double fast, slow, timeScale;
    double fc, a0, a1, a2, b0, b1;
};

// The gain of the last frame in the block, with what it was computed from.
struct KeptGain {
    bool valid = false;
    double envelope;
    int ratioIndex;
    double gain;
};

// Whether values[from..to) all have the bits of `value`.
inline bool allSameBits(const double* values, int from, int to, double value) {
    std::uint64_t want, difference = 0;
    std::memcpy(&want, &value, sizeof want);
    for (int j = from; j < to; ++j) {
        std::uint64_t bits;
        std::memcpy(&bits, &values[j], sizeof bits);
        difference |= bits ^ want;
    }
    return difference == 0;
}

// The side chain in registers for one pass: high-passes, linked power, averages floored at
// 1e-6 (a NaN stays NaN).
class SideChain {
public:
    explicit SideChain(const OptoCompressor::State& s)
        : highPasses(s.sidechainHighPassLeft, s.sidechainHighPassRight),
          averages(s.fastAverage, s.slowAverage) {}

    // x: the frame's driven left and right.
    void step(__m128d x, Chunk& chunk, int j) {
        const __m128d h = highPasses.step(x);
        const __m128d squares = _mm_mul_pd(h, h);
        const double p =
            (_mm_cvtsd_f64(squares) + _mm_cvtsd_f64(_mm_unpackhi_pd(squares, squares))) * 0.7071;
        chunk.p[j] = p;
        __m128d averaged = averages.step(_mm_set1_pd(p));
        const __m128d floor = _mm_set1_pd(1e-6);
        const __m128d below = _mm_cmplt_pd(averaged, floor);
        averaged = _mm_or_pd(_mm_and_pd(below, floor), _mm_andnot_pd(below, averaged));
        _mm_storel_pd(&chunk.fast[j], averaged);
        _mm_storeh_pd(&chunk.slow[j], averaged);
    }

    void store(OptoCompressor::State& s) const {
        highPasses.store(s.sidechainHighPassLeft, s.sidechainHighPassRight);
        averages.store(s.fastAverage, s.slowAverage);
    }

private:
    SectionPair highPasses, averages;
};

// Pass 1: gains, noise, drive and side chain. Drive and make-up glide towards their targets
// (the alternating offset keeps the smoothers out of denormals); two frames in a row, one
// with each sign of the offset, that leave both gains as they were mean the smoothers sit
// at a fixed point, and the rest of the chunk keeps the gains.
template <typename Sample>
__attribute__((noinline)) void driveAndDetect(OptoCompressor::State& s,
                                              const ChunkSettings& settings, const Sample* in0,
                                              const Sample* in1, Chunk& chunk) {
    double offset = s.gainSmoothOffset;
    double outputGain = s.outputGain, inputGain = s.inputGain, inverse = s.inputGainInverse;
    int framesUnchanged = 0;
    Noise noise(s.noise);
    SideChain sideChain(s);
    for (int j = 0; j < chunk.frames; ++j) {
        offset = -offset;
        if (framesUnchanged < 2) {
            const double output =
                outputGain + 0.001 * (settings.outputGainTarget - outputGain) + offset;
            const double input =
                inputGain + 0.001 * (settings.inputGainTarget - inputGain) + offset;
            const bool unchanged = sameBits(output, outputGain) && sameBits(input, inputGain);
            framesUnchanged = unchanged ? framesUnchanged + 1 : 0;
            outputGain = output;
            inputGain = input;
            inverse = 1.0 / inputGain;
        }
        chunk.makeUp[j] = outputGain;
        chunk.inverse[j] = inverse;
        const double noiseL = noise.next();
        const double noiseR = noise.next();
        const __m128d in = _mm_set_pd(static_cast<double>(in1[j]), static_cast<double>(in0[j]));
        const __m128d x =
            _mm_add_pd(_mm_mul_pd(in, _mm_set1_pd(inputGain)), _mm_set_pd(noiseR, noiseL));
        _mm_storel_pd(&chunk.xL[j], x);
        _mm_storeh_pd(&chunk.xR[j], x);
        sideChain.step(x, chunk, j);
    }
    s.gainSmoothOffset = offset;
    s.outputGain = outputGain;
    s.inputGain = inputGain;
    s.inputGainInverse = inverse;
    noise.store(s.noise);
    sideChain.store(s);
}

// The side chain again from frame `from` on, after the detector was restarted.
inline void detectFrom(OptoCompressor::State& s, Chunk& chunk, int from) {
    SideChain sideChain(s);
    for (int j = from; j < chunk.frames; ++j)
        sideChain.step(_mm_set_pd(chunk.xR[j], chunk.xL[j]), chunk, j);
    sideChain.store(s);
}

// The cell's low-pass design (without design()'s near-Nyquist Q reduction) for frames
// from..to: cut-off from the ratio of the fast to the slow average, limited, as an angle;
// its sine and cosine; the coefficients.
template <class L>
void designFrames(const CBiquad& cell, double timeScale, Chunk& c, int from, int to) {
    const double top = 0.499 * cell.sampleRate;
    inLanes<L>(from, to, [&](auto lanes, int i) {
        using Lanes = decltype(lanes);
        using V = typename Lanes::V;
        const V ratio = V(0.2) * Lanes::load(c.fast + i) / Lanes::load(c.slow + i);
        const V fc = (V(4.0) * ratio / (ratio + V(1.0)) + V(0.1)) * V(0.7) / V(timeScale);
        V limited = select(fc < V(0.001), V(0.001), fc);
        limited = select(limited > V(top), V(top), limited);
        const V w = limited * V(kTwoPi) / V(cell.sampleRate);
        const auto sc = krvmath::sinCosKernel<Lanes>(w);
        const V alpha = sc.sin / (V(2.0) * V(cell.q));
        const V a0 = V(1.0) + alpha;
        const V k = V(1.0) / a0;
        Lanes::store(c.fc + i, fc);
        Lanes::store(c.a0 + i, a0);
        Lanes::store(c.a1 + i, V(-2.0) * sc.cos * k);
        Lanes::store(c.a2 + i, (V(1.0) - alpha) * k);
        Lanes::store(c.b1 + i, (V(1.0) - sc.cos) * k);
        Lanes::store(c.b0 + i, V(0.5) * (V(1.0) - sc.cos) * k);
    });
}

// Pass 2: the cell's design for frames from `from` on.
template <class L>
__attribute__((noinline)) void designCell(const CBiquad& cell, double timeScale, Chunk& c,
                                          KeptDesign& kept, int from) {
    const int n = c.frames;
    if (from >= n) return;
    const bool sameAsKept = kept.valid && sameBits(timeScale, kept.timeScale) &&
                            allSameBits(c.fast, from, n, kept.fast) &&
                            allSameBits(c.slow, from, n, kept.slow);
    if (!sameAsKept) {
        const bool shared = allSameBits(c.fast, from + 1, n, c.fast[from]) &&
                            allSameBits(c.slow, from + 1, n, c.slow[from]);
        designFrames<L>(cell, timeScale, c, from, shared ? from + 1 : n);
        kept = {true,       c.fast[from], c.slow[from], timeScale, c.fc[from],
                c.a0[from], c.a1[from],   c.a2[from],   c.b0[from], c.b1[from]};
        if (!shared) {
            const int last = n - 1;
            kept = {true,       c.fast[last], c.slow[last], timeScale, c.fc[last],
                    c.a0[last], c.a1[last],   c.a2[last],   c.b0[last], c.b1[last]};
            return;
        }
    }
    for (int j = from; j < n; ++j) {
        c.fc[j] = kept.fc;
        c.a0[j] = kept.a0;
        c.a1[j] = kept.a1;
        c.a2[j] = kept.a2;
        c.b0[j] = kept.b0;
        c.b1[j] = kept.b1;
    }
}

// The meter over the gains of the chunk before, still in chunk.gain until pass 4: its chain
// runs beside the cell's, a step per frame of the cell, and what is left after it.
struct Meter {
    Section smoother;
    int done = 0, frames = 0;
    double last = kNever;

    explicit Meter(const CBiquad& c) : smoother(c) {}
    void step(const Chunk& chunk) {
        if (done < frames) last = smoother.step(chunk.gain[done++]);
    }
    double finish(const Chunk& chunk) {
        while (done < frames) last = smoother.step(chunk.gain[done++]);
        return last;
    }
};

// Pass 3: the cell's recursion from frame `from` on: attack or release, floor; fills the
// envelope. Returns the first frame whose envelope is not finite (its envelope is then
// 0.001 and the cell is left as that frame left it), or chunk.frames.
inline int runCell(OptoCompressor::State& s, Chunk& chunk, int from, Meter& meter) {
    Section cell(s.optoCell);
    double envelope = s.envelope;
    int j = from;
    for (; j < chunk.frames; ++j) {
        meter.step(chunk);
        cell.a1 = chunk.a1[j];
        cell.a2 = chunk.a2[j];
        cell.b0 = cell.b2 = chunk.b0[j];
        cell.b1 = chunk.b1[j];
        const double p = chunk.p[j];
        // Attack runs the cell ten times per frame, release once.
        if (p > envelope) {
            cell.stepFourTimes(p);
            cell.stepFourTimes(p);
            cell.step(p);
            envelope = cell.step(p);
        } else {
            envelope = cell.step(p);
        }
        if (envelope < 0.001) envelope = 0.001;
        if (!__builtin_isfinite(envelope)) {
            chunk.envelope[j] = envelope = 0.001;
            break;
        }
        chunk.envelope[j] = envelope;
    }
    cell.store(s.optoCell);
    // Between chunks the cell holds the design of the last frame it ran.
    const int last = j < chunk.frames ? j : chunk.frames - 1;
    if (last >= from) {
        s.optoCell.frequency = chunk.fc[last];
        s.optoCell.a0 = chunk.a0[last];
    }
    s.envelope = envelope;
    return j;
}

inline void clearHistory(CBiquad& c) { c.x = c.x1 = c.x2 = c.y = c.y1 = c.y2 = 0.0; }

// Starts the detector afresh after frame `frame` poisoned it. blockGoesOn tells whether
// another frame of the block follows, whose side chain must then be computed anew.
inline void restartDetector(OptoCompressor::State& s, const Chunk& chunk, int frame,
                            bool blockGoesOn) {
    s.optoCell.frequency = 1.0;
    CBiquad* const sections[] = {&s.sidechainHighPassLeft, &s.sidechainHighPassRight,
                                 &s.optoCell, &s.fastAverage, &s.slowAverage};
    for (CBiquad* section : sections) {
        section->design();
        clearHistory(*section);
    }
    s.envelope = 0.001;
    // The kernel has always computed the next frame's side chain once before this reset
    // and once after it, so the high-passes' offsets flip once more than the frames they
    // see: the next frame uses the offset of this one. The pass left the offsets as the
    // chunk's last frame used them.
    if (blockGoesOn && (chunk.frames - frame) % 2 == 1) {
        s.sidechainHighPassLeft.offset = -s.sidechainHighPassLeft.offset;
        s.sidechainHighPassRight.offset = -s.sidechainHighPassRight.offset;
    }
}

// The curve of one ratio index (GainCurves.h's ratioCurve, operation for operation) for
// frames from..to.
template <class L, int kRatioIndex>
void curveGains(Chunk& c, int from, int to) {
    inLanes<L>(from, to, [&](auto lanes, int i) {
        using Lanes = decltype(lanes);
        using V = typename Lanes::V;
        const V w = squareRoot(Lanes::load(c.envelope + i));
        V gain;
        if constexpr (kRatioIndex == 0) {
            gain = V(0.6) / (V(1.0) + V(0.4) * w) + V(0.4);
        } else if constexpr (kRatioIndex == 1) {
            gain = V(0.8) / (V(1.0) + V(0.4) * w) + V(0.2);
        } else if constexpr (kRatioIndex == 2) {
            const V arctangent = krvmath::atanKernel<Lanes>(V(1.2) * w);
            gain = (V(0.7) * (V(0.9) * w / (V(1.0) + V(0.35) * w) + V(0.1) * w) +
                    V(0.3) * (V(0.92) * arctangent / V(1.2) + V(0.08) * w)) /
                   w;
        } else if constexpr (kRatioIndex == 3) {
            const V arctangent = krvmath::atanKernel<Lanes>(V(1.2) * w);
            gain = (V(0.35) * (V(0.95) * w / (V(1.0) + V(0.35) * w) + V(0.05) * w) +
                    V(0.65) * (V(0.95) * arctangent / V(1.2) + V(0.05) * w)) /
                   w;
        } else if constexpr (kRatioIndex == 4) {
            const V arctangent = krvmath::atanKernel<Lanes>(V(1.2) * w);
            gain = (V(0.97) * arctangent / V(1.2) + V(0.03) * w) / w;
        } else if constexpr (kRatioIndex == 5) {
            const V arctangent = krvmath::atanKernel<Lanes>(V(1.2) * w);
            const V hyperbolicTangent = krvmath::tanhKernel<Lanes>(w);
            gain = (V(0.5) * (V(0.982) * arctangent / V(1.2) + V(0.018) * w) +
                    V(0.5) * (V(0.982) * hyperbolicTangent + V(0.018) * w)) /
                   w;
        } else if constexpr (kRatioIndex == 6) {
            const V hyperbolicTangent = krvmath::tanhKernel<Lanes>(w);
            gain = (V(0.99) * hyperbolicTangent + V(0.01) * w) / w;
        } else {
            gain = V(1.0);
        }
        Lanes::store(c.gain + i, gain);
    });
}

template <class L>
void curveGains(int ratioIndex, Chunk& c, int from, int to) {
    switch (ratioIndex) {
        case 0: curveGains<L, 0>(c, from, to); break;
        case 1: curveGains<L, 1>(c, from, to); break;
        case 2: curveGains<L, 2>(c, from, to); break;
        case 3: curveGains<L, 3>(c, from, to); break;
        case 4: curveGains<L, 4>(c, from, to); break;
        case 5: curveGains<L, 5>(c, from, to); break;
        case 6: curveGains<L, 6>(c, from, to); break;
        default: curveGains<L, -1>(c, from, to); break;
    }
}

// Pass 4: the gain curve; fills gain (the meter reads it beside the next chunk's cell).
template <class L>
__attribute__((noinline)) void applyGainCurve(int ratioIndex, Chunk& c, KeptGain& kept) {
    const int n = c.frames;
    if (!kept.valid || ratioIndex != kept.ratioIndex ||
        !allSameBits(c.envelope, 0, n, kept.envelope)) {
        const bool shared = allSameBits(c.envelope, 1, n, c.envelope[0]);
        curveGains<L>(ratioIndex, c, 0, shared ? 1 : n);
        const int last = shared ? 0 : n - 1;
        kept = {true, c.envelope[last], ratioIndex, c.gain[last]};
        if (!shared) return;
    }
    for (int j = 0; j < n; ++j) c.gain[j] = kept.gain;
}

// The valve stage on whole lanes: atan above 0, tanh below (NaN included), lane by lane.
template <class Lanes>
__attribute__((always_inline)) inline typename Lanes::V shape(const ValveCurve& valve,
                                                              typename Lanes::V y) {
    using V = typename Lanes::V;
    const auto negative = notMask(y >= V(0.0));
    const V argument =
        select(negative, y * V(valve.inputFactor) * V(-0.64), y * V(valve.inputFactor));
    // Below 2^-27 both functions give their argument (near silence, every lane is there).
    const V t = anyLane(notMask(krvmath::absolute<Lanes>(argument) < V(7.450580596923828e-09)))
                    ? krvmath::atanTanhKernel<Lanes, krvmath::TermMode::Both>(argument, negative)
                    : argument;
    return select(negative, t * V(valve.scale) / V(-0.64), t * V(valve.scale));
}

// Pass 5: gain, valve stage (when valve is not null), make-up: writes the chunk's outputs.
template <class L, typename Sample>
__attribute__((noinline)) void writeOutput(const Chunk& chunk, const ValveCurve* valve,
                                           Sample* out0, Sample* out1) {
    // Channel 0 before channel 1: a shared output keeps channel 1.
    inLanes<L>(0, chunk.frames, [&](auto lanes, int j) {
        using Lanes = decltype(lanes);
        using V = typename Lanes::V;
        const V gain = Lanes::load(chunk.gain + j);
        V left = gain * Lanes::load(chunk.xL + j);
        V right = gain * Lanes::load(chunk.xR + j);
        if (valve) {
            left = shape<Lanes>(*valve, left);
            right = shape<Lanes>(*valve, right);
        }
        const V inverse = Lanes::load(chunk.inverse + j);
        const V makeUp = Lanes::load(chunk.makeUp + j);
        Lanes::store(out0 + j, left * inverse * makeUp);
        Lanes::store(out1 + j, right * inverse * makeUp);
    });
}

// One block, chunk by chunk, pass by pass.
template <class L, typename Sample>
void compressBlock(OptoCompressor::State& state, const SignalParameters& parameters,
                   const Sample* in0, const Sample* in1, Sample* out0, Sample* out1, int frames,
                   std::atomic<double>& meterGain) {
    if (frames <= 0) return;
    OptoCompressor::State s = state;
    const ValveCurve valve = valveCurveFor(readChunkSettings(parameters).ratioIndex);
    Chunk chunk;
    KeptDesign design;
    KeptGain gain;
    Meter meter(s.meterSmoother);
    for (int start = 0; start < frames; start += kChunkFrames) {
        chunk.frames = frames - start < kChunkFrames ? frames - start : kChunkFrames;
        const ChunkSettings settings = readChunkSettings(parameters);
        driveAndDetect(s, settings, in0 + start, in1 + start, chunk);
        designCell<Wide<L>>(s.optoCell, settings.timeScale, chunk, design, 0);
        int from = 0;
        for (int poisoned; (poisoned = runCell(s, chunk, from, meter)) < chunk.frames;) {
            // Non-finite input poisoned the detector's history; it starts afresh so that
            // the next finite frame is processed normally.
            restartDetector(s, chunk, poisoned, start + poisoned + 1 < frames);
            from = poisoned + 1;
            detectFrom(s, chunk, from);
            designCell<Wide<L>>(s.optoCell, settings.timeScale, chunk, design, from);
        }
        if (meter.frames > 0) publishMeter(meterGain, meter.finish(chunk));
        applyGainCurve<Wide<L>>(settings.ratioIndex, chunk, gain);
        meter.done = 0;
        meter.frames = chunk.frames;
        const bool shapeValve = settings.processMode == SignalParameters::kValve;
        writeOutput<Wide<L>>(chunk, shapeValve ? &valve : nullptr, out0 + start, out1 + start);
    }
    publishMeter(meterGain, meter.finish(chunk));
    meter.smoother.store(s.meterSmoother);
    state = s;
}

}  // namespace
}  // namespace kernel
