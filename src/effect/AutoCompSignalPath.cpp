#include "effect/AutoComp.h"

// Placeholder until the compressor kernel lands: audio passes unchanged.
void AutoComp::suspend() { meterGain = 1.0; }
void AutoComp::resume() {}

void AutoComp::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    for (VstInt32 i = 0; i < sampleFrames; ++i) {
        outputs[0][i] = inputs[0][i];
        outputs[1][i] = inputs[1][i];
    }
}

void AutoComp::processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) {
    for (VstInt32 i = 0; i < sampleFrames; ++i) {
        outputs[0][i] = inputs[0][i];
        outputs[1][i] = inputs[1][i];
    }
}
