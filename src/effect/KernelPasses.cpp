#include "effect/KernelPasses.h"

#include <emmintrin.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "effect/SectionPair.h"

namespace kernel {
namespace {

constexpr double kTwoPi = 6.283185307179586;

bool sameBits(double a, double b) {
    uint64_t x, y;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}

double low(__m128d v) { return _mm_cvtsd_f64(v); }
double high(__m128d v) { return _mm_cvtsd_f64(_mm_unpackhi_pd(v, v)); }

// The valve curve has one formula for y >= 0 and another for the rest (NaN included).
// Sorting the samples by sign first takes the branch that follows the signal's sign out of
// the loops, and gives the arctangent and hyperbolic tangent whole arrays to work in lanes.
void shapeBySign(const ValveCurve& valve, const krvmath::ArrayMath& math, double* y, int count) {
    int nonNegative[2 * kChunkFrames], negative[2 * kChunkFrames];
    int nonNegatives = 0, negatives = 0;
    for (int i = 0; i < count; ++i) {
        nonNegative[nonNegatives] = i;
        negative[negatives] = i;
        const bool up = y[i] >= 0.0;
        nonNegatives += up;
        negatives += !up;
    }
    // The operations of ValveCurve::shapeNonNegative and shapeNegative, in their order.
    double shaped[2 * kChunkFrames];
    for (int k = 0; k < nonNegatives; ++k) shaped[k] = y[nonNegative[k]] * valve.inputFactor;
    math.atan(shaped, nonNegatives);
    for (int k = 0; k < nonNegatives; ++k) y[nonNegative[k]] = shaped[k] * valve.scale;
    for (int k = 0; k < negatives; ++k) shaped[k] = y[negative[k]] * valve.inputFactor * -0.64;
    math.tanh(shaped, negatives);
    for (int k = 0; k < negatives; ++k) y[negative[k]] = shaped[k] * valve.scale / -0.64;
}

// Drive and make-up glide towards their targets; the alternating offset keeps the
// smoothers out of denormals.
void smoothGains(OptoCompressor::State& s, const ChunkSettings& settings, Chunk& chunk) {
    double offset = s.gainSmoothOffset;
    double outputGain = s.outputGain, inputGain = s.inputGain, inverse = s.inputGainInverse;
    // Two frames in a row, one with each sign of the offset, that leave both gains as they
    // were mean the smoothers sit at a fixed point: the rest of the chunk keeps the gains.
    int framesUnchanged = 0;
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
        chunk.drive[j] = inputGain;
        chunk.inverse[j] = inverse;
    }
    s.gainSmoothOffset = offset;
    s.outputGain = outputGain;
    s.inputGain = inputGain;
    s.inputGainInverse = inverse;
}

// The gain curve of one ratio index over the chunk, from amplitudes and terms.
template <int kRatioIndex>
void curveGains(Chunk& chunk) {
    for (int j = 0; j < chunk.frames; ++j)
        chunk.gain[j] = ratioCurve(kRatioIndex, chunk.amplitude[j], chunk.arctangent[j],
                                   chunk.hyperbolicTangent[j]);
}

}  // namespace

ChunkSettings ChunkSettings::read(const SignalParameters& parameters) {
    return {relaxed(parameters.processMode), relaxed(parameters.ratioIndex),
            relaxed(parameters.timeScale), relaxed(parameters.inputGainTarget),
            relaxed(parameters.outputGainTarget)};
}

template <typename Sample>
void smoothGainsAndDrive(OptoCompressor::State& s, const ChunkSettings& settings,
                         const Sample* in0, const Sample* in1, Chunk& chunk) {
    smoothGains(s, settings, chunk);
    NoiseFloor noise = s.noise;
    for (int j = 0; j < chunk.frames; ++j) {
        const double noiseL = NoiseFloor::toNoise(noise.nextWord());
        const double noiseR = NoiseFloor::toNoise(noise.nextWord());
        chunk.xL[j] = static_cast<double>(in0[j]) * chunk.drive[j] + noiseL;
        chunk.xR[j] = static_cast<double>(in1[j]) * chunk.drive[j] + noiseR;
    }
    s.noise = noise;
}

void filterSideChain(OptoCompressor::State& s, double timeScale, Chunk& chunk, int from) {
    // Left and right high-pass in one register, fast and slow average in another.
    SectionPair highPasses(s.sidechainHighPassLeft, s.sidechainHighPassRight);
    SectionPair averages(s.fastAverage, s.slowAverage);
    const __m128d floor = _mm_set1_pd(1e-6);
    for (int j = from; j < chunk.frames; ++j) {
        const __m128d h = highPasses.step(_mm_set_pd(chunk.xR[j], chunk.xL[j]));
        const __m128d squares = _mm_mul_pd(h, h);
        const double p = (low(squares) + high(squares)) * 0.7071;
        chunk.p[j] = p;
        __m128d averaged = averages.step(_mm_set1_pd(p));
        // Both floored at 1e-6; a NaN stays NaN.
        const __m128d below = _mm_cmplt_pd(averaged, floor);
        averaged = _mm_or_pd(_mm_and_pd(below, floor), _mm_andnot_pd(below, averaged));
        _mm_storel_pd(&chunk.fast[j], averaged);
        _mm_storeh_pd(&chunk.slow[j], averaged);
    }
    highPasses.store(s.sidechainHighPassLeft, s.sidechainHighPassRight);
    averages.store(s.fastAverage, s.slowAverage);
    // The cell's cut-off rises with the ratio of the fast to the slow average.
    for (int j = from; j < chunk.frames; ++j) {
        const double ratio = 0.2 * chunk.fast[j] / chunk.slow[j];
        chunk.fc[j] = (4.0 * ratio / (ratio + 1.0) + 0.1) * 0.7 / timeScale;
    }
}

void designCell(const CBiquad& cell, const krvmath::ArrayMath& math, Chunk& chunk, int from,
                Reuse& reuse) {
    // Low-pass formulas without design()'s near-Nyquist Q reduction.
    for (int j = from; j < chunk.frames; ++j) {
        const double fc = chunk.fc[j];
        const double top = 0.499 * cell.sampleRate;
        const double limited = fc < 0.001 ? 0.001 : fc > top ? top : fc;
        chunk.w[j] = limited * kTwoPi / cell.sampleRate;
    }
    // Entry 0 holds the kept results; each angle that differs from the frame before gets
    // the next entry. Frame j takes entry index[j].
    double angle[kChunkFrames + 1], sinW[kChunkFrames + 1], cosW[kChunkFrames + 1];
    int index[kChunkFrames];
    sinW[0] = reuse.sinW;
    cosW[0] = reuse.cosW;
    int fresh = 0;
    double previous = reuse.w;
    for (int j = from; j < chunk.frames; ++j) {
        const double w = chunk.w[j];
        fresh += w != previous;
        angle[fresh] = w;
        index[j] = fresh;
        previous = w;
    }
    math.sinCos(angle + 1, sinW + 1, cosW + 1, fresh);
    for (int j = from; j < chunk.frames; ++j) {
        chunk.sinW[j] = sinW[index[j]];
        chunk.cosW[j] = cosW[index[j]];
    }
    if (from < chunk.frames) {
        reuse.w = previous;
        reuse.sinW = sinW[fresh];
        reuse.cosW = cosW[fresh];
    }
    for (int j = from; j < chunk.frames; ++j) {
        const double cosW = chunk.cosW[j];
        const double alpha = chunk.sinW[j] / (2.0 * cell.q);
        chunk.a0[j] = 1.0 + alpha;
        const double k = 1.0 / chunk.a0[j];
        chunk.a1[j] = -2.0 * cosW * k;
        chunk.a2[j] = (1.0 - alpha) * k;
        chunk.b1[j] = (1.0 - cosW) * k;
        chunk.b0[j] = 0.5 * (1.0 - cosW) * k;
    }
}

int runCell(OptoCompressor::State& s, Chunk& chunk, int from) {
    CBiquad cell = s.optoCell;
    double envelope = s.envelope;
    int j = from;
    for (; j < chunk.frames; ++j) {
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
        if (!std::isfinite(envelope)) {
            chunk.envelope[j] = envelope = 0.001;
            break;
        }
        chunk.envelope[j] = envelope;
    }
    // Between chunks the cell holds the design of the last frame it ran.
    const int last = j < chunk.frames ? j : chunk.frames - 1;
    if (last >= from) {
        cell.frequency = chunk.fc[last];
        cell.a0 = chunk.a0[last];
    }
    s.optoCell = cell;
    s.envelope = envelope;
    return j;
}

void restartDetector(OptoCompressor::State& s, const Chunk& chunk, int frame, bool blockGoesOn) {
    s.optoCell.frequency = 1.0;
    for (CBiquad* section : {&s.sidechainHighPassLeft, &s.sidechainHighPassRight, &s.optoCell,
                             &s.fastAverage, &s.slowAverage}) {
        section->design();
        section->clear();
    }
    s.envelope = 0.001;
    // The kernel has always computed the next frame's side chain once before this reset
    // and once after it, so the high-passes' offsets flip once more than the frames they
    // see: the next frame uses the offset of this one. The pass left the offsets as the
    // chunk's last frame used them.
    if (blockGoesOn && (chunk.frames - frame) % 2 == 1)
        for (CBiquad* highPass : {&s.sidechainHighPassLeft, &s.sidechainHighPassRight})
            highPass->offset = -highPass->offset;
}

double applyGainCurve(OptoCompressor::State& s, int ratioIndex, const krvmath::ArrayMath& math,
                      Chunk& chunk, Reuse& reuse) {
    for (int j = 0; j < chunk.frames; ++j) chunk.amplitude[j] = std::sqrt(chunk.envelope[j]);
    const bool arctangent = curveUsesArctangent(ratioIndex);
    const bool hyperbolicTangent = curveUsesHyperbolicTangent(ratioIndex);
    // As in designCell: entry 0 is kept, each new amplitude gets the next entry. Terms kept
    // for another curve are not reused; a term the curve does not use is 0.
    double amplitude[kChunkFrames + 1], atanTerm[kChunkFrames + 1], tanhTerm[kChunkFrames + 1];
    int index[kChunkFrames];
    atanTerm[0] = reuse.arctangent;
    tanhTerm[0] = reuse.hyperbolicTangent;
    int fresh = 0;
    double previous = ratioIndex == reuse.ratioIndex ? reuse.amplitude : Reuse::kNone;
    for (int j = 0; j < chunk.frames; ++j) {
        const double w = chunk.amplitude[j];
        fresh += w != previous;
        amplitude[fresh] = w;
        index[j] = fresh;
        previous = w;
    }
    for (int k = 1; k <= fresh; ++k) {
        atanTerm[k] = arctangent ? 1.2 * amplitude[k] : 0.0;
        tanhTerm[k] = hyperbolicTangent ? amplitude[k] : 0.0;
    }
    if (arctangent) math.atan(atanTerm + 1, fresh);
    if (hyperbolicTangent) math.tanh(tanhTerm + 1, fresh);
    for (int j = 0; j < chunk.frames; ++j) {
        chunk.arctangent[j] = atanTerm[index[j]];
        chunk.hyperbolicTangent[j] = tanhTerm[index[j]];
    }
    if (chunk.frames > 0) {
        reuse.amplitude = previous;
        reuse.ratioIndex = ratioIndex;
        reuse.arctangent = atanTerm[fresh];
        reuse.hyperbolicTangent = tanhTerm[fresh];
    }
    switch (ratioIndex) {
        case 0: curveGains<0>(chunk); break;
        case 1: curveGains<1>(chunk); break;
        case 2: curveGains<2>(chunk); break;
        case 3: curveGains<3>(chunk); break;
        case 4: curveGains<4>(chunk); break;
        case 5: curveGains<5>(chunk); break;
        case 6: curveGains<6>(chunk); break;
        default: curveGains<-1>(chunk); break;
    }
    // The meter sees the unsmoothed gain.
    CBiquad meter = s.meterSmoother;
    double metered = 0.0;
    for (int j = 0; j < chunk.frames; ++j) metered = meter.step(chunk.gain[j]);
    s.meterSmoother = meter;
    return metered;
}

template <typename Sample>
void writeOutput(const Chunk& chunk, const ValveCurve* valve, const krvmath::ArrayMath& math,
                 Sample* out0, Sample* out1) {
    double y[2 * kChunkFrames];  // frame j's left at 2 j, its right at 2 j + 1
    for (int j = 0; j < chunk.frames; ++j) {
        y[2 * j] = chunk.gain[j] * chunk.xL[j];
        y[2 * j + 1] = chunk.gain[j] * chunk.xR[j];
    }
    if (valve) shapeBySign(*valve, math, y, 2 * chunk.frames);
    // Channel 0 before channel 1, frame by frame: a shared output keeps channel 1.
    for (int j = 0; j < chunk.frames; ++j) {
        out0[j] = static_cast<Sample>(y[2 * j] * chunk.inverse[j] * chunk.makeUp[j]);
        out1[j] = static_cast<Sample>(y[2 * j + 1] * chunk.inverse[j] * chunk.makeUp[j]);
    }
}

template void smoothGainsAndDrive<float>(OptoCompressor::State&, const ChunkSettings&,
                                         const float*, const float*, Chunk&);
template void smoothGainsAndDrive<double>(OptoCompressor::State&, const ChunkSettings&,
                                          const double*, const double*, Chunk&);
template void writeOutput<float>(const Chunk&, const ValveCurve*, const krvmath::ArrayMath&,
                                 float*, float*);
template void writeOutput<double>(const Chunk&, const ValveCurve*, const krvmath::ArrayMath&,
                                  double*, double*);

}  // namespace kernel
