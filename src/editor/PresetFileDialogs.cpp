// The preset row's four file operations: the dialog that asks for the file, then the
// store's reader or writer on the chosen path. The plug-in lives in the host's process,
// so it never changes the current directory: files are opened by their full path.
#include <climits>
#include <utility>

#include "editor/CPresetSystemEditor.h"
#include "editor/CSaveLoadButton.h"
#include "platform/FileDialog.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"

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
    // One dialog at a time; the row's buttons show it and take no clicks meanwhile.
    if (!controller.hasPrograms() || !frame || frame->isFileDialogOpen()) return;

    const bool bank =
        operation == FileOperation::kLoadBank || operation == FileOperation::kSaveBank;
    const DialogSettings& settings = operation == FileOperation::kLoadBank   ? kBankLoad
                                     : operation == FileOperation::kSaveBank ? kBankSave
                                     : operation == FileOperation::kLoadPreset
                                         ? kPresetLoad
                                         : kPresetSave;

    platform::FileDialogOptions options;
    options.kind = settings.kind;
    options.title = settings.title;
    options.filters = {{"All Files", "*.*"}, settings.filter};
    options.selectedFilter = 1;
    options.folder = folderPath;
    options.fileName = bank ? bankFileName : presetFileName;
    options.defaultExtension = settings.extension;
    options.mustExist = settings.kind == Kind::Open;
    options.confirmOverwrite = settings.kind == Kind::Save;
    if (platform::NativeWindow* window = frame->getNativeWindow())
        options.owner = window->handle();

    showFileDialogOpen(operation);
    // The frame closes the dialog without a word when the editor closes meanwhile.
    if (!frame->openFileDialog(options, [this, operation](const std::string& chosen) {
            fileChosen(operation, chosen);
        }))
        showFileDialogOpen(std::nullopt);
}

void CPresetSystemEditor::fileChosen(FileOperation operation, const std::string& chosen) {
    showFileDialogOpen(std::nullopt);
    if (!frame || chosen.empty()) return;
    // Failures shown now belong to this editor's window.
    platform::NativeWindow* window = frame->getNativeWindow();
    platform::MessageBoxOwner boxOwner(window ? window->handle() : 0);

    // Cutting the path would open another file than the one chosen.
    if (chosen.size() >= PATH_MAX) {
        platform::showMessageBox("Error...", kPathTooLongMessage, platform::MessageBoxIcon::Error);
        return;
    }
    std::string::size_type slash = platform::lastSeparator(chosen);
    if (slash == std::string::npos || slash + 1 == chosen.size()) return;
    const bool bank =
        operation == FileOperation::kLoadBank || operation == FileOperation::kSaveBank;
    folderPath = chosen.substr(0, slash + 1);
    (bank ? bankFileName : presetFileName) = chosen.substr(slash + 1);
    const std::string& fileName = bank ? bankFileName : presetFileName;

    switch (operation) {
        case FileOperation::kLoadBank: controller.readBank(folderPath, fileName); break;
        case FileOperation::kSaveBank: controller.writeBank(folderPath, fileName); break;
        case FileOperation::kLoadPreset: controller.readPreset(folderPath, fileName); break;
        case FileOperation::kSavePreset: controller.writePreset(folderPath, fileName); break;
    }
}

void CPresetSystemEditor::showFileDialogOpen(std::optional<FileOperation> operation) {
    const std::pair<CSaveLoadButton*, FileOperation> buttons[] = {
        {loadBankButton, FileOperation::kLoadBank},
        {saveBankButton, FileOperation::kSaveBank},
        {loadPresetButton, FileOperation::kLoadPreset},
        {savePresetButton, FileOperation::kSavePreset}};
    for (const auto& [button, its] : buttons)
        if (button) button->setDialogOpen(operation.has_value(), operation == its);
}
