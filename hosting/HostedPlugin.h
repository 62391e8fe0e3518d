// One loaded plug-in as the tools see it, whatever its format: identity, parameters by
// position, programs, processing and the editor. openPlugin chooses the format by the file.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/NativeWindow.h"

class Host;

struct PluginIdentity {
    std::string name;
    std::string product;
    std::string vendor;
    std::string version;
    std::string id;  // a VST effect's four characters, a CLAP descriptor's id
    int inputs = 0;
    int outputs = 0;
};

// What a tool offers the plug-in's host, whatever the format.
struct HostServices {
    std::string name;         // the host's name as a CLAP plug-in sees it
    Host* vst = nullptr;      // answers a VST effect's requests
    // The editor asks for another size in device pixels; null or false: refused.
    std::function<bool(int width, int height)> resizeEditor;
    // An edit from the plug-in's editor: "beginEdit", "automate" or "endEdit", the
    // parameter's position and its normalised value. A VST effect tells its Host instead.
    std::function<void(const char* what, int index, double value)> edited;
};

class HostedPlugin {
public:
    virtual ~HostedPlugin() = default;

    virtual PluginIdentity identity() = 0;
    // Our own compressor, in either format.
    virtual bool isOurs() = 0;

    // Parameters by position. A position the plug-in leaves unused has an empty name.
    virtual int parameterCount() = 0;
    virtual std::string parameterName(int index) = 0;
    virtual std::string parameterDisplay(int index) = 0;  // the current value as text
    virtual std::string parameterLabel(int index) = 0;    // its unit; may be empty
    virtual float parameter(int index) = 0;               // normalised, 0 to 1
    virtual void setParameter(int index, float value) = 0;
    // The normalised value the plug-in itself reads text as; false where it offers none.
    virtual bool parameterFromText(int index, const std::string& text, float& value) = 0;

    // Programs, where the format has them (a CLAP plug-in has none).
    virtual bool hasPrograms() = 0;
    virtual int programCount() = 0;
    virtual std::string programName(int index) = 0;
    virtual void selectProgram(int index) = 0;
    virtual std::string currentProgramName() = 0;
    virtual void setCurrentProgramName(const std::string& name) = 0;

    virtual bool canProcessDouble() = 0;
    // Ready to process blocks of up to maxBlock frames of a mono or stereo signal. Buffers
    // are always two channels; a mono signal uses the first.
    virtual bool start(double sampleRate, int maxBlock, int channels, bool doublePrecision) = 0;
    virtual void process(float** inputs, float** outputs, int frames) = 0;
    virtual void process(double** inputs, double** outputs, int frames) = 0;
    virtual void stop() = 0;

    virtual bool hasEditor() = 0;
    // The factor a host that scales its windows gives, before the editor opens.
    virtual void setEditorScale(double factor) = 0;
    // In device pixels; false when the editor reports none.
    virtual bool editorSize(int& width, int& height) = 0;
    virtual bool openEditor(platform::WindowHandle parent) = 0;
    // What the editor needs between the host's events: idle, due timers, ready descriptors.
    virtual void idleEditor() = 0;
    // The editor's idle at once, whatever its own schedule, so that it shows all the effect
    // did so far (before a screenshot, or the first paint).
    virtual void idleEditorNow() { idleEditor(); }
    // Waits up to most for the editor's next need (a timer or a descriptor).
    virtual void waitForEditor(std::chrono::milliseconds most) = 0;
    virtual void closeEditor() = 0;
};

// A path ending in ".clap" is a CLAP bundle file, anything else a VST library. Null with a
// one-line reason when the file yields no plug-in.
std::unique_ptr<HostedPlugin> openPlugin(const std::string& path, const HostServices& services,
                                         std::string& error);
