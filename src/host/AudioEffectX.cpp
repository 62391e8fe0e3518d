#include "host/AudioEffectX.h"

#include <cmath>

#include "host/AEffEditor.h"

namespace {

// The host passes key modifiers as a float; a non-finite or huge value must not reach
// an integer conversion.
unsigned char modifierByte(float opt) {
    if (!std::isfinite(opt) || std::fabs(opt) >= 2147483648.0f) return 0;
    return static_cast<unsigned char>(static_cast<VstInt32>(opt) & 0xFF);
}

VstKeyCode keyCodeOf(VstInt32 index, VstIntPtr value, float opt) {
    VstKeyCode key{};
    key.character = index;
    key.virt = static_cast<unsigned char>(value & 0xFF);
    key.modifier = modifierByte(opt);
    return key;
}

}  // namespace

bool AudioEffectX::beginEdit(VstInt32 index) {
    return audioMaster && callHost(audioMasterBeginEdit, index) != 0;
}

bool AudioEffectX::endEdit(VstInt32 index) {
    return audioMaster && callHost(audioMasterEndEdit, index) != 0;
}

bool AudioEffectX::updateDisplay() {
    return audioMaster && callHost(audioMasterUpdateDisplay) != 0;
}

VstIntPtr AudioEffectX::canHostDo(char* text) { return callHost(audioMasterCanDo, 0, 0, text); }

std::optional<double> AudioEffectX::getContentScaleFactor() const {
    float factor = contentScale.load(std::memory_order_relaxed);
    if (factor > 0.0f) return factor;
    return std::nullopt;
}

bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height) {
    return audioMaster && callHost(audioMasterSizeWindow, width, height) != 0;
}

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
        case effCanBeAutomated:
            return canParameterBeAutomated(index) ? 1 : 0;
        case effString2Parameter:
            return 0;
        case effGetProgramNameIndexed:
            return text && getProgramNameIndexed(static_cast<VstInt32>(value), index, text) ? 1 : 0;
        case effGetInputProperties:
            return ptr && getInputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
        case effGetOutputProperties:
            return ptr && getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
        case effGetPlugCategory:
            return getPlugCategory();
        case effSetSpeakerArrangement: {
            auto* input = reinterpret_cast<VstSpeakerArrangement*>(value);
            auto* output = static_cast<VstSpeakerArrangement*>(ptr);
            return input && output && setSpeakerArrangement(input, output) ? 1 : 0;
        }
        case effGetEffectName:
            return text && getEffectName(text) ? 1 : 0;
        case effGetVendorString:
            return text && getVendorString(text) ? 1 : 0;
        case effGetProductString:
            return text && getProductString(text) ? 1 : 0;
        case effGetVendorVersion:
            return getVendorVersion();
        case effCanDo:
            return text ? canDo(text) : 0;
        case effVendorSpecific:
            // The factor a host draws its windows at, for the editor: at any time, before
            // or after it opens.
            if (index != kContentScaleIndex || value != kContentScaleValue || !editor) return 0;
            if (std::isfinite(opt) && opt > 0.0f) contentScale.store(opt, std::memory_order_relaxed);
            return editor->setContentScaleFactor(opt) ? 1 : 0;
        case effGetVstVersion:
            return getVstVersion();
        case effEditKeyDown:
        case effEditKeyUp: {
            if (!editor) return 0;
            VstKeyCode key = keyCodeOf(index, value, opt);
            bool handled = opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key);
            return handled ? 1 : 0;
        }
        case effSetEditKnobMode:
            return editor && editor->setKnobMode(static_cast<VstInt32>(value)) ? 1 : 0;
        case effGetCurrentMidiProgram:
            return -1;
        case effGetSpeakerArrangement: {
            // Both arguments are addresses of arrangement pointers; no arrangement is offered.
            if (auto** input = reinterpret_cast<VstSpeakerArrangement**>(value)) *input = nullptr;
            if (auto** output = static_cast<VstSpeakerArrangement**>(ptr)) *output = nullptr;
            return 0;
        }
        case effSetTotalSampleToProcess:
            return value;
        default:
            if (opcode >= effProcessEvents && opcode <= effGetNumMidiOutputChannels) return 0;
            return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}
