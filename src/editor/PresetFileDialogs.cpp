// The preset row's four file operations: the dialog that asks for the file, then the
// effect's reader or writer on the chosen path. The plug-in lives in the host's process,
// so it never changes the current directory: files are opened by their full path.
#include <climits>

#include "editor/CPresetSystemEditor.h"
#include "platform/FileDialog.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "presets/CPresetSystemEffect.h"

namespace {

using Kind = platform::FileDialogOptions::Kind;

struct DialogSettings {
    Kind kind;
    const char* title;
    platform::FileFilter filter;
    const char* extension;
};

const DialogSettings kBankLoad{Kind::Open, "Select bank to load...", {"KRV Banks", "*.krb"},
                               "krb"};
const DialogSettings kBankSave{Kind::Save, "Save bank as...", {"KRV Banks", "*.krb"}, "krb"};
const DialogSettings kPresetLoad{Kind::Open, "Select preset to load...",
                                 {"KRV Presets", "*.krv"}, "krv"};
const DialogSettings kPresetSave{Kind::Save, "Save preset as...", {"KRV Presets", "*.krv"},
                                 "krv"};

constexpr const char* kPathTooLongMessage =
    "The path of the chosen file is too long to be opened.";

}  // namespace

void CPresetSystemEditor::loadBank() { runFileOperation(FileOperation::kLoadBank); }
void CPresetSystemEditor::saveBank() { runFileOperation(FileOperation::kSaveBank); }
void CPresetSystemEditor::loadPreset() { runFileOperation(FileOperation::kLoadPreset); }
void CPresetSystemEditor::savePreset() { runFileOperation(FileOperation::kSavePreset); }

void CPresetSystemEditor::runFileOperation(FileOperation operation) {
    CPresetSystemEffect* store = presetEffect();
    // The dialog belongs to the editor's window and keeps it alive through its pump.
    if (!store || !store->program(0) || !frame) return;

    const bool bank =
        operation == FileOperation::kLoadBank || operation == FileOperation::kSaveBank;
    const DialogSettings& settings = operation == FileOperation::kLoadBank   ? kBankLoad
                                     : operation == FileOperation::kSaveBank ? kBankSave
                                     : operation == FileOperation::kLoadPreset
                                         ? kPresetLoad
                                         : kPresetSave;
    std::string& fileName = bank ? bankFileName : presetFileName;

    platform::FileDialogOptions options;
    options.kind = settings.kind;
    options.title = settings.title;
    options.filters = {{"All Files", "*.*"}, settings.filter};
    options.selectedFilter = 1;
    options.folder = folderPath;
    options.fileName = fileName;
    options.defaultExtension = settings.extension;
    options.mustExist = settings.kind == Kind::Open;
    options.confirmOverwrite = settings.kind == Kind::Save;
    if (platform::NativeWindow* window = frame->getNativeWindow())
        options.owner = window->handle();

    // The host may close the editor while the dialog waits: the frame is held so its pump
    // stays callable, and a frame that is no longer ours ends the operation.
    CFrame* dialogFrame = frame;
    dialogFrame->remember();
    std::string chosen = platform::showFileDialog(options, dialogFrame->modalPump());
    const bool stillOpen = frame == dialogFrame && dialogFrame->getEditor() != nullptr;
    dialogFrame->forget();
    if (!stillOpen || chosen.empty()) return;

    // Cutting the path would open another file than the one chosen.
    if (chosen.size() >= PATH_MAX) {
        platform::showMessageBox("Error...", kPathTooLongMessage, platform::MessageBoxIcon::Error);
        return;
    }
    std::string::size_type slash = platform::lastSeparator(chosen);
    if (slash == std::string::npos || slash + 1 == chosen.size()) return;
    folderPath = chosen.substr(0, slash + 1);
    fileName = chosen.substr(slash + 1);

    switch (operation) {
        case FileOperation::kLoadBank: store->readBank(folderPath, fileName); break;
        case FileOperation::kSaveBank: store->writeBank(folderPath, fileName); break;
        case FileOperation::kLoadPreset: store->readPreset(folderPath, fileName); break;
        case FileOperation::kSavePreset: store->writePreset(folderPath, fileName); break;
    }
}
