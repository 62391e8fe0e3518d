// The host's side of the signal path: lifecycle, channel routing per block, and the
// choice between the compressor and the bypass.
#include "effect/AutoComp.h"
#include "host/AEffEditor.h"

void AutoComp::suspend() {
    running = false;
    compressor.suspend();
    if (editor) editor->clearMeter();
}

void AutoComp::resume() {
    runningRate = reportedRate.load(std::memory_order_relaxed);
    running = true;
    compressor.resume(runningRate);
    if (editor) editor->refreshMeter();
}

void AutoComp::followRateChangedWhileRunning() {
    if (!running) return;
    const float rate = reportedRate.load(std::memory_order_relaxed);
    // A rate that is not a number compares unequal to itself: it is still no change.
    if (rate == runningRate || (rate != rate && runningRate != runningRate)) return;
    suspend();
    resume();
}

template <typename Sample>
void AutoComp::processBlock(Sample** inputs, Sample** outputs, VstInt32 sampleFrames) {
    if (sampleFrames <= 0 || !inputs || !outputs || !inputs[0] || !outputs[0]) return;
    followRateChangedWhileRunning();
    // Channel 1 has its own buffers only when the host connected them and the
    // arrangement asked for them; otherwise it is computed from input 0, or written into
    // output 0 after channel 0 (and so replaces it there).
    auto route = [&](Sample*& in1, Sample*& out1) {
        in1 = isInputConnected(1) && useSecondInput && inputs[1] ? inputs[1] : inputs[0];
        out1 = isOutputConnected(1) && useSecondOutput && outputs[1] ? outputs[1] : outputs[0];
    };
    Sample *in1, *out1;
    route(in1, out1);
    if (getProcessMode() == SignalParameters::kOff) {
        compressor.bypass(inputs[0], in1, outputs[0], out1, sampleFrames);
    } else {
        // The compressor asks the host about the pins once more before it runs, so a host
        // sees two questions per pin for a compressed block, one for a bypassed one.
        route(in1, out1);
        compressor.compress(inputs[0], in1, outputs[0], out1, sampleFrames);
    }
}

void AutoComp::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    processBlock(inputs, outputs, sampleFrames);
}

void AutoComp::processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) {
    processBlock(inputs, outputs, sampleFrames);
}
