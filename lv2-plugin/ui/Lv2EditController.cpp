#include "lv2-plugin/ui/Lv2EditController.h"

#include "effect/HostValues.h"
#include "effect/ParameterText.h"
#include "host/AEffEditor.h"
#include "platform/MessageBox.h"

namespace lv2front {
namespace {

constexpr int kPrograms = 33;

int slotOf(int index) {
    for (uint32_t i = 0; i < kNumControls; ++i)
        if (kControls[i].parameter == index) return static_cast<int>(i);
    return -1;
}

// The store's files refuse bad ones with a message: shown as our box, over this editor.
void showStoreMessage(void*, const char* title, const char* text) {
    platform::showMessageBox(title, text, platform::MessageBoxIcon::Error);
}

}  // namespace

Lv2EditController::Lv2EditController(const Lv2UiHost& host) : host(host) {
    // Until the host tells the ports' values, those of the store (when in reach).
    for (uint32_t i = 0; i < kNumControls; ++i)
        values[i] = host.store ? host.store->parameterValue(host.instance, kControls[i].parameter)
                               : 0.0f;
}

uint32_t Lv2EditController::portOf(int index) {
    const int slot = slotOf(index);
    return slot < 0 ? kNumPorts : kControls[slot].port;
}

void Lv2EditController::portChanged(uint32_t port, float value) {
    if (port == kMeter) {
        meter = value;
        return;
    }
    for (uint32_t i = 0; i < kNumControls; ++i) {
        if (kControls[i].port != port) continue;
        const float normalised = parameters::normalisedValue(kControls[i].parameter, value);
        if (normalised == values[i]) return;
        values[i] = normalised;
        if (editor) editor->setParameter(kControls[i].parameter, normalised);
        return;
    }
}

float Lv2EditController::parameterValue(int index) {
    const int slot = slotOf(index);
    return slot < 0 ? 0.0f : values[slot];
}

std::string Lv2EditController::parameterText(int index) {
    char text[32] = "";
    parameters::displayText(index, parameterValue(index), text);
    return text;
}

void Lv2EditController::beginEdit(int index) {
    const uint32_t port = portOf(index);
    if (port != kNumPorts && host.touch) host.touch(host.touchHandle, port, true);
}

void Lv2EditController::writePort(int index, float normalised) {
    const uint32_t port = portOf(index);
    if (port == kNumPorts || !host.writePort) return;
    const float value = static_cast<float>(parameters::hostValue(index, normalised));
    host.writePort(host.controller, port, sizeof(float), 0, &value);
}

void Lv2EditController::performEdit(int index, float value) {
    const int slot = slotOf(index);
    if (slot < 0) return;
    // What the port will carry, so that the host's echo of it changes nothing.
    values[slot] = parameters::normalisedValue(index, parameters::hostValue(index, value));
    writePort(index, values[slot]);
}

void Lv2EditController::endEdit(int index) {
    const uint32_t port = portOf(index);
    if (port != kNumPorts && host.touch) host.touch(host.touchHandle, port, false);
}

std::string Lv2EditController::programName(int program) {
    char name[EditController::kMaxProgramNameLength + 1] = "";
    if (host.store && !host.store->programName(host.instance, program, name)) name[0] = '\0';
    return name;
}

int Lv2EditController::selectedProgram() {
    return host.store ? host.store->selectedProgram(host.instance) : 0;
}

void Lv2EditController::syncCore() {
    if (!host.store) return;
    for (uint32_t i = 0; i < kNumControls; ++i)
        if (host.store->parameterValue(host.instance, kControls[i].parameter) != values[i])
            host.store->setParameterValue(host.instance, kControls[i].parameter, values[i]);
}

void Lv2EditController::echoStore() {
    if (!host.store) return;
    for (uint32_t i = 0; i < kNumControls; ++i) {
        const int index = kControls[i].parameter;
        const float now = host.store->parameterValue(host.instance, index);
        if (now == values[i]) continue;
        values[i] = now;
        if (host.touch) host.touch(host.touchHandle, kControls[i].port, true);
        writePort(index, now);
        if (host.touch) host.touch(host.touchHandle, kControls[i].port, false);
        if (editor) editor->setParameter(index, now);
    }
    showStore();
}

void Lv2EditController::showStore() {
    if (!host.store) return;
    const int selected = selectedProgram();
    bool changed = selected != shownSelection;
    for (int program = 0; program < kPrograms; ++program) {
        std::string name = programName(program);
        if (name == shownNames[program]) continue;
        shownNames[program] = name;
        changed = true;
        if (editor) editor->setProgramMenuEntry(program, name.c_str());
    }
    if (!changed) return;
    shownSelection = selected;
    if (editor) {
        editor->setCurrentProgramMenuEntry(selected);
        editor->setProgramNameField(shownNames[selected].c_str());
    }
}

void Lv2EditController::checkStore() {
    if (!host.store) return;
    showStore();
}

void Lv2EditController::selectProgram(int program) {
    if (!host.store) return;
    syncCore();
    host.store->selectProgram(host.instance, program);
    echoStore();
}

void Lv2EditController::renameProgram(const std::string& name) {
    if (!host.store) return;
    host.store->renameProgram(host.instance, name.c_str());
    showStore();
}

// The sink is set for the call only: another editor of the same instance, or none, may
// be the one that calls next.
bool Lv2EditController::fileCall(StoreFileCall call, const std::string& folder,
                                 const std::string& fileName) {
    if (!host.store) return false;
    host.store->setMessageSink(host.instance, showStoreMessage, nullptr);
    const bool done = (host.store->*call)(host.instance, folder.c_str(), fileName.c_str());
    host.store->setMessageSink(host.instance, nullptr, nullptr);
    return done;
}

bool Lv2EditController::readBank(const std::string& folder, const std::string& fileName) {
    syncCore();
    const bool read = fileCall(&KrvStoreAccess::readBank, folder, fileName);
    echoStore();
    return read;
}

bool Lv2EditController::writeBank(const std::string& folder, const std::string& fileName) {
    syncCore();
    return fileCall(&KrvStoreAccess::writeBank, folder, fileName);
}

bool Lv2EditController::readPreset(const std::string& folder, const std::string& fileName) {
    syncCore();
    const bool read = fileCall(&KrvStoreAccess::readPreset, folder, fileName);
    echoStore();
    return read;
}

bool Lv2EditController::writePreset(const std::string& folder, const std::string& fileName) {
    syncCore();
    return fileCall(&KrvStoreAccess::writePreset, folder, fileName);
}

bool Lv2EditController::storeMemory(Memory memory) {
    syncCore();
    return host.store && host.store->storeMemory(host.instance, memory == Memory::A ? 0 : 1);
}

bool Lv2EditController::recallMemory(Memory memory) {
    syncCore();
    const bool done =
        host.store && host.store->recallMemory(host.instance, memory == Memory::A ? 0 : 1);
    echoStore();
    return done;
}

bool Lv2EditController::requestWindowSize(int width, int height) {
    return host.resize && host.resize(host.resizeHandle, width, height) == 0;
}

}  // namespace lv2front
