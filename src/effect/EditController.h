// What an editor edits, whatever the plug-in format around it: the parameters, the program
// store with its files and memories, the meter, and the host around the editor's window.
// Each format's front end implements it; the editor reaches the core and the host only
// through it, so one editor serves every format. Called on the editor's thread.
#pragma once

#include <optional>
#include <string>

class EditController {
public:
    enum class Memory { A, B };
    // The longest program name the store keeps.
    static constexpr int kMaxProgramNameLength = 24;

    virtual ~EditController() = default;

    // The parameters by index (effect/Parameters.h), as normalised values 0 to 1.
    virtual float parameterValue(int index) = 0;
    // The value as the host shows it.
    virtual std::string parameterText(int index) = 0;
    // A user's edit of one parameter: begin, any number of changes, end. A change is in the
    // core (and so in the audio) before the host hears of it.
    virtual void beginEdit(int index) = 0;
    virtual void performEdit(int index, float value) = 0;
    virtual void endEdit(int index) = 0;

    // The program store of 33 programs; without one (false) the calls below do nothing.
    virtual bool hasPrograms() = 0;
    // Empty for an index outside the store.
    virtual std::string programName(int program) = 0;
    virtual int selectedProgram() = 0;
    // Applies the program as user edits of every parameter.
    virtual void selectProgram(int program) = 0;
    // The user renamed the selected program.
    virtual void renameProgram(const std::string& name) = 0;
    // Bank and preset files by folder and bare file name; true when read or written. A file
    // refused shows its message box and changes nothing.
    virtual bool readBank(const std::string& folder, const std::string& fileName) = 0;
    virtual bool writeBank(const std::string& folder, const std::string& fileName) = 0;
    virtual bool readPreset(const std::string& folder, const std::string& fileName) = 0;
    virtual bool writePreset(const std::string& folder, const std::string& fileName) = 0;
    // The A/B memories, shared by every instance; true when done.
    virtual bool storeMemory(Memory memory) = 0;
    virtual bool recallMemory(Memory memory) = 0;

    // Smoothed linear gain of the compressor, 1 for no reduction.
    virtual double meterGain() = 0;

    // Asks the host to make the editor's window this size (device pixels); false when it
    // cannot, and the editor resizes the windows around it itself.
    virtual bool requestWindowSize(int width, int height) = 0;
    // The factor the host draws its windows at, when it gave one.
    virtual std::optional<double> hostScale() = 0;
    // Lets the host breathe while a control holds the mouse.
    virtual void hostIdle() = 0;
    // Brackets a window event that reached the editor outside any call of the host's: what
    // it sets off may make the host close the plug-in, which then stays until release.
    // release may delete the editor and this controller.
    virtual void hold() = 0;
    virtual void release() = 0;
};
