// File dialogs on a private Xvfb, owned by an editor-like child of a host top-level: the
// helpers are stub scripts first on PATH that record how they were started; the built-in
// dialog is driven with xdotool. Opening returns at once; event passes, as a host's idle
// calls make them, serve the dialog until it answers.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "platform/FileDialog.h"
#include "platform/HostWindow.h"
#include "platform/NativeWindow.h"
#include "support/TemporaryFolder.h"
#include "support/WindowManager.h"
#include "support/SilentWindow.h"
#include "support/XvfbSuite.h"

namespace {

using platform::FileDialogOptions;

const std::string kToolPath = "PATH=/usr/bin:/bin; ";

class X11FileDialogTest : public XvfbSuite {
protected:
    void SetUp() override {
        ASSERT_TRUE(serverError.empty()) << serverError;
        std::string error;
        host = platform::HostWindow::create("dialog host", 400, 300, error);
        ASSERT_TRUE(host) << error;
        editor = platform::NativeWindow::createChild(host->handle(), 400, 300, listener);
        ASSERT_TRUE(editor);
        data.write("bank1.krb", "bank");
        data.write("notes.txt", "");
        data.write("sub/inner.krb", "bank");
        path = std::make_unique<ScopedEnvironment>("PATH", bin.path().c_str());
    }
    void TearDown() override {
        path.reset();
        editor.reset();
        host.reset();
    }

    // A stub helper: records its arguments, where its stdin comes from and its
    // environment (one call after the other), then runs answer.
    void writeStub(const std::string& name, const std::string& answer) {
        std::string script =
            "#!/bin/sh\n"
            "PATH=/usr/bin:/bin\n"
            "{ echo call; for a in \"$@\"; do printf 'arg:%s\\n' \"$a\"; done\n"
            "  printf 'stdin:%s\\n' \"$(readlink /proc/$$/fd/0)\"\n"
            "  env | sed 's/^/env:/'; } >> '" +
            log() + "'\n" + answer + "\n";
        bin.write(name, script);
        chmod(bin.file(name).c_str(), 0755);
    }
    std::string log() const { return work.file("log"); }
    // The lines of the log that start with prefix, without it.
    std::vector<std::string> logged(const std::string& prefix) const {
        std::vector<std::string> found;
        std::istringstream lines(work.read("log"));
        for (std::string line; std::getline(lines, line);)
            if (line.rfind(prefix, 0) == 0) found.push_back(line.substr(prefix.size()));
        return found;
    }
    static std::string answering(const std::string& path) {
        return "printf '%s\\n' '" + path + "'; exit 0";
    }

    FileDialogOptions bankOptions(FileDialogOptions::Kind kind) {
        FileDialogOptions options;
        options.kind = kind;
        bool open = kind == FileDialogOptions::Kind::Open;
        options.title = open ? "Select bank to load..." : "Save bank as...";
        options.filters = {{"All Files", "*.*"}, {"KRV Banks", "*.krb"}};
        options.selectedFilter = 1;
        options.folder = data.path();
        options.fileName = "bank1.krb";
        options.defaultExtension = "krb";
        options.mustExist = open;
        options.confirmOverwrite = !open;
        options.owner = editor->handle();
        return options;
    }

    // Opens the dialog and runs event passes, with script after each, until it answers or
    // patience runs out (then it is closed, so a failing test ends).
    std::string show(const FileDialogOptions& options,
                     const std::function<void()>& script = nullptr) {
        bool ended = false;
        std::string answer;
        auto dialog = platform::FileDialog::open(options, nullptr, [&](const std::string& path) {
            ended = true;
            answer = path;
        });
        for (passes = 0; !ended && passes < kPatience; ++passes) {
            platform::processPendingEvents();
            if (script && !ended) script();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_TRUE(ended) << "the dialog never answered";
        return answer;
    }
    static constexpr int kPatience = 2000;

    static void xdotool(const std::string& arguments) {
        // PATH names only the stubs' folder while a test runs.
        ASSERT_EQ(std::system((kToolPath + "xdotool " + arguments + " >/dev/null").c_str()), 0)
            << "xdotool " << arguments;
    }

    SilentWindow listener;
    std::unique_ptr<platform::HostWindow> host;
    std::unique_ptr<platform::NativeWindow> editor;
    TemporaryFolder bin, data, work;
    std::unique_ptr<ScopedEnvironment> path;
    int passes = 0;
};


bool contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

TEST_F(X11FileDialogTest, ZenityGetsTitleStartPathFiltersSelectedFirstAndTheHostTopLevel) {
    writeStub("zenity", answering(data.file("bank1.krb")));
    EXPECT_EQ(show(bankOptions(FileDialogOptions::Kind::Open)), data.file("bank1.krb"));
    auto arguments = logged("arg:");
    EXPECT_EQ(arguments,
              (std::vector<std::string>{
                  "--file-selection", "--title=Select bank to load...",
                  "--filename=" + data.file("bank1.krb"), "--file-filter=KRV Banks | *.krb",
                  "--file-filter=All Files | *", "--attach=" + std::to_string(host->handle())}));
}

// Under a window manager the host's top-level is framed: the helper is attached to the
// host's own window, not to the frame around it.
class X11FileDialogUnderAManagerTest : public X11FileDialogTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(serverError.empty()) << serverError;
        std::string error;
        ASSERT_TRUE(manager.start(error)) << error;
        X11FileDialogTest::SetUp();
    }
    void TearDown() override {
        X11FileDialogTest::TearDown();
        manager.stop();
    }
    WindowManager manager;
};

TEST_F(X11FileDialogUnderAManagerTest, ZenityIsAttachedToTheHostsOwnWindowNotItsFrame) {
    writeStub("zenity", answering(data.file("bank1.krb")));
    EXPECT_EQ(show(bankOptions(FileDialogOptions::Kind::Open)), data.file("bank1.krb"));
    EXPECT_TRUE(contains(logged("arg:"), "--attach=" + std::to_string(host->handle())));
    EXPECT_NE(platform::parentWindow(host->handle()), 0u) << "the manager framed nothing";
}

TEST_F(X11FileDialogTest, SaveAsksZenityToConfirmAndAddsTheDefaultExtension) {
    writeStub("zenity", answering(data.file("fresh")));
    EXPECT_EQ(show(bankOptions(FileDialogOptions::Kind::Save)), data.file("fresh.krb"));
    auto arguments = logged("arg:");
    EXPECT_TRUE(contains(arguments, "--save"));
    EXPECT_TRUE(contains(arguments, "--confirm-overwrite"));
    EXPECT_TRUE(contains(arguments, "--title=Save bank as..."));
}

TEST_F(X11FileDialogTest, AnAddedExtensionNamingAnExistingFileAsksAgainWithThatName) {
    // The first answer lacks the extension; the second is the user accepting the full name.
    writeStub("zenity", "if [ $(grep -c '^call' '" + log() + "') = 1 ]; then " +
                            answering(data.file("bank1")) + "; fi\n" +
                            answering(data.file("bank1.krb")));
    EXPECT_EQ(show(bankOptions(FileDialogOptions::Kind::Save)), data.file("bank1.krb"));
    auto starts = logged("arg:--filename=");
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1], data.file("bank1.krb"));
}

TEST_F(X11FileDialogTest, HelperRunsWithoutLoaderVariablesAndReadsNothing) {
    writeStub("zenity", answering(data.file("bank1.krb")));
    {
        ScopedEnvironment library("LD_LIBRARY_PATH", "/host/bundled/lib");
        ScopedEnvironment preload("LD_PRELOAD", "libhost-hook.so");
        ScopedEnvironment kept("KRV_TEST_MARK", "kept");
        EXPECT_EQ(show(bankOptions(FileDialogOptions::Kind::Open)), data.file("bank1.krb"));
    }
    auto environment = logged("env:");
    EXPECT_TRUE(contains(environment, "KRV_TEST_MARK=kept"));
    for (const std::string& variable : environment)
        EXPECT_NE(variable.rfind("LD_", 0), 0u) << variable;
    EXPECT_EQ(logged("stdin:"), std::vector<std::string>{"/dev/null"});
}

TEST_F(X11FileDialogTest, CancelAndAnythingButAUsablePathAnswerNothing) {
    const std::pair<const char*, std::string> cases[] = {
        {"cancel", "exit 1"},
        {"killed", "kill -9 $$"},
        {"relative", "printf 'bank1.krb\\n'"},
        {"two lines",
         "printf '%s\\n%s\\n' '" + data.file("bank1.krb") + "' '" + data.file("bank1.krb") + "'"},
        {"nothing", "exit 0"},
        {"a folder", answering(data.file("sub"))},
        {"missing file", answering(data.file("gone.krb"))},
    };
    for (const auto& [what, answer] : cases) {
        writeStub("zenity", answer);
        EXPECT_EQ(show(bankOptions(FileDialogOptions::Kind::Open)), "") << what;
    }
}

TEST_F(X11FileDialogTest, TheAnswerComesInALaterPassAndClosingEndsAndReapsTheHelper) {
    writeStub("zenity", "sleep 0.3\n" + answering(data.file("bank1.krb")));
    EXPECT_EQ(show(bankOptions(FileDialogOptions::Kind::Open)), data.file("bank1.krb"));
    EXPECT_GT(passes, 1);

    writeStub("zenity", "echo $$ > '" + work.file("pid") + "'\nexec sleep 60");
    int ends = 0;
    auto dialog = platform::FileDialog::open(bankOptions(FileDialogOptions::Kind::Open), nullptr,
                                             [&](const std::string&) { ++ends; });
    ASSERT_TRUE(dialog);
    for (int i = 0; i < 500 && !work.exists("pid"); ++i) {
        platform::processPendingEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    pid_t helper = pid_t(std::atol(work.read("pid").c_str()));
    ASSERT_GT(helper, 0);
    EXPECT_EQ(kill(helper, 0), 0) << "the helper should still be running";
    dialog.reset();
    // Gone and reaped: a zombie would still answer kill.
    EXPECT_EQ(kill(helper, 0), -1) << "the helper was left running or unreaped";
    platform::processPendingEvents();
    EXPECT_EQ(ends, 0);
}

TEST_F(X11FileDialogTest, KdialogServesWhenZenityIsAbsentOrCannotServe) {
    writeStub("kdialog", answering(data.file("bank1.krb")));
    EXPECT_EQ(show(bankOptions(FileDialogOptions::Kind::Open)), data.file("bank1.krb"));
    EXPECT_EQ(logged("arg:"), (std::vector<std::string>{"--title", "Select bank to load...",
                                                        "--attach", std::to_string(host->handle()),
                                                        "--getopenfilename", data.file("bank1.krb"),
                                                        "KRV Banks (*.krb);;All Files (*)"}));
    // A zenity that fails on its options (exit 255), with --attach and without, hands
    // over to kdialog.
    std::remove(log().c_str());
    writeStub("zenity", "exit 255");
    EXPECT_EQ(show(bankOptions(FileDialogOptions::Kind::Save)), data.file("bank1.krb"));
    auto arguments = logged("arg:");
    EXPECT_EQ(logged("call").size(), 3u);
    EXPECT_EQ(std::count(arguments.begin(), arguments.end(), "--file-selection"), 2);
    EXPECT_EQ(std::count(arguments.begin(), arguments.end(),
                         "--attach=" + std::to_string(host->handle())),
              1);
    EXPECT_TRUE(contains(arguments, "--getsavefilename"));
}

TEST_F(X11FileDialogTest, APathTooLongForTheSystemIsRefusedWithAMessage) {
    writeStub("zenity", answering("/" + std::string(PATH_MAX + 10, 'a')));
    auto options = bankOptions(FileDialogOptions::Kind::Save);
    options.title = "Too long test";
    EXPECT_EQ(show(options), "");
    // The message box stays open after the call, served by the event passes.
    const std::string search =
        kToolPath + "xdotool search --onlyvisible --name '^Too long test$' > /dev/null";
    bool shown = false;
    for (int i = 0; i < 300 && !shown; ++i) {
        platform::processPendingEvents();
        shown = std::system(search.c_str()) == 0;
    }
    EXPECT_TRUE(shown) << "no message box was shown";
}

// Without either helper on PATH our own dialog opens; xdotool types into it.
class BuiltInDialogTest : public X11FileDialogTest {
protected:
    std::string showTyping(const FileDialogOptions& options, const std::string& keys) {
        bool typed = false;
        return show(options, [&] {
            if (typed) return;
            typed = true;
            xdotool("search --sync --onlyvisible --name '^" + options.title +
                    "$' windowfocus --sync %1 " + keys);
        });
    }
};

TEST_F(BuiltInDialogTest, TakesATypedNameAndAddsTheDefaultExtension) {
    auto options = bankOptions(FileDialogOptions::Kind::Save);
    options.fileName.clear();
    EXPECT_EQ(showTyping(options, "key f r e s h Return"), data.file("fresh.krb"));
}

TEST_F(BuiltInDialogTest, AsksBeforeOverwritingAndReturnConfirms) {
    auto options = bankOptions(FileDialogOptions::Kind::Save);
    options.fileName.clear();
    EXPECT_EQ(showTyping(options, "key b a n k 1 Return Return"), data.file("bank1.krb"));
}

TEST_F(BuiltInDialogTest, ArrowKeysWalkTheListAndReturnOpensFoldersAndChooses) {
    auto options = bankOptions(FileDialogOptions::Kind::Open);
    options.fileName.clear();
    // The list: .., sub, bank1.krb; into sub, then down past .. to inner.krb.
    EXPECT_EQ(showTyping(options, "key Down Down Return Down Down Return"),
              data.file("sub/inner.krb"));
}

TEST_F(BuiltInDialogTest, DoubleClicksOpenAFolderAndAClickAndOkChoose) {
    auto options = bankOptions(FileDialogOptions::Kind::Open);
    options.fileName.clear();
    // Rows are 20 pixels from y 42: .., sub, bank1.krb; in sub: .., inner.krb.
    EXPECT_EQ(showTyping(options,
                         "mousemove --window %1 100 72 click --repeat 2 --delay 80 1 "
                         "mousemove --window %1 100 72 click 1 mousemove --window %1 320 307 "
                         "click 1"),
              data.file("sub/inner.krb"));
}

TEST_F(BuiltInDialogTest, EscapeCancels) {
    EXPECT_EQ(showTyping(bankOptions(FileDialogOptions::Kind::Open), "key Escape"), "");
}

TEST_F(BuiltInDialogTest, ClosedByItsOwnerItsWindowGoesAndNothingIsTold) {
    auto options = bankOptions(FileDialogOptions::Kind::Open);
    int ends = 0;
    auto dialog = platform::FileDialog::open(options, nullptr, [&](const std::string&) { ++ends; });
    ASSERT_TRUE(dialog);
    platform::processPendingEvents();
    std::string search = kToolPath + "xdotool search --onlyvisible --name '^" + options.title +
                         "$' >/dev/null 2>&1";
    ASSERT_EQ(std::system((kToolPath + "timeout 10 xdotool search --sync --onlyvisible --name '^" +
                           options.title + "$' >/dev/null").c_str()),
              0);
    dialog.reset();
    platform::processPendingEvents();
    EXPECT_NE(std::system(search.c_str()), 0) << "the dialog's window is still there";
    EXPECT_EQ(ends, 0);
}

}  // namespace
