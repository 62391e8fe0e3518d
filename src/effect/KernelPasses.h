// The passes of the compressor kernel. A block is processed in chunks of up to 64 frames;
// each pass runs over the whole chunk before the next one starts, so that the work that
// does not depend on the opto cell's previous output (gain smoothing, noise, drive,
// side-chain filters, averages, the cell's coefficients) runs free of the cell's chain, and
// the cell's recursion runs alone. Every value is computed as the algorithm writes it, in
// the same order per frame; only independent computations are regrouped, and a result is
// reused only when its inputs are bit for bit those of the frame before.
//
// Read once per block: the valve scale (from the ratio index).
// Read once per chunk: the process mode, the ratio index for the gain curve, the time scale
// and the two gain targets (ChunkSettings).
// Read per frame: the two inputs. All inputs of a chunk are read before any of its outputs
// is written, so in-place and mono buffers, which only ever share an index, are safe.
// Written once per chunk: the meter, with the chunk's last value.
#pragma once

#include <limits>

#include "effect/GainCurves.h"
#include "effect/OptoCompressor.h"
#include "effect/math/KrvMath.h"

namespace kernel {

constexpr int kChunkFrames = 64;

// The parameter values one chunk works with.
struct ChunkSettings {
    int processMode;
    int ratioIndex;
    double timeScale;
    double inputGainTarget;
    double outputGainTarget;

    static ChunkSettings read(const SignalParameters& parameters);
};

// What one pass leaves for the next, per frame of the chunk.
struct Chunk {
    int frames = 0;
    double drive[kChunkFrames];
    double inverse[kChunkFrames];  // 1 / drive
    double makeUp[kChunkFrames];
    double xL[kChunkFrames], xR[kChunkFrames];      // driven audio, noise included
    double p[kChunkFrames];                         // linked detector power
    double fast[kChunkFrames], slow[kChunkFrames];  // the averages, floored
    double fc[kChunkFrames];  // the cell's cut-off as computed, before limiting
    double w[kChunkFrames];   // the limited cut-off as an angle
    double sinW[kChunkFrames], cosW[kChunkFrames];
    double a0[kChunkFrames], a1[kChunkFrames], a2[kChunkFrames];  // the cell's coefficients;
    double b0[kChunkFrames], b1[kChunkFrames];                    // b2 equals b0
    double envelope[kChunkFrames];
    double amplitude[kChunkFrames];  // the envelope's square root
    double arctangent[kChunkFrames], hyperbolicTangent[kChunkFrames];  // the curve's terms
    double gain[kChunkFrames];
};

// Results kept from frame to frame (across chunks of one block) so that a frame whose
// inputs are exactly the previous frame's reuses its results instead of recomputing them;
// the frames that do need them have them computed together, in lanes.
struct Reuse {
    static constexpr double kNone = std::numeric_limits<double>::quiet_NaN();  // never equal
    double w = kNone;
    double sinW = 0.0, cosW = 0.0;
    double amplitude = kNone;
    int ratioIndex = -1;  // the curve the terms were computed for
    double arctangent = 0.0, hyperbolicTangent = 0.0;
};

// Gain smoothing, noise floor and drive: reads the chunk's inputs, fills xL, xR, inverse
// and makeUp.
template <typename Sample>
void smoothGainsAndDrive(OptoCompressor::State& s, const ChunkSettings& settings,
                         const Sample* in0, const Sample* in1, Chunk& chunk);

// Side-chain high-passes, linked power and the two averages from frame `from` on: fills p
// and fc.
void filterSideChain(OptoCompressor::State& s, double timeScale, Chunk& chunk, int from);

// The opto cell's coefficients from the limited cut-off, from frame `from` on.
void designCell(const CBiquad& cell, const krvmath::ArrayMath& math, Chunk& chunk, int from,
                Reuse& reuse);

// The cell's recursion from frame `from` on: attack or release, floor; fills envelope.
// Returns the first frame whose envelope is not finite (its envelope is then 0.001 and
// the cell is left as that frame left it), or chunk.frames.
int runCell(OptoCompressor::State& s, Chunk& chunk, int from);

// Starts the detector afresh after frame `frame` poisoned it. blockGoesOn tells whether
// another frame of the block follows, whose side chain must then be computed anew.
void restartDetector(OptoCompressor::State& s, const Chunk& chunk, int frame, bool blockGoesOn);

// Gain curve and meter: fills gain; returns the meter's last output.
double applyGainCurve(OptoCompressor::State& s, int ratioIndex, const krvmath::ArrayMath& math,
                      Chunk& chunk, Reuse& reuse);

// Gain, valve stage (when valve is not null), make-up: writes the chunk's outputs.
template <typename Sample>
void writeOutput(const Chunk& chunk, const ValveCurve* valve, const krvmath::ArrayMath& math,
                 Sample* out0, Sample* out1);

}  // namespace kernel
