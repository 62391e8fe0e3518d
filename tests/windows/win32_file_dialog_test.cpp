// The common file dialogs: what they are given, checked field by field, and real dialogs
// of Wine answered from inside their own loop, with the current directory watched.
#include "DialogsDesk.h"

#include <cderr.h>

#include <string>

#include "platform/FileDialog.h"
#include "platform/win32/Win32FileDialogRequest.h"

using platform::FileDialogOptions;
using platform::win32::DialogOutcome;
using platform::win32::FileDialogRequest;

namespace {

constexpr int kFileNameField = 0x47C;  // cmb13, the name field of the explorer dialog

FileDialogOptions bankOptions(FileDialogOptions::Kind kind) {
    FileDialogOptions options;
    options.kind = kind;
    options.title = kind == FileDialogOptions::Kind::Open ? "Select bank to load..."
                                                          : "Save bank as...";
    options.filters = {{"All Files", "*.*"}, {"KRV Banks", "*.krb"}};
    options.selectedFilter = 1;
    options.defaultExtension = "krb";
    options.mustExist = kind == FileDialogOptions::Kind::Open;
    options.confirmOverwrite = kind == FileDialogOptions::Kind::Save;
    return options;
}

std::string currentDirectory() {
    char buffer[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof buffer, buffer);
    return buffer;
}

HWND openDialogOfThisThread() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            char name[16] = {};
            GetClassNameA(window, name, sizeof name);
            if (std::string(name) != "#32770" || !IsWindowVisible(window)) return TRUE;
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Answers the dialog once it is open: types name (empty: none) and presses button.
LoopAction answerDialog(const std::string& name, int button) {
    return LoopAction([name, button] {
        HWND dialog = openDialogOfThisThread();
        if (!dialog) return false;
        if (!name.empty()) SetDlgItemTextA(dialog, kFileNameField, name.c_str());
        PostMessageA(dialog, WM_COMMAND, button, 0);
        return true;
    });
}

// A folder of its own under the prefix's temporary folder, with one bank file in it.
class BankFolder {
public:
    BankFolder() {
        char temporary[MAX_PATH] = {};
        GetTempPathA(sizeof temporary, temporary);
        path = std::string(temporary) + "krv-dialogs-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(path.c_str(), nullptr);
        path += '\\';
        HANDLE file = CreateFileA((path + "mix.krb").c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    ~BankFolder() {
        DeleteFileA((path + "mix.krb").c_str());
        RemoveDirectoryA(path.substr(0, path.size() - 1).c_str());
    }
    std::string path;  // with its trailing backslash
};

// Dialog windows of this thread that are still there.
int dialogsOfThisThread() {
    int count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            char name[16] = {};
            if (IsWindow(window) && GetClassNameA(window, name, sizeof name) &&
                lstrcmpA(name, "#32770") == 0)
                ++*reinterpret_cast<int*>(data);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

}  // namespace

TEST(Win32FileDialogRequest, FilterTextEndsEachTextAndTheList) {
    using platform::win32::filterText;
    EXPECT_EQ(filterText(bankOptions(FileDialogOptions::Kind::Open).filters),
              std::string("All Files\0*.*\0KRV Banks\0*.krb\0\0", 31));
    EXPECT_EQ(filterText({}), "");
}

TEST(Win32FileDialogRequest, OpenAndSaveAskForWhatTheirOptionsSay) {
    FileDialogOptions open = bankOptions(FileDialogOptions::Kind::Open);
    open.folder = "C:\\banks\\";
    open.fileName = "mix.krb";
    FileDialogRequest openRequest(open);
    const OPENFILENAMEA& asked = openRequest.structure();
    EXPECT_EQ(asked.lStructSize, sizeof(OPENFILENAMEA));
    EXPECT_STREQ(asked.lpstrTitle, "Select bank to load...");
    EXPECT_EQ(std::string(asked.lpstrFilter, 31),
              std::string("All Files\0*.*\0KRV Banks\0*.krb\0\0", 31));
    EXPECT_EQ(asked.nFilterIndex, 2u);  // counted from 1
    EXPECT_STREQ(asked.lpstrInitialDir, "C:\\banks\\");
    EXPECT_STREQ(asked.lpstrFile, "mix.krb");
    EXPECT_EQ(asked.nMaxFile, FileDialogRequest::kPathBufferSize);
    EXPECT_STREQ(asked.lpstrDefExt, "krb");
    DWORD always = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    EXPECT_EQ(asked.Flags, always | OFN_FILEMUSTEXIST);
    EXPECT_EQ(asked.hwndOwner, nullptr);  // no window given

    FileDialogOptions save = bankOptions(FileDialogOptions::Kind::Save);
    save.selectedFilter = 7;  // no such filter: the first
    save.defaultExtension.clear();
    FileDialogRequest saveRequest(save);
    EXPECT_EQ(saveRequest.structure().Flags, always | OFN_OVERWRITEPROMPT);
    EXPECT_EQ(saveRequest.structure().nFilterIndex, 1u);
    EXPECT_EQ(saveRequest.structure().lpstrInitialDir, nullptr);  // the current directory
    EXPECT_EQ(saveRequest.structure().lpstrDefExt, nullptr);
    EXPECT_STREQ(saveRequest.structure().lpstrFile, "");
}

TEST(Win32FileDialogRequest, AnOfferedNameThatDoesNotFitIsNotOffered) {
    FileDialogOptions options = bankOptions(FileDialogOptions::Kind::Save);
    options.fileName = std::string(40, 'n');
    FileDialogRequest request(options, 40);
    EXPECT_STREQ(request.structure().lpstrFile, "");
    options.fileName = std::string(39, 'n');
    FileDialogRequest fitting(options, 40);
    EXPECT_EQ(std::string(fitting.structure().lpstrFile), options.fileName);
}

// Wine's own dialog fails on names that make a path past MAX_PATH, so this check is
// tested on the buffer alone.
TEST(Win32FileDialogRequest, OnlyWholePathsTheFileFunctionsCanOpenAreChosen) {
    using platform::win32::readChosenPath;
    std::string path = "unchanged";
    std::string fits = "C:\\banks\\mix.krb";
    EXPECT_EQ(readChosenPath(fits.c_str(), fits.size() + 1, path), DialogOutcome::Chosen);
    EXPECT_EQ(path, fits);
    // No terminator inside the buffer: the path went on past it.
    EXPECT_EQ(readChosenPath(fits.data(), fits.size(), path), DialogOutcome::TooLong);
    EXPECT_EQ(path, "");
    std::string longest = "C:\\" + std::string(MAX_PATH - 4, 'n');
    EXPECT_EQ(readChosenPath(longest.c_str(), longest.size() + 1, path), DialogOutcome::Chosen);
    std::string tooLong = longest + "n";
    EXPECT_EQ(readChosenPath(tooLong.c_str(), tooLong.size() + 1, path), DialogOutcome::TooLong);
    EXPECT_EQ(path, "");
}

namespace {

// The system's dialog runs inside open, which reports once before it returns.
std::string runDialog(const FileDialogOptions& options, const platform::ModalPump& pump) {
    std::string chosen;
    int ends = 0;
    auto dialog = platform::FileDialog::open(options, pump, [&](const std::string& path) {
        chosen = path;
        ++ends;
    });
    EXPECT_FALSE(dialog);
    EXPECT_EQ(ends, 1);
    return chosen;
}

}  // namespace

class Win32FileDialogTest : public DialogsDesk {
protected:
    FileDialogOptions ownedOptions(FileDialogOptions::Kind kind) {
        FileDialogOptions options = bankOptions(kind);
        options.owner = window->handle();
        options.folder = folder.path;
        return options;
    }
    BankFolder folder;
};

TEST_F(Win32FileDialogTest, TheOwnerIsTheTopLevelWindowAroundTheEditor) {
    FileDialogRequest request(ownedOptions(FileDialogOptions::Kind::Open));
    EXPECT_EQ(request.structure().hwndOwner, top);
}

TEST_F(Win32FileDialogTest, OpenAnswersTheFullPathAndLeavesTheCurrentDirectory) {
    std::string before = currentDirectory();
    int pumped = 0;
    LoopAction answer = answerDialog("mix.krb", IDOK);
    std::string chosen = runDialog(ownedOptions(FileDialogOptions::Kind::Open),
                                                  [&pumped] { return ++pumped > 0; });
    EXPECT_TRUE(answer.done());
    EXPECT_EQ(chosen, folder.path + "mix.krb");
    // Turned while the dialog waited and once after it.
    EXPECT_GE(pumped, 1);
    EXPECT_EQ(currentDirectory(), before);
    EXPECT_NE(before + "\\", folder.path);
}

TEST_F(Win32FileDialogTest, SaveAddsTheDefaultExtension) {
    std::string before = currentDirectory();
    LoopAction answer = answerDialog("fresh", IDOK);
    std::string chosen = runDialog(ownedOptions(FileDialogOptions::Kind::Save),
                                                  [] { return true; });
    EXPECT_EQ(chosen, folder.path + "fresh.krb");
    EXPECT_EQ(currentDirectory(), before);
}

TEST_F(Win32FileDialogTest, CancelledOrClosedEditorGivesNothing) {
    {
        LoopAction answer = answerDialog("mix.krb", IDCANCEL);
        EXPECT_EQ(runDialog(ownedOptions(FileDialogOptions::Kind::Open),
                                           [] { return true; }),
                  "");
        EXPECT_TRUE(answer.done());
    }
    {
        // The host closed the editor while the dialog waited: the dialog ends by itself,
        // and what a user might still choose is not taken.
        LoopAction answer = answerDialog("mix.krb", IDOK);
        EXPECT_EQ(runDialog(ownedOptions(FileDialogOptions::Kind::Open),
                                           [] { return false; }),
                  "");
        EXPECT_EQ(dialogsOfThisThread(), 0);
    }
}

TEST_F(Win32FileDialogTest, APathTooLongForTheBufferIsRefusedNotCut) {
    FileDialogOptions options = ownedOptions(FileDialogOptions::Kind::Open);
    // Room for the folder, not for the folder and the name.
    FileDialogRequest request(options, DWORD(folder.path.size() + 4));
    LoopAction answer = answerDialog("mix.krb", IDOK);
    std::string path = "unchanged";
    EXPECT_EQ(request.run(path), DialogOutcome::TooLong);
    EXPECT_EQ(path, "");
}
