// A CLAP plug-in behind the tools' plug-in interface: the first plug-in of a bundle file,
// created with our host record. Parameters are addressed by position: for our own
// compressor the position is the CLAP id (the VST index of the same parameter), for any
// other plug-in the order the plug-in lists them in.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "hosting/ClapEvents.h"
#include "hosting/ClapHost.h"
#include "hosting/ClapLibrary.h"
#include "hosting/HostedPlugin.h"

class ClapHostedPlugin : public HostedPlugin {
public:
    // Null with a one-line reason when the file yields no plug-in.
    static std::unique_ptr<ClapHostedPlugin> open(const std::string& path, const HostServices& services,
                                                  std::string& error);
    ~ClapHostedPlugin() override;

    PluginIdentity identity() override;
    bool isOurs() override;

    int parameterCount() override { return static_cast<int>(slots.size()); }
    std::string parameterName(int index) override;
    std::string parameterDisplay(int index) override;
    std::string parameterLabel(int) override { return std::string(); }
    float parameter(int index) override;
    void setParameter(int index, float value) override;
    bool parameterFromText(int index, const std::string& text, float& value) override;

    bool hasPrograms() override { return false; }
    int programCount() override { return 0; }
    std::string programName(int) override { return std::string(); }
    void selectProgram(int) override {}
    std::string currentProgramName() override { return std::string(); }
    void setCurrentProgramName(const std::string&) override {}

    bool canProcessDouble() override;
    bool start(double sampleRate, int maxBlock, int channels, bool doublePrecision) override;
    void process(float** inputs, float** outputs, int frames) override;
    void process(double** inputs, double** outputs, int frames) override;
    void stop() override;

    bool hasEditor() override;
    void setEditorScale(double factor) override { scale = factor; }
    bool editorSize(int& width, int& height) override;
    bool openEditor(platform::WindowHandle parent) override;
    void idleEditor() override;
    void idleEditorNow() override;
    void waitForEditor(std::chrono::milliseconds most) override;
    void closeEditor() override;

private:
    struct Slot {
        bool used = false;
        clap_param_info info{};
    };

    ClapHostedPlugin(std::unique_ptr<ClapLibrary> library, const HostServices& services);
    bool create(std::string& error);
    void readParameters();
    const Slot* slot(int index) const;
    double plainValue(const Slot& slot, float normalised) const;
    float normalisedValue(const Slot& slot, double plain) const;
    double currentPlain(const Slot& slot);
    // Values waiting while inactive go to the plug-in now, on this (the main) thread.
    void flushWhileInactive();
    void received(const clap_event_header& event);
    template <typename Sample>
    void processBlock(Sample** inputs, Sample** outputs, int frames);
    bool ensureEditorCreated();

    std::unique_ptr<ClapLibrary> library;  // outlives the plug-in
    ClapHost host;
    const clap_plugin* plugin = nullptr;
    const clap_plugin_params* params = nullptr;
    const clap_plugin_audio_ports* audioPorts = nullptr;
    const clap_plugin_gui* gui = nullptr;
    const clap_plugin_timer_support* timerSupport = nullptr;
    const clap_plugin_posix_fd_support* fdSupport = nullptr;

    std::vector<Slot> slots;
    std::map<uint32_t, int> positionOfId;
    ClapInputEvents waiting;
    ClapOutputEvents sent;

    bool active = false;
    int channelCount = 2;
    int64_t framesDone = 0;
    double scale = 0;  // 0: the host names no factor
    bool editorCreated = false;
};
