// A VST 2.4 effect behind the tools' plug-in interface: each call is the opcode a host
// sends for it.
#pragma once

#include "hosting/Host.h"
#include "hosting/HostedPlugin.h"

class VstHostedPlugin : public HostedPlugin {
public:
    // Null with a one-line reason when the library yields no effect.
    static std::unique_ptr<VstHostedPlugin> open(const std::string& path, Host& host, std::string& error);
    ~VstHostedPlugin() override;

    HostedEffect& effect() { return *hosted; }

    PluginIdentity identity() override;
    bool isOurs() override;

    int parameterCount() override { return hosted->effect()->numParams; }
    std::string parameterName(int index) override { return hosted->parameterName(index); }
    std::string parameterDisplay(int index) override { return hosted->parameterDisplay(index); }
    std::string parameterLabel(int index) override { return hosted->parameterLabel(index); }
    float parameter(int index) override { return hosted->getParameter(index); }
    void setParameter(int index, float value) override { hosted->setParameter(index, value); }
    bool parameterFromText(int, const std::string&, float&) override { return false; }

    bool hasPrograms() override { return true; }
    int programCount() override { return hosted->effect()->numPrograms; }
    std::string programName(int index) override;
    void selectProgram(int index) override { hosted->dispatch(effSetProgram, 0, index); }
    std::string currentProgramName() override { return hosted->text(effGetProgramName); }
    void setCurrentProgramName(const std::string& name) override;

    bool canProcessDouble() override;
    bool start(double sampleRate, int maxBlock, int channels, bool doublePrecision) override;
    void process(float** inputs, float** outputs, int frames) override;
    void process(double** inputs, double** outputs, int frames) override;
    void stop() override { hosted->dispatch(effMainsChanged, 0, 0); }

    bool hasEditor() override;
    void setEditorScale(double factor) override;
    bool editorSize(int& width, int& height) override;
    bool openEditor(platform::WindowHandle parent) override;
    void idleEditor() override { hosted->dispatch(effEditIdle); }
    void waitForEditor(std::chrono::milliseconds most) override;
    void closeEditor() override { hosted->dispatch(effEditClose); }

private:
    VstHostedPlugin(std::unique_ptr<PluginLibrary> library, std::unique_ptr<HostedEffect> effect)
        : library(std::move(library)), hosted(std::move(effect)) {}

    std::unique_ptr<PluginLibrary> library;  // outlives the effect
    std::unique_ptr<HostedEffect> hosted;
};
