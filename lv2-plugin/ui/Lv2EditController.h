// The LV2 editor's controller. The editor lives in a library of its own and may run in
// another process than the compressor, so what it edits comes from the host's ports: each
// parameter's value as the host last told it (port_event), edits out as port writes inside
// the host's touch, the meter from its output port. The program store is reached through
// the DSP's C table (StoreAccess.h) when the host gives the editor the instance; without
// it there are no programs, and the preset row shows none.
#pragma once

#include <optional>

#include "effect/EditController.h"
#include "lv2-plugin/Lv2Ports.h"
#include "lv2-plugin/StoreAccess.h"

class AEffEditor;

namespace lv2front {

// What the host offers the editor; every entry may be missing but writePort.
struct Lv2UiHost {
    void (*writePort)(void* controller, uint32_t port, uint32_t size, uint32_t format,
                      const void* buffer) = nullptr;
    void* controller = nullptr;
    void (*touch)(void* handle, uint32_t port, bool grabbed) = nullptr;
    void* touchHandle = nullptr;
    int (*resize)(void* handle, int width, int height) = nullptr;
    void* resizeHandle = nullptr;
    const KrvStoreAccess* store = nullptr;
    void* instance = nullptr;
    std::optional<double> scale;
};

class Lv2EditController final : public EditController {
public:
    explicit Lv2EditController(const Lv2UiHost& host);

    // The editor that the core's changes are shown on; null while there is none.
    void attach(AEffEditor* shownOn) { editor = shownOn; }
    // The host tells of a port's value: a parameter or the meter.
    void portChanged(uint32_t port, float value);
    // Looks at the store for changes made behind the editor (a state the host restored).
    void checkStore();

    float parameterValue(int index) override;
    std::string parameterText(int index) override;
    void beginEdit(int index) override;
    void performEdit(int index, float value) override;
    void endEdit(int index) override;

    bool hasPrograms() override { return host.store != nullptr; }
    std::string programName(int program) override;
    int selectedProgram() override;
    void selectProgram(int program) override;
    void renameProgram(const std::string& name) override;
    bool readBank(const std::string& folder, const std::string& fileName) override;
    bool writeBank(const std::string& folder, const std::string& fileName) override;
    bool readPreset(const std::string& folder, const std::string& fileName) override;
    bool writePreset(const std::string& folder, const std::string& fileName) override;
    bool storeMemory(Memory memory) override;
    bool recallMemory(Memory memory) override;

    double meterGain() override { return meter; }
    bool requestWindowSize(int width, int height) override;
    std::optional<double> hostScale() override { return host.scale; }
    void hostIdle() override {}
    void hold() override {}
    void release() override {}

private:
    // The port of a parameter index; kNumPorts for one without.
    static uint32_t portOf(int index);
    void writePort(int index, float normalised);
    // Before a store call that reads or replaces the running values: the core takes the
    // ports' values as the editor knows them, or the call would work on older ones.
    void syncCore();
    // After a store call: every value the core changed goes to the host's ports (or its
    // next run would put the old value back), and the editor shows the store as it is.
    void echoStore();
    void showStore();
    // One of the store's file calls, its messages shown as our boxes.
    using StoreFileCall = bool (*KrvStoreAccess::*)(void*, const char*, const char*);
    bool fileCall(StoreFileCall call, const std::string& folder, const std::string& fileName);

    Lv2UiHost host;
    AEffEditor* editor = nullptr;
    float values[kNumControls] = {};
    double meter = 1.0;
    // The store's names as last shown, to notice changes made behind the editor.
    std::string shownNames[33];
    int shownSelection = -1;
};

}  // namespace lv2front
