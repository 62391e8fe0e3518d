// The compressor effect: its twelve parameters, what it tells the host about itself,
// and the signal path they drive.
#pragma once

#include "KrvVersion.h"
#include "effect/OptoCompressor.h"
#include "effect/Parameters.h"
#include "effect/SignalParameters.h"
#include "presets/CPresetSystemEffect.h"

class AutoComp : public CPresetSystemEffect {
public:
    enum ParameterIndex : VstInt32 {
        kProcess = parameters::kProcess,
        kRatio = parameters::kRatio,
        kTime = parameters::kTime,
        kCompression = parameters::kCompression,
        kOutput = parameters::kOutput,
    };
    static constexpr int kNumRatios = parameters::kRatioPositions;

    explicit AutoComp(audioMasterCallback audioMaster);
    ~AutoComp() override;

    void suspend() override;
    void resume() override;
    void setSampleRate(float rate) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void processDoubleReplacing(double** inputs, double** outputs,
                                VstInt32 sampleFrames) override;
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    bool getInputProperties(VstInt32 index, VstPinProperties* properties) override;
    bool getOutputProperties(VstInt32 index, VstPinProperties* properties) override;
    bool setSpeakerArrangement(VstSpeakerArrangement* input,
                               VstSpeakerArrangement* output) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override { return KRV_VENDOR_VERSION; }
    VstInt32 canDo(char* text) override;
    VstPlugCategory getPlugCategory() override { return kPlugCategMastering; }

    // Smoothed linear gain factor (1 = no reduction) for the editor's meter.
    double getMeterGain() const { return compressor.getMeterGain(); }

    // Values derived from the parameters, read by the signal path per sample.
    int getProcessMode() const { return relaxed(derived.processMode); }
    int getRatioIndex() const { return relaxed(derived.ratioIndex); }
    double getTimeScale() const { return relaxed(derived.timeScale); }
    double getInputGainTarget() const { return relaxed(derived.inputGainTarget); }
    double getOutputGainTarget() const { return relaxed(derived.outputGainTarget); }
    bool usesSecondInput() const { return useSecondInput; }
    bool usesSecondOutput() const { return useSecondOutput; }
    const OptoCompressor& signalPath() const { return compressor; }

private:
    template <typename Sample>
    void processBlock(Sample** inputs, Sample** outputs, VstInt32 sampleFrames);
    // A host that sets a new rate while running and never suspends would otherwise run on
    // with the old rate's time constants: the next block starts as a resume at the new one.
    void followRateChangedWhileRunning();

    // Written by whichever thread the host automates from; relaxed atomics, see CProgram.
    std::atomic<float> values[kNumParameters] = {};
    SignalParameters derived;
    bool useSecondInput = true;
    bool useSecondOutput = true;
    OptoCompressor compressor{derived};
    // The host's latest rate (set from any thread), and the rate of the running signal
    // path, set by resume, read on the audio thread.
    std::atomic<float> reportedRate{44100.0f};
    float runningRate = 44100.0f;
    bool running = false;
};
