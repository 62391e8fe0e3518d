// The program store of one DSP instance, for the editor when the host runs it in the same
// process: a plain C table, found through the host's data-access feature (the DSP's
// extension data for kStoreAccessUri) and called with the instance handle that
// instance-access gives. The DSP and the editor are separate libraries, so nothing of C++
// crosses between them. Every call is made on the host's UI thread.
#pragma once

#include <cstdint>

extern "C" {

struct KrvStoreAccess {
    uint32_t version;  // 2; a later version only appends entries

    // The program's name (at most 24 characters and a terminator) into name; false for a
    // program outside 0 to 32.
    bool (*programName)(void* instance, int32_t program, char* name);
    int32_t (*selectedProgram)(void* instance);
    void (*selectProgram)(void* instance, int32_t program);
    void (*renameProgram)(void* instance, const char* name);
    // Files by folder and bare file name; true when read or written.
    bool (*readBank)(void* instance, const char* folder, const char* fileName);
    bool (*writeBank)(void* instance, const char* folder, const char* fileName);
    bool (*readPreset)(void* instance, const char* folder, const char* fileName);
    bool (*writePreset)(void* instance, const char* folder, const char* fileName);
    // memory: 0 for A, 1 for B; true when done.
    bool (*storeMemory)(void* instance, int32_t memory);
    bool (*recallMemory)(void* instance, int32_t memory);
    // The normalised value of a parameter by our index, as the core holds it now.
    float (*parameterValue)(void* instance, int32_t index);
    // Where the core's messages (a file refused) go: the editor shows them. Null: stderr.
    void (*setMessageSink)(void* instance,
                           void (*sink)(void* context, const char* title, const char* text),
                           void* context);

    // Version 2. Sets a parameter's normalised value in the core, by our index: the editor
    // brings the core up to its ports before a store call, as a host may not have run the
    // plug-in since (Qtractor runs it only while its transport rolls).
    void (*setParameterValue)(void* instance, int32_t index, float value);
};

}  // extern "C"
