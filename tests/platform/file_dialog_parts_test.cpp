// The parts of the file dialogs that need no display: filters, the checks on a chosen
// path, the helpers' environment, command lines and start, the built-in dialog's browsing,
// and the items of a dropped uri-list.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <sstream>

#include "platform/posix/ChosenPath.h"
#include "platform/posix/FileChooser.h"
#include "platform/posix/FilePatterns.h"
#include "platform/posix/HelperDialogArguments.h"
#include "platform/posix/HelperProcess.h"
#include "platform/posix/UriList.h"
#include "support/TemporaryFolder.h"

namespace {

using namespace platform;
using namespace platform::posix;

std::vector<std::string> namesOf(const std::vector<FolderEntry>& entries) {
    std::vector<std::string> names;
    for (const FolderEntry& entry : entries)
        names.push_back(entry.isFolder ? entry.name + "/" : entry.name);
    return names;
}

TEST(FilePatternTest, MatchesGlobsWithoutRegardToCase) {
    EXPECT_TRUE(matchesFilePattern("bank.krb", "*.krb"));
    EXPECT_TRUE(matchesFilePattern("BANK.KRB", "*.krb"));
    EXPECT_FALSE(matchesFilePattern("bank.krbx", "*.krb"));
    EXPECT_FALSE(matchesFilePattern("bank.krv", "*.krb"));
    EXPECT_FALSE(matchesFilePattern("krb", "*.krb"));
    EXPECT_TRUE(matchesFilePattern("a.b.krb", "*.krb"));
    EXPECT_TRUE(matchesFilePattern("x1.krv", "x?.krv"));
    EXPECT_FALSE(matchesFilePattern("x12.krv", "x?.krv"));
    EXPECT_TRUE(matchesFilePattern("pre-a-post", "pre*a*post"));
    EXPECT_FALSE(matchesFilePattern("pre-a-pos", "pre*a*post"));
}

TEST(FilePatternTest, StarDotStarMatchesEveryNameAndListsSplitAtSemicolons) {
    EXPECT_TRUE(matchesFilePattern("README", "*.*"));
    EXPECT_TRUE(matchesFilePattern("README", "*"));
    EXPECT_TRUE(matchesFilePattern("a.krv", "*.krb; *.krv"));
    EXPECT_FALSE(matchesFilePattern("a.txt", "*.krb;*.krv"));
    EXPECT_FALSE(matchesFilePattern("a.txt", ""));
}

TEST(FilePatternTest, ListsFoldersFirstThenMatchingFilesSortedWithoutHiddenOnes) {
    TemporaryFolder folder;
    folder.write("b.krb", "");
    folder.write("a.KRB", "");
    folder.write("notes.txt", "");
    folder.write(".hidden.krb", "");
    folder.write("zeta/inner.krb", "");
    folder.write("alpha/x", "");
    EXPECT_EQ(namesOf(listFolder(folder.path(), "*.krb")),
              (std::vector<std::string>{"alpha/", "zeta/", "a.KRB", "b.krb"}));
    EXPECT_EQ(namesOf(listFolder(folder.path(), "*.*")),
              (std::vector<std::string>{"alpha/", "zeta/", "a.KRB", "b.krb", "notes.txt"}));
    EXPECT_TRUE(listFolder(folder.file("missing"), "*").empty());
}

TEST(ChosenPathTest, AcceptsOneAbsolutePathEndedByOneNewline) {
    std::string path;
    EXPECT_EQ(readChosenPath("/home/u/bank.krb\n", path), PathCheck::Ok);
    EXPECT_EQ(path, "/home/u/bank.krb");
    EXPECT_EQ(readChosenPath("/with space/x", path), PathCheck::Ok);
    EXPECT_EQ(path, "/with space/x");
}

TEST(ChosenPathTest, RefusesGarbageAndTellsTooLongApart) {
    std::string path = "left over";
    EXPECT_EQ(readChosenPath("", path), PathCheck::Garbage);
    EXPECT_EQ(path, "");
    EXPECT_EQ(readChosenPath("\n", path), PathCheck::Garbage);
    EXPECT_EQ(readChosenPath("relative/bank.krb\n", path), PathCheck::Garbage);
    EXPECT_EQ(readChosenPath("/a\n/b\n", path), PathCheck::Garbage);
    EXPECT_EQ(readChosenPath(std::string("/a\0b", 4), path), PathCheck::Garbage);
    EXPECT_EQ(readChosenPath("Gtk-WARNING: no theme\n", path), PathCheck::Garbage);
    EXPECT_EQ(readChosenPath("/" + std::string(PATH_MAX, 'a') + "\n", path), PathCheck::TooLong);
    EXPECT_EQ(path, "");
    EXPECT_EQ(readChosenPath("/" + std::string(PATH_MAX - 2, 'a'), path), PathCheck::Ok);
}

TEST(ChosenPathTest, AddsTheDefaultExtensionOnlyToNamesWithoutOne) {
    EXPECT_EQ(withDefaultExtension("/d/bank", "krb"), "/d/bank.krb");
    EXPECT_EQ(withDefaultExtension("/d/bank.krb", "krb"), "/d/bank.krb");
    EXPECT_EQ(withDefaultExtension("/d/bank.txt", "krb"), "/d/bank.txt");
    EXPECT_EQ(withDefaultExtension("/d.x/bank", "krb"), "/d.x/bank.krb");
    EXPECT_EQ(withDefaultExtension("/d/.bank", "krb"), "/d/.bank.krb");
    EXPECT_EQ(withDefaultExtension("/d/bank", ""), "/d/bank");
    EXPECT_EQ(withDefaultExtension("/d/", "krb"), "/d/");
    EXPECT_EQ(folderOf("/d/bank"), "/d");
    EXPECT_EQ(folderOf("/bank"), "/");
    EXPECT_EQ(fileNameOf("/d/bank"), "bank");
}

TEST(HelperEnvironmentTest, LeavesOutEveryLoaderVariableAndKeepsTheRest) {
    char a[] = "LD_LIBRARY_PATH=/host/lib", b[] = "PATH=/usr/bin", c[] = "LD_PRELOAD=x.so",
         d[] = "LD_AUDIT=y.so", e[] = "HOME=/home/u", f[] = "OLD_LD_PATH=z", g[] = "DISPLAY=:1";
    char* environment[] = {a, b, c, d, e, f, g, nullptr};
    EXPECT_EQ(
        helperEnvironment(environment),
        (std::vector<std::string>{"PATH=/usr/bin", "HOME=/home/u", "OLD_LD_PATH=z", "DISPLAY=:1"}));
}

// What a helper finds, told by a shell: its descriptors (ls adds the one it lists with),
// where 0 and 2 lead, its blocked and ignored signals (read by the shell itself: it
// blocks them all while it starts a child), its process and group.
HelperResult runReport(HelperLaunch launch) {
    const char* script =
        "ls /proc/self/fd; echo --; readlink /proc/$$/fd/0 /proc/$$/fd/2;"
        "while read -r key value; do case $key in SigBlk:|SigIgn:) echo $key $value;; esac;"
        "done </proc/self/status; echo $$ $(cut -d' ' -f5 /proc/$$/stat)";
    auto helper = HelperProcess::start("/bin/sh", {"-c", script}, 4096, launch);
    if (!helper) return {};
    for (int step = 0; step < 3000; ++step) {
        if (std::optional<HelperResult> result = helper->poll()) return *result;
        usleep(10000);
    }
    return {};
}

TEST(HelperProcessTest, BothLaunchesCloseInheritedDescriptorsAndStartClean) {
    // A host's descriptor without close-on-exec, a blocked and an ignored signal.
    int leaked = fcntl(open("/dev/null", O_RDONLY | O_CLOEXEC), F_DUPFD, 200);
    ASSERT_GE(leaked, 200);
    ASSERT_EQ(fcntl(leaked, F_GETFD), 0);
    sigset_t usr1, before;
    sigemptyset(&usr1);
    sigaddset(&usr1, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &usr1, &before);
    auto hangup = signal(SIGHUP, SIG_IGN);

    for (HelperLaunch launch : {HelperLaunch::Automatic, HelperLaunch::ForkAndExec}) {
        SCOPED_TRACE(launch == HelperLaunch::Automatic ? "automatic" : "fork and exec");
        HelperResult result = runReport(launch);
        EXPECT_EQ(result.exitCode, 0);
        std::istringstream lines(result.output);
        std::vector<int> fds;
        std::string line;
        while (std::getline(lines, line) && line != "--") fds.push_back(std::stoi(line));
        ASSERT_GE(fds.size(), 3u) << result.output;
        EXPECT_EQ(std::vector<int>(fds.begin(), fds.begin() + 3), (std::vector<int>{0, 1, 2}));
        EXPECT_LE(fds.size(), 4u) << result.output;
        EXPECT_EQ(std::count(fds.begin(), fds.end(), leaked), 0);

        std::string in, err, blocked, ignored;
        std::getline(lines, in);
        std::getline(lines, err);
        EXPECT_EQ(in, "/dev/null");
        EXPECT_EQ(err, "/dev/null");
        std::getline(lines, blocked);
        std::getline(lines, ignored);
        EXPECT_EQ(blocked, "SigBlk: 0000000000000000");
        ASSERT_EQ(ignored.rfind("SigIgn: ", 0), 0u) << ignored;
        EXPECT_EQ(std::stoull(ignored.substr(8), nullptr, 16) & (1ull << (SIGHUP - 1)), 0u);
        long pid = 0, group = -1;
        lines >> pid >> group;
        EXPECT_GT(pid, 0);
        EXPECT_EQ(pid, group);

        EXPECT_EQ(HelperProcess::start("/nonexistent/helper", {}, 16, launch), nullptr);
    }

    signal(SIGHUP, hangup);
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    close(leaked);
}

FileDialogOptions bankOptions(FileDialogOptions::Kind kind) {
    FileDialogOptions options;
    options.kind = kind;
    options.title = "Bank";
    options.filters = {{"All Files", "*.*"}, {"KRV Banks", "*.krb"}};
    options.selectedFilter = 1;
    options.folder = "/data/banks";
    options.fileName = "mine.krb";
    options.defaultExtension = "krb";
    return options;
}

TEST(HelperArgumentsTest, ZenityAndKdialogStartOnTheSelectedFilter) {
    auto options = bankOptions(FileDialogOptions::Kind::Open);
    EXPECT_EQ(zenityArguments(options, 0),
              (std::vector<std::string>{
                  "--file-selection", "--title=Bank", "--filename=/data/banks/mine.krb",
                  "--file-filter=KRV Banks | *.krb", "--file-filter=All Files | *"}));
    EXPECT_EQ(
        kdialogArguments(options, 42),
        (std::vector<std::string>{"--title", "Bank", "--attach", "42", "--getopenfilename",
                                  "/data/banks/mine.krb", "KRV Banks (*.krb);;All Files (*)"}));
    options.selectedFilter = 7;  // out of range: the order as given
    options.folder = "/data/banks/";
    options.fileName.clear();
    auto arguments = zenityArguments(options, 0);
    EXPECT_EQ(arguments[2], "--filename=/data/banks/");
    EXPECT_EQ(arguments[3], "--file-filter=All Files | *");
}

class FileChooserTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder.write("a.krb", "bank");
        folder.write("b.krb", "bank");
        folder.write("notes.txt", "");
        folder.write("sub/inner.krb", "bank");
        options = bankOptions(FileDialogOptions::Kind::Open);
        options.folder = folder.path();
        options.fileName.clear();
        options.mustExist = true;
    }
    std::vector<std::string> shown(const FileChooser& chooser) {
        return namesOf(chooser.entries());
    }
    void typeText(FileChooser& chooser, const std::string& text) {
        for (char c : text) chooser.type(c);
    }

    TemporaryFolder folder;
    FileDialogOptions options;
};

TEST_F(FileChooserTest, ListsTheStartFolderThroughTheSelectedFilterAndSwitchesFilters) {
    FileChooser chooser(options);
    EXPECT_EQ(chooser.folder(), folder.path());
    EXPECT_EQ(chooser.text(), folder.path() + "/");
    EXPECT_EQ(shown(chooser), (std::vector<std::string>{"../", "sub/", "a.krb", "b.krb"}));
    EXPECT_EQ(chooser.filterLabel(), "KRV Banks (*.krb)");
    chooser.nextFilter();
    EXPECT_EQ(chooser.filterLabel(), "All Files (*.*)");
    EXPECT_EQ(shown(chooser),
              (std::vector<std::string>{"../", "sub/", "a.krb", "b.krb", "notes.txt"}));
}

TEST_F(FileChooserTest, TypingAFolderPartNavigatesAndBackspaceReturns) {
    FileChooser chooser(options);
    typeText(chooser, "sub/");
    EXPECT_EQ(chooser.folder(), folder.path() + "/sub");
    EXPECT_EQ(shown(chooser), (std::vector<std::string>{"../", "inner.krb"}));
    chooser.backspace();
    chooser.backspace();
    chooser.backspace();
    chooser.backspace();
    EXPECT_EQ(chooser.text(), folder.path() + "/");
    EXPECT_EQ(chooser.folder(), folder.path());
}

TEST_F(FileChooserTest, KeysMoveTheSelectionWhichFillsTheFieldAndReturnChooses) {
    FileChooser chooser(options);
    chooser.moveSelection(1);
    chooser.moveSelection(1);
    chooser.moveSelection(1);
    EXPECT_EQ(chooser.selected(), 2);
    EXPECT_EQ(chooser.text(), folder.file("a.krb"));
    chooser.moveSelection(10);
    EXPECT_EQ(chooser.text(), folder.file("b.krb"));
    ASSERT_EQ(chooser.accept(), FileChooser::Outcome::Chosen);
    EXPECT_EQ(chooser.chosen(), folder.file("b.krb"));
}

TEST_F(FileChooserTest, ActivatingFoldersOpensThemAndDotDotGoesUp) {
    FileChooser chooser(options);
    EXPECT_EQ(chooser.activate(1), FileChooser::Outcome::Stay);
    EXPECT_EQ(chooser.folder(), folder.path() + "/sub");
    EXPECT_EQ(chooser.activate(0), FileChooser::Outcome::Stay);
    EXPECT_EQ(chooser.folder(), folder.path());
    EXPECT_EQ(chooser.text(), folder.path() + "/");
}

TEST_F(FileChooserTest, OpenFindsTheNameWithTheDefaultExtensionAndStaysOnMissingFiles) {
    FileChooser chooser(options);
    typeText(chooser, "a");
    ASSERT_EQ(chooser.accept(), FileChooser::Outcome::Chosen);
    EXPECT_EQ(chooser.chosen(), folder.file("a.krb"));
    FileChooser missing(options);
    typeText(missing, "nothing.krb");
    EXPECT_EQ(missing.accept(), FileChooser::Outcome::Stay);
    typeText(missing, "/");
    EXPECT_EQ(missing.accept(), FileChooser::Outcome::Stay);
}

TEST_F(FileChooserTest, SaveAddsTheExtensionAndAsksBeforeOverwriting) {
    options.kind = FileDialogOptions::Kind::Save;
    options.confirmOverwrite = true;
    FileChooser chooser(options);
    typeText(chooser, "new");
    ASSERT_EQ(chooser.accept(), FileChooser::Outcome::Chosen);
    EXPECT_EQ(chooser.chosen(), folder.file("new.krb"));
    FileChooser existing(options);
    typeText(existing, "a");
    ASSERT_EQ(existing.accept(), FileChooser::Outcome::ConfirmOverwrite);
    EXPECT_EQ(existing.chosen(), folder.file("a.krb"));
    options.confirmOverwrite = false;
    FileChooser unasked(options);
    typeText(unasked, "a");
    EXPECT_EQ(unasked.accept(), FileChooser::Outcome::Chosen);
}

TEST(UriListTest, CountsUrisNotCommentsOrBlankLines) {
    EXPECT_EQ(countUriListItems("file:///a\r\nfile:///b\r\nfile:///c\r\n"), 3);
    EXPECT_EQ(countUriListItems("# from a file manager\r\nfile:///a\nfile:///b"), 2);
    EXPECT_EQ(countUriListItems("\r\n\r\n"), 0);
    EXPECT_EQ(countUriListItems(""), 0);
    EXPECT_EQ(countUriListItems(std::string("file:///a\r\n\0", 12)), 1);
}

}  // namespace
