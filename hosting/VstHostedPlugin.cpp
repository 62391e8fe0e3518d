#include "hosting/VstHostedPlugin.h"

#include <thread>

namespace {
constexpr VstInt32 kOurUniqueId = fourCharCode('K', 'R', 'V', 'W');
}  // namespace

std::unique_ptr<VstHostedPlugin> VstHostedPlugin::open(const std::string& path, Host& host,
                                                       std::string& error) {
    auto library = PluginLibrary::open(path, error);
    if (!library) return nullptr;
    auto effect = HostedEffect::create(*library, host, error);
    if (!effect) return nullptr;
    effect->dispatch(effOpen);
    return std::unique_ptr<VstHostedPlugin>(new VstHostedPlugin(std::move(library), std::move(effect)));
}

VstHostedPlugin::~VstHostedPlugin() { hosted->close(); }

PluginIdentity VstHostedPlugin::identity() {
    AEffect* record = hosted->effect();
    VstInt32 id = record->uniqueID;
    PluginIdentity identity;
    identity.name = hosted->text(effGetEffectName);
    identity.product = hosted->text(effGetProductString);
    identity.vendor = hosted->text(effGetVendorString);
    identity.version = std::to_string(static_cast<long>(hosted->dispatch(effGetVendorVersion)));
    for (int shift = 24; shift >= 0; shift -= 8) identity.id += static_cast<char>((id >> shift) & 0xFF);
    identity.inputs = record->numInputs;
    identity.outputs = record->numOutputs;
    return identity;
}

// Our effect shows the host a single program: its presets come from the factory table.
bool VstHostedPlugin::isOurs() {
    return hosted->effect()->uniqueID == kOurUniqueId && hosted->effect()->numPrograms == 1;
}

std::string VstHostedPlugin::programName(int index) {
    char name[256] = {};
    if (!hosted->dispatch(effGetProgramNameIndexed, index, -1, name)) {
        hosted->dispatch(effSetProgram, 0, index);
        hosted->dispatch(effGetProgramName, 0, 0, name);
    }
    name[sizeof(name) - 1] = '\0';
    return name;
}

void VstHostedPlugin::setCurrentProgramName(const std::string& name) {
    hosted->dispatch(effSetProgramName, 0, 0, const_cast<char*>(name.c_str()));
}

bool VstHostedPlugin::canProcessDouble() {
    return (hosted->effect()->flags & effFlagsCanDoubleReplacing) != 0;
}

bool VstHostedPlugin::start(double sampleRate, int maxBlock, int channels, bool doublePrecision) {
    VstSpeakerArrangement in{0, channels}, out{0, channels};
    hosted->dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out);
    hosted->dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    hosted->dispatch(effSetBlockSize, 0, maxBlock);
    hosted->dispatch(effSetProcessPrecision, 0, doublePrecision ? 1 : 0);
    hosted->dispatch(effMainsChanged, 0, 1);
    return true;
}

void VstHostedPlugin::process(float** inputs, float** outputs, int frames) {
    AEffect* record = hosted->effect();
    if (record->processReplacing) record->processReplacing(record, inputs, outputs, frames);
}

void VstHostedPlugin::process(double** inputs, double** outputs, int frames) {
    AEffect* record = hosted->effect();
    if (record->processDoubleReplacing) record->processDoubleReplacing(record, inputs, outputs, frames);
}

bool VstHostedPlugin::hasEditor() { return (hosted->effect()->flags & effFlagsHasEditor) != 0; }

void VstHostedPlugin::setEditorScale(double factor) {
    hosted->dispatch(effVendorSpecific, kContentScaleIndex, kContentScaleValue, nullptr,
                     static_cast<float>(factor));
}

bool VstHostedPlugin::editorSize(int& width, int& height) {
    ERect* rect = nullptr;
    hosted->dispatch(effEditGetRect, 0, 0, &rect);
    width = rect ? rect->right - rect->left : 0;
    height = rect ? rect->bottom - rect->top : 0;
    return width > 0 && height > 0;
}

bool VstHostedPlugin::openEditor(platform::WindowHandle parent) {
    return hosted->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)) != 0;
}

// The effect's window events come through its idle; there is nothing to wait for.
void VstHostedPlugin::waitForEditor(std::chrono::milliseconds most) { std::this_thread::sleep_for(most); }
