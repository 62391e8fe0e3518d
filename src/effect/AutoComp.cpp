#include "effect/AutoComp.h"

#include <cstdio>
#include <cstring>

#include "effect/ParameterText.h"
#include "effect/PlugInIdentity.h"
#include "effect/math/KrvMath.h"
#include "host/AEffEditor.h"

namespace {

const char* const kEffectName = identity::kName;
const char* const kVendorString = identity::kMaker;
const char* const kProductString = identity::kProduct;
const char* const kCanDoTexts[] = {"offline", "plugAsChannelInsert", "mixDryWet",
                                   "1in1out", "1in2out",             "2in2out",
                                   // The editor draws at the factor a host gives it.
                                   "supportsViewDpiScaling"};
constexpr VstInt32 kUniqueId = fourCharCode('K', 'R', 'V', 'W');
constexpr int kNumInputPins = 4;
constexpr int kNumOutputPins = 2;


}  // namespace

AutoComp::AutoComp(audioMasterCallback audioMaster) : CPresetSystemEffect(audioMaster) {
    setNumInputs(2);
    setNumOutputs(2);
    canProcessReplacing(true);
    canDoubleReplacing(true);
    setUniqueID(kUniqueId);
    if (const CProgram* current = program(0))
        for (int i = 0; i < kNumParameters; ++i) setParameter(i, current->getValue(i));
    suspend();
    resume();
    suspend();
}

AutoComp::~AutoComp() = default;

void AutoComp::setParameter(VstInt32 index, float value) {
    if (index < 0 || index >= kNumParameters) return;
    float v = clampUnit(value);
    values[index].store(v, std::memory_order_relaxed);
    double x = v;
    switch (index) {
        case kProcess:
            setRelaxed(derived.processMode, parameters::stepOf(x, parameters::kProcessPositions));
            break;
        case kRatio:
            setRelaxed(derived.ratioIndex, parameters::stepOf(x, kNumRatios));
            break;
        case kTime:
            setRelaxed(derived.timeScale, 0.005 * krvmath::pow(100.0, x));
            break;
        case kCompression: {
            // The drive follows v^0.7071 in quarter steps of 2^(1/4), 0.125 to 128.
            int k = static_cast<int>(40.0 * krvmath::pow(x, 0.7071) + 0.5);
            setRelaxed(derived.inputGainTarget, krvmath::pow(1024.0, k / 40.0) * 0.125);
            break;
        }
        case kOutput: {
            // Half-decibel steps from 0 to +30 dB.
            const int top = parameters::kOutputPositions - 1;
            const int k = parameters::stepOf(x, parameters::kOutputPositions);
            setRelaxed(derived.outputGainTarget, krvmath::pow(31.622776601683793, k / double(top)));
            break;
        }
        default:
            break;
    }
    CPresetSystemEffect::setParameter(index, v);
    if (editor) editor->setParameter(index, v);
}

float AutoComp::getParameter(VstInt32 index) {
    if (index < 0 || index >= kNumParameters) return 0.0f;
    return clampUnit(values[index].load(std::memory_order_relaxed));
}

void AutoComp::getParameterName(VstInt32 index, char* text) {
    switch (index) {
        case kProcess: copyHostText(text, "Process"); break;
        case kRatio: copyHostText(text, "Ratio"); break;
        case kTime: copyHostText(text, "Time"); break;
        case kCompression: copyHostText(text, "Compression"); break;
        case kOutput: copyHostText(text, "Output"); break;
        default: copyHostText(text, " "); break;
    }
}

void AutoComp::getParameterLabel(VstInt32, char* label) { copyHostText(label, " "); }

void AutoComp::getParameterDisplay(VstInt32 index, char* text) {
    if (text) parameters::displayText(index, getParameter(index), text);
}

bool AutoComp::getInputProperties(VstInt32 index, VstPinProperties* properties) {
    if (!properties || index < 0 || index >= kNumInputPins) return false;
    std::snprintf(properties->label, sizeof(properties->label), "KRV tarnwick %1d In", index + 1);
    properties->flags = kVstPinIsActive | kVstPinIsStereo;
    return true;
}

bool AutoComp::getOutputProperties(VstInt32 index, VstPinProperties* properties) {
    if (!properties || index < 0 || index >= kNumOutputPins) return false;
    std::snprintf(properties->label, sizeof(properties->label), "KRV tarnwick %1d Out", index + 1);
    properties->flags = kVstPinIsActive | kVstPinIsStereo;
    return true;
}

bool AutoComp::setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output) {
    if (!input || !output) return false;
    const VstInt32 in = input->numChannels, out = output->numChannels;
    bool supported = (in == 1 && (out == 1 || out == 2)) || (in == 2 && out == 2);
    useSecondInput = !supported || in == 2;
    useSecondOutput = !supported || out == 2;
    return supported;
}

bool AutoComp::getEffectName(char* name) {
    copyHostText(name, kEffectName);
    return name != nullptr;
}

bool AutoComp::getVendorString(char* text) {
    copyHostText(text, kVendorString);
    return text != nullptr;
}

bool AutoComp::getProductString(char* text) {
    copyHostText(text, kProductString);
    return text != nullptr;
}

VstInt32 AutoComp::canDo(char* text) {
    if (!text) return 0;
    for (const char* known : kCanDoTexts)
        if (std::strcmp(text, known) == 0) return 1;
    return 0;
}

void AutoComp::setSampleRate(float rate) {
    AudioEffect::setSampleRate(rate);
    reportedRate.store(rate, std::memory_order_relaxed);
    setInitialDelay(0);
}
