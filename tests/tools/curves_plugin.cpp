// A plug-in that is not ours, for the tools' tests: continuous parameters on curves, one
// with its unit as the label and one with its unit inside the shown text.
#include <cmath>
#include <cstdio>

#include "host/AudioEffect.h"

namespace {

class CurvesEffect : public AudioEffect {
public:
    explicit CurvesEffect(audioMasterCallback master) : AudioEffect(master, 1, 2) {
        setUniqueID(fourCharCode('c', 'u', 'r', 'v'));
        setNumInputs(2);
        setNumOutputs(2);
        canProcessReplacing(true);
    }
    void processReplacing(float** in, float** out, VstInt32 frames) override {
        for (int c = 0; c < 2; ++c)
            for (VstInt32 i = 0; i < frames; ++i) out[c][i] = in[c][i];
    }
    void setParameter(VstInt32 index, float value) override { values[index & 1] = value; }
    float getParameter(VstInt32 index) override { return values[index & 1]; }
    void getParameterName(VstInt32 index, char* text) override { copyHostText(text, index ? "Freq" : "Gain"); }
    void getParameterLabel(VstInt32 index, char* text) override { copyHostText(text, index ? "" : "dB"); }
    // Gain: 4 v^2, so -inf to +12.04 dB; Freq: 20 Hz to 20 kHz, evenly in octaves.
    void getParameterDisplay(VstInt32 index, char* text) override {
        double v = values[index & 1];
        if (index)
            std::snprintf(text, 32, "%.1f Hz", 20.0 * std::pow(1000.0, v));
        else if (v <= 0)
            copyHostText(text, "-inf");
        else
            std::snprintf(text, 32, "%+.2f", 20.0 * std::log10(4.0 * v * v));
    }

private:
    float values[2] = {0.5f, 0.5f};
};

}  // namespace

AudioEffect* createEffectInstance(audioMasterCallback master) { return new CurvesEffect(master); }
