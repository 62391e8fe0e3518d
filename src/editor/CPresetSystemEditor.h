// The editor base that puts the preset system on screen: the program-name field, the
// program menu, the rocker that steps through the programs, the four file buttons with
// their dialogs and the four memory buttons, along the bottom edge of the editor.
//
// Contract for the derived editor:
// - open(window): call AEffEditor::open(window), create the frame with adoptFrame, add
//   the editor's own controls, then call CPresetSystemEditor::open(window) last; the
//   preset row is built from the program store each time.
// - close(): call CPresetSystemEditor::close(), forget the own controls, destroyFrame().
// - idle(): AEffGUIEditor::idle() (events, pending changes, redraw), then
//   CPresetSystemEditor::idle() for the hover highlighting.
// - valueChanged(): call CPresetSystemEditor::valueChanged() for the preset tags.
// - applyPendingChanges(): call CPresetSystemEditor::applyPendingChanges() first.
#pragma once

#include <optional>
#include <string>

#include "editor/AEffGUIEditor.h"
#include "editor/CPresetSystemListener.h"

class CKrOnOffButton;
class CKrRockerSwitch;
class COptionMenu;
class CSaveLoadButton;
class CTextEdit;

class CPresetSystemEditor : public AEffGUIEditor, public CPresetSystemListener {
public:
    enum Tag : int32_t {
        kNameFieldTag = 43,
        kRockerTag = 44,
        kLoadBankTag = 45,
        kSaveBankTag = 46,
        kLoadPresetTag = 47,
        kSavePresetTag = 48,
        kProgramMenuTag = 49,
        kRecallATag = 50,
        kRecallBTag = 51,
        kStoreATag = 52,
        kStoreBTag = 53,
    };

    // The file dialogs start in the process's current directory of this moment.
    explicit CPresetSystemEditor(AudioEffect* effect);
    explicit CPresetSystemEditor(EditController& controller);
    ~CPresetSystemEditor() override;

    // Adds the preset row to the frame the derived editor made, above the editor's own
    // controls, placed against the bottom of rect. False, creating nothing, without a
    // frame or without a program store.
    bool open(void* window) override;
    // Forgets the row's controls; the frame owns and destroys them.
    void close() override;
    // Hover highlighting of the row's buttons; nothing else (see the contract above).
    void idle() override;

    // From the effect, on whatever thread the host used. On the editor's own thread with
    // the window open they set the controls at once; otherwise they only leave a note in
    // pending and the next idle rebuilds the row from the store.
    void programNameChanged(const char* name) override;
    void setProgramMenuEntry(int program, const char* name) override;
    void setCurrentProgramMenuEntry(int program) override;
    void setProgramNameField(const char* name) override;

    // The user finished editing the name field: cut to 24 characters, shown and stored.
    virtual void programNameEdited(const char* text);
    // The user chose program index (menu position without the separator) named text.
    virtual void programChosen(int index, const char* text);

    // Name field, program menu and memory buttons; other tags are the derived editor's.
    void valueChanged(CDrawContext* context, CControl* control) override;
    int32_t controlModifierClicked(CDrawContext* context, CControl* control,
                                   int32_t buttons) override;
    void loadBank() override;
    void saveBank() override;
    void loadPreset() override;
    void savePreset() override;
    // Previous or next program, held at 0 and 32; the end program is applied again.
    void stepProgram(bool up) override;

protected:
    void applyPendingChanges() override;

private:
    enum class FileOperation { kLoadBank, kSaveBank, kLoadPreset, kSavePreset };

    void addNameField(CCoord bottom);
    void addProgramMenu(CCoord bottom);
    void addRockerAndButtons(CCoord bottom);
    // Without a program store: the row dimmed and deaf.
    void coverPresetRow();
    // Every control of the row shows the store's state again.
    void refreshFromStore();
    // name into the field, the current menu entry and entry 0.
    void showProgramName(const char* name);
    // Asks for the file; the operation runs when the dialog answers (fileChosen).
    void runFileOperation(FileOperation operation);
    void fileChosen(FileOperation operation, const std::string& chosen);
    // The file buttons while a dialog is open (operation's), or again as usual (nothing).
    void showFileDialogOpen(std::optional<FileOperation> operation);

    // What the file dialogs offer: the folder of the last file chosen (with its trailing
    // separator) and the bare names of the last bank and preset files.
    std::string folderPath;
    std::string bankFileName;
    std::string presetFileName;

    CTextEdit* nameField = nullptr;
    COptionMenu* programMenu = nullptr;
    CKrRockerSwitch* programRocker = nullptr;
    CSaveLoadButton* saveBankButton = nullptr;
    CSaveLoadButton* loadBankButton = nullptr;
    CSaveLoadButton* savePresetButton = nullptr;
    CSaveLoadButton* loadPresetButton = nullptr;
    CKrOnOffButton* recallAButton = nullptr;
    CKrOnOffButton* recallBButton = nullptr;
    CKrOnOffButton* storeAButton = nullptr;
    CKrOnOffButton* storeBButton = nullptr;
};
