// One CLAP plug-in instance: the compressor core with its editor, driven by a CLAP host.
// It translates the host's calls and threads into the core's: parameter events at their
// sample offsets, the user's edits out as gesture events, the state as the core's blob, and
// the editor embedded in the host's window and idled by the host's timer and descriptor.
//
// A call in the wrong state (processing before activation, a second activation, an editor
// call without an editor) or, where the host can tell, on the wrong thread, is refused.
#pragma once

#include <cstdint>
#include <vector>

#include "clap-plugin/ClapEditController.h"
#include "clap-plugin/ClapParameters.h"
#include "clap-plugin/OutgoingEvents.h"
#include "clap/clap_abi.h"

class AutoComp;
class ADEditor;

namespace clapfront {

class ClapInstance {
public:
    // Null when the core cannot be made.
    static ClapInstance* create(const clap_host* host, const clap_plugin_descriptor* descriptor);
    ~ClapInstance();
    ClapInstance(const ClapInstance&) = delete;
    ClapInstance& operator=(const ClapInstance&) = delete;

    static ClapInstance* from(const clap_plugin* plugin);
    const clap_plugin* record() const { return &plugin; }

    // The plug-in's calls.
    bool init();
    bool activate(double sampleRate, uint32_t maxFrames);
    void deactivate();
    bool startProcessing();
    void stopProcessing();
    void reset();
    clap_process_status process(const clap_process& process);

    // Parameters.
    bool parameterInfo(uint32_t position, clap_param_info& info);
    bool parameterValue(uint32_t id, double& value);
    bool valueToText(uint32_t id, double value, char* text, uint32_t size);
    bool textToValue(uint32_t id, const char* text, double& value);
    void flush(const clap_input_events* in, const clap_output_events* out);

    // State.
    bool saveState(const clap_ostream& stream);
    bool loadState(const clap_istream& stream);

    // The editor.
    bool editorApiSupported(const char* api, bool floating) const;
    bool createEditor(const char* api, bool floating);
    void destroyEditor();
    bool setEditorScale(double scale);
    bool editorSize(uint32_t& width, uint32_t& height);
    bool setEditorParent(const clap_window& window);
    bool editorShown() const { return editorOpen; }
    void onTimer(uint32_t timerId);
    void onDescriptor(int descriptor);

    // From the editor and the core, on the main thread: an event for the host, sent with
    // the next process or flush call.
    void tellHost(OutgoingEvent::Kind kind, int index, float normalised);
    bool requestEditorSize(int width, int height);
    // The core changed something a host keeps (a name, a file read).
    void stateChanged();

private:
    ClapInstance(const clap_host* host, const clap_plugin_descriptor* descriptor);
    // True unless the host can tell and says this is not its main thread.
    bool onMainThread() const;
    // Applies one host event; false when it was not ours.
    void applyEvent(const clap_event_header& event);
    void sendOutgoing(const clap_output_events* out);
    template <typename Sample>
    void processSpan(Sample* const* inputs, Sample* const* outputs, uint32_t from, uint32_t to);
    // The host's buffers in one sample type, missing channels made up from spare.
    template <typename Sample>
    clap_process_status processBuffers(const clap_process& process, const clap_audio_buffer* in,
                                       const clap_audio_buffer& out, std::vector<Sample>& spare);
    template <typename Sample>
    clap_process_status processAll(const clap_process& process, Sample** inputs,
                                   Sample** outputs);
    void idleEditor();

    clap_plugin plugin{};
    const clap_host* const host;
    const clap_host_params* hostParams = nullptr;
    const clap_host_state* hostState = nullptr;
    const clap_host_gui* hostGui = nullptr;
    const clap_host_timer_support* hostTimers = nullptr;
    const clap_host_posix_fd_support* hostDescriptors = nullptr;
    const clap_host_thread_check* hostThreads = nullptr;

    AutoComp* core = nullptr;  // deletes itself and its editor on requestClose
    ADEditor* editor = nullptr;
    ClapEditController controller;
    float defaults[kNumClapParameters] = {};
    OutgoingEvents outgoing;

    bool initialised = false;
    bool active = false;
    bool processing = false;
    uint32_t maxFrames = 0;
    // Stands in for channels a host leaves out.
    std::vector<float> spareFloat;
    std::vector<double> spareDouble;

    bool editorCreated = false;
    bool editorOpen = false;
    bool timerRegistered = false;
    uint32_t timerId = 0;
    int watchedDescriptor = -1;
};

}  // namespace clapfront
