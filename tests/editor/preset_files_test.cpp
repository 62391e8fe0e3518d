// The preset row's file buttons: what their dialogs are asked, which folder and names they
// remember, and the files written and read at the chosen full path while the process's
// current directory stays where the host put it.
#include <unistd.h>

#include <climits>
#include <filesystem>

#include "PresetRowSupport.h"
#include "support/TemporaryFolder.h"

namespace {

std::string currentDirectory() {
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? buffer : "";
}

class PresetFilesTest : public PresetRowTest {
protected:
    void SetUp() override {
        PresetRowTest::SetUp();
        startDirectory = currentDirectory();
        platform::headless::resetServices();
    }
    void TearDown() override { EXPECT_EQ(currentDirectory(), startDirectory); }

    // The dialog the next click on a file button shows, answered with path (or cancelled).
    platform::FileDialogOptions press(const skin::BitmapLayout& button,
                                      std::optional<std::string> path = std::nullopt) {
        int before = platform::headless::fileDialogsShown();
        platform::headless::answerNextFileDialog(std::move(path));
        clickCenterOf(button.rect);
        EXPECT_EQ(platform::headless::fileDialogsShown(), before + 1);
        return platform::headless::lastFileDialog().value_or(platform::FileDialogOptions{});
    }

    std::string startDirectory;
    TemporaryFolder folder;
};

TEST_F(PresetFilesTest, EachButtonAsksItsOwnDialogInTheStartDirectory) {
    open();
    using Kind = platform::FileDialogOptions::Kind;
    struct Expected {
        const skin::BitmapLayout* button;
        Kind kind;
        const char* title;
        const char* description;
        const char* pattern;
        const char* extension;
    };
    const Expected table[] = {
        {&skin::kLoadBank, Kind::Open, "Select bank to load...", "KRV Banks", "*.krb", "krb"},
        {&skin::kSaveBank, Kind::Save, "Save bank as...", "KRV Banks", "*.krb", "krb"},
        {&skin::kLoadPreset, Kind::Open, "Select preset to load...", "KRV Presets", "*.krv",
         "krv"},
        {&skin::kSavePreset, Kind::Save, "Save preset as...", "KRV Presets", "*.krv", "krv"}};
    for (const Expected& expected : table) {
        platform::FileDialogOptions shown = press(*expected.button);
        EXPECT_EQ(shown.kind, expected.kind) << expected.title;
        EXPECT_EQ(shown.title, expected.title);
        ASSERT_EQ(shown.filters.size(), 2u) << expected.title;
        EXPECT_EQ(shown.filters[0].description, "All Files");
        EXPECT_EQ(shown.filters[0].pattern, "*.*");
        EXPECT_EQ(shown.filters[1].description, expected.description);
        EXPECT_EQ(shown.filters[1].pattern, expected.pattern);
        EXPECT_EQ(shown.selectedFilter, 1);
        EXPECT_EQ(shown.defaultExtension, expected.extension);
        EXPECT_EQ(shown.mustExist, expected.kind == Kind::Open) << expected.title;
        EXPECT_EQ(shown.confirmOverwrite, expected.kind == Kind::Save) << expected.title;
        EXPECT_EQ(shown.folder, startDirectory);
        EXPECT_EQ(shown.fileName, "");
        EXPECT_EQ(shown.owner, platform::headless::lastWindow());
    }
    // Cancelled dialogs leave everything as it was.
    EXPECT_EQ(fixture.effect().getProgramIndex(), 0);
    EXPECT_EQ(folder.entryCount(), 0u);
}

TEST_F(PresetFilesTest, SavingABankElsewhereMovesBothDialogsThereWithTheirOwnNames) {
    fixture.effect().selectProgram(16);
    open();
    const std::string other = folder.path() + "/other";
    ASSERT_TRUE(std::filesystem::create_directory(other));

    press(skin::kSaveBank, other + "/mix.krb");
    EXPECT_EQ(folder.read("other/mix.krb").size(), 2381u);
    EXPECT_FALSE(std::filesystem::exists(startDirectory + "/mix.krb"));

    platform::FileDialogOptions bank = press(skin::kLoadBank);
    EXPECT_EQ(bank.folder, other + "/");
    EXPECT_EQ(bank.fileName, "mix.krb");
    platform::FileDialogOptions preset = press(skin::kLoadPreset);
    EXPECT_EQ(preset.folder, other + "/");
    EXPECT_EQ(preset.fileName, "");

    press(skin::kSavePreset, folder.file("kick.krv"));
    EXPECT_EQ(folder.read("kick.krv").size(), 77u);
    preset = press(skin::kSavePreset);
    EXPECT_EQ(preset.folder, folder.path() + "/");
    EXPECT_EQ(preset.fileName, "kick.krv");
    bank = press(skin::kSaveBank);
    EXPECT_EQ(bank.folder, folder.path() + "/");
    EXPECT_EQ(bank.fileName, "mix.krb");
}

TEST_F(PresetFilesTest, FilesAreReadFromTheChosenPathAndShownAtOnce) {
    fixture.effect().selectProgram(16);
    open();
    press(skin::kSavePreset, folder.file("kick.krv"));
    fixture.effect().renameProgram("Bank Kick");
    press(skin::kSaveBank, folder.file("mix.krb"));

    // Another program selected and renamed, then the preset file brought back into it.
    clickCenterOf(skin::kRocker.rect);  // left half: program 15
    ASSERT_EQ(fixture.effect().getProgramIndex(), 15);
    press(skin::kLoadPreset, folder.file("kick.krv"));
    EXPECT_EQ(storedName(15), "Kick");
    EXPECT_EQ(fieldText(), "Kick");
    EXPECT_EQ(entry(16), "Kick");
    EXPECT_FLOAT_EQ(fixture.effect().getParameter(5), fixture.effect().program(16)->getValue(5));

    // The bank brings back every name and selects program 0.
    press(skin::kLoadBank, folder.file("mix.krb"));
    EXPECT_EQ(storedName(15), "Snare Puncher");
    EXPECT_EQ(entry(16), "Snare Puncher");
    EXPECT_EQ(entry(17), "Bank Kick");
    EXPECT_EQ(fixture.effect().getProgramIndex(), 0);
    EXPECT_EQ(menu()->getCurrent(), 0);
    EXPECT_EQ(fieldText(), "Bank Kick");
    EXPECT_TRUE(platform::recordedMessageBoxes().empty());
}

TEST_F(PresetFilesTest, APathTooLongForTheSystemIsRefusedWithAMessage) {
    open();
    press(skin::kSaveBank, folder.file("mix.krb"));
    const std::string tooLong = folder.path() + "/" + std::string(PATH_MAX, 'a') + "/mix.krb";
    press(skin::kLoadBank, tooLong);
    ASSERT_EQ(platform::recordedMessageBoxes().size(), 1u);
    EXPECT_EQ(platform::recordedMessageBoxes()[0].title, "Error...");
    EXPECT_EQ(platform::recordedMessageBoxes()[0].icon, platform::MessageBoxIcon::Error);
    // Neither cut nor remembered.
    platform::FileDialogOptions next = press(skin::kLoadBank);
    EXPECT_EQ(next.folder, folder.path() + "/");
    EXPECT_EQ(next.fileName, "mix.krb");
}

TEST_F(PresetFilesTest, APathWithoutFolderOrNameEndsSilently) {
    open();
    press(skin::kSavePreset, "loose.krv");
    press(skin::kSavePreset, folder.path() + "/");
    EXPECT_FALSE(std::filesystem::exists(startDirectory + "/loose.krv"));
    EXPECT_EQ(folder.entryCount(), 0u);
    EXPECT_TRUE(platform::recordedMessageBoxes().empty());
    platform::FileDialogOptions next = press(skin::kSavePreset);
    EXPECT_EQ(next.folder, startDirectory);
    EXPECT_EQ(next.fileName, "");
}

TEST_F(PresetFilesTest, ADialogOpenAcrossIdlesHoldsTheFileButtonsUntilItAnswersOnce) {
    open();
    platform::headless::answerNextFileDialog(folder.file("held.krb"), 3);
    clickCenterOf(skin::kSaveBank.rect);
    EXPECT_TRUE(frame()->isFileDialogOpen());
    // Clicks on the row's file buttons meanwhile open nothing and queue nothing.
    clickCenterOf(skin::kLoadPreset.rect);
    clickCenterOf(skin::kSaveBank.rect);
    EXPECT_EQ(platform::headless::fileDialogsShown(), 1);
    EXPECT_FALSE(folder.exists("held.krb"));
    idle();
    EXPECT_EQ(folder.read("held.krb").size(), 2381u);
    EXPECT_FALSE(frame()->isFileDialogOpen());
    idle();
    EXPECT_EQ(platform::headless::fileDialogsShown(), 1);
    press(skin::kLoadPreset);  // free again
}

TEST_F(PresetFilesTest, AnEditorClosedDuringTheDialogIsLeftAlone) {
    for (bool insideOpen : {false, true}) {
        SCOPED_TRACE(insideOpen ? "the system's dialog" : "a dialog open across idles");
        platform::headless::answerFileDialogsInsideOpen(insideOpen);
        open();
        // The host closes the editor from inside the system's dialog, or between idles.
        if (insideOpen)
            editor->duringPump = [this] {
                editor->duringPump = nullptr;
                dispatch(effEditClose);
            };
        platform::headless::answerNextFileDialog(folder.file("late.krb"), 1);
        editor->saveBank();
        if (!insideOpen) {
            idle();
            EXPECT_EQ(platform::headless::openFileDialogCount(), 1);
            dispatch(effEditClose);
        }
        EXPECT_EQ(frame(), nullptr);
        EXPECT_EQ(platform::headless::openFileDialogCount(), 0);
        idle();
        EXPECT_FALSE(folder.exists("late.krb"));

        open();
        platform::FileDialogOptions next = press(skin::kSaveBank);
        EXPECT_EQ(next.folder, startDirectory);
        EXPECT_EQ(next.fileName, "");
        dispatch(effEditClose);
    }
}

}  // namespace
