// The effect's own store of 33 programs behind the single program the host sees:
// program 0 is the working copy, 1 to 32 the factory presets the user picks from.
#pragma once

#include <atomic>
#include <string>

#include "host/AudioEffectX.h"
#include "presets/CProgram.h"
#include "presets/FactoryPresets.h"

class CPresetSystemEffect : public AudioEffectX {
public:
    explicit CPresetSystemEffect(audioMasterCallback audioMaster);
    ~CPresetSystemEffect() override;

    // The store's share of a parameter change: the value lands in the selected program
    // and in program 0, unless a selection is being applied.
    void setParameter(VstInt32 index, float value) override;
    VstInt32 getProgram() override { return 0; }
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;

    virtual int getProgramIndex() { return programIndex.load(std::memory_order_relaxed); }
    // Rename from outside the editor (host, memory recall); tells the editor.
    virtual void renameProgram(const char* text);
    // Rename from the editor; tells the host.
    virtual void storeProgramName(const char* text);
    virtual void selectProgram(int index);
    // The A/B memories in the settings store. Store writes the current parameter values
    // and the selected program's name; recall applies them as user edits and renames the
    // selected program. Both answer 0 when done and -1 when the memory could not be
    // written or does not exist (recall then changes nothing).
    virtual int storeMemoA();
    virtual int storeMemoB();
    virtual int recallMemoA();
    virtual int recallMemoB();
    // A parameter change the host records as a user edit.
    virtual void applyParameter(int index, float value);
    virtual void initPrograms();

    // The record of a program, null for an index outside 0..32 or without a store.
    CProgram* program(int index);

    // Bank and preset files, by folder and file name. Writing is all or nothing. Reading
    // shows a foreign, mistyped or short file in a message box and changes nothing; a
    // bank read selects program 0, a preset read replaces and reselects the selected
    // program. A file that cannot be opened or written, or an empty folder or name,
    // changes nothing without a message. True when the file was read or written.
    bool writeBank(const std::string& folder, const std::string& fileName);
    bool readBank(const std::string& folder, const std::string& fileName);
    bool writePreset(const std::string& folder, const std::string& fileName);
    bool readPreset(const std::string& folder, const std::string& fileName);

    // The whole state (every program and the selected one) as a versioned blob
    // (presets/StateBlob.h), for the front ends whose hosts keep it; empty without a store.
    // Loading takes a whole valid blob or refuses it (false) changing nothing; the store
    // then runs its working copy and the editor shows it. The host is not told: its front
    // end knows that every value may have changed.
    std::string saveState();
    bool loadState(const void* bytes, std::size_t size);

protected:
    CProgram* programs = nullptr;
    // Hosts reach the store from more than one thread: both are relaxed atomics.
    std::atomic<int> programIndex{0};
    std::atomic<bool> applyingProgram{false};

private:
    int storeMemo(const char* keyPath);
    int recallMemo(const char* keyPath);
    bool loadBank(const std::string& path);
    bool loadPreset(const std::string& path);
};
