// Two editors of the built plug-in in one process, as a host has them, while the first one
// waits for the user (its program menu, a file dialog's helper, a message box): the host's
// calls return at once, the second editor takes clicks meanwhile, another host thread can
// open and close an editor while the first thread holds its lock around idle calls (as
// one host drives every editor), and what the user chose still arrives, once.
#include <mutex>
#include <thread>

#include "e2e/FullEditorDesk.h"
#include "effect/Parameters.h"

namespace {

using desk::areaOf;

constexpr int kNumParameters = 12;
// The second editor's host window stands beside the first one.
constexpr int kSecondLeft = 500;

enum class Waiting { Menu, Dialog, MessageBox };

const char* nameOf(Waiting waiting) {
    switch (waiting) {
        case Waiting::Menu: return "Menu";
        case Waiting::Dialog: return "Dialog";
        case Waiting::MessageBox: return "MessageBox";
    }
    return "";
}

class KeptFree : public FullEditorDesk, public ::testing::WithParamInterface<Waiting> {
protected:
    void SetUp() override {
        FullEditorDesk::SetUp();
        std::string error;
        second = HostedEffect::create(*library, secondHost, error);
        ASSERT_TRUE(second) << error;
        secondWindow = platform::HostWindow::create("second host", kWidth, kHeight, error,
                                                    kSecondLeft, 0);
        ASSERT_TRUE(secondWindow) << error;
        secondHost.recordIdle = false;
        // A preset to load: the first editor's selected program under another name.
        char saved[] = "From Disk";
        dispatch(effSetProgramName, 0, 0, saved);
        preset = dialogs.work.file("disk.krv");
        ASSERT_TRUE(writePreset());
        char current[] = "Current";
        dispatch(effSetProgramName, 0, 0, current);
    }
    void TearDown() override {
        dialogs.clearLog();
        touchGo();
        second.reset();
        secondWindow.reset();
        FullEditorDesk::TearDown();
    }

    // Saves the first effect's program through its own editor and a stub that answers at once.
    bool writePreset() {
        dialogs.choose(preset);
        openEditor();
        click(areaOf(skin::kSavePreset.rect).centerX(), areaOf(skin::kSavePreset.rect).centerY());
        bool written = waitFor([&] { return dialogs.work.exists("disk.krv"); });
        dispatch(effEditClose);
        dialogs.clearLog();
        return written;
    }
    void openBoth() {
        openEditor();
        ASSERT_EQ(second->dispatch(effEditOpen, 0, 0,
                                   reinterpret_cast<void*>(secondWindow->handle())),
                  1);
        pumpBoth(5);
    }
    void pumpBoth(int times) {
        for (int i = 0; i < times; ++i) {
            pump(1);
            secondWindow->processEvents();
            second->dispatch(effEditIdle);
        }
    }
    // The first editor starts waiting for the user; true once it does.
    bool startWaiting(Waiting waiting) {
        switch (waiting) {
            case Waiting::Menu:
                click(areaOf(skin::kProgramMenu).centerX(), areaOf(skin::kProgramMenu).centerY());
                return waitFor([&] { return openMenus() > 0; });
            case Waiting::Dialog:
                // The helper answers once the test lets it.
                dialogs.answer("while [ ! -e '" + dialogs.work.file("go") +
                               "' ]; do sleep 0.05; done; printf '%s\\n' '" + preset + "'");
                click(areaOf(skin::kLoadPreset.rect).centerX(),
                      areaOf(skin::kLoadPreset.rect).centerY());
                return waitFor([&] { return dialogs.called(); });
            case Waiting::MessageBox:
                // A file that is no preset: the reader says so in a box.
                dialogs.work.write("bad.krv", "not a preset at all");
                dialogs.choose(dialogs.work.file("bad.krv"));
                click(areaOf(skin::kLoadPreset.rect).centerX(),
                      areaOf(skin::kLoadPreset.rect).centerY());
                return waitFor([&] { return messageBoxes() > 0; });
        }
        return false;
    }
    bool stillWaiting(Waiting waiting) {
        switch (waiting) {
            case Waiting::Menu: return openMenus() > 0;
            case Waiting::Dialog: return dialogs.lastPid() != 0 && ::kill(dialogs.lastPid(), 0) == 0;
            case Waiting::MessageBox: return messageBoxes() > 0;
        }
        return false;
    }
    // Our message boxes on the screen: top-level windows titled as the readers title them.
    int messageBoxes() {
        XSync(observer, False);
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        int boxes = 0;
        if (!XQueryTree(observer, DefaultRootWindow(observer), &root, &parent, &children, &count))
            return 0;
        for (unsigned int i = 0; i < count; ++i) {
            XWindowAttributes attributes{};
            char* name = nullptr;
            if (XGetWindowAttributes(observer, children[i], &attributes) &&
                attributes.map_state == IsViewable && XFetchName(observer, children[i], &name) &&
                name)
                boxes += std::string(name) == "Error...";
            if (name) XFree(name);
        }
        if (children) XFree(children);
        return boxes;
    }
    void touchGo() { std::fclose(std::fopen(dialogs.work.file("go").c_str(), "w")); }

    // The longest effEditIdle of either editor over some turns, in microseconds; printed
    // for the record, never asserted.
    long longestIdle(int turns) {
        long longest = 0;
        for (int i = 0; i < turns; ++i) {
            for (HostedEffect* effect : {plugin.get(), second.get()}) {
                auto start = std::chrono::steady_clock::now();
                effect->dispatch(effEditIdle);
                auto took = std::chrono::steady_clock::now() - start;
                longest = std::max(
                    longest,
                    long(std::chrono::duration_cast<std::chrono::microseconds>(took).count()));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return longest;
    }
    // A click on the second editor's rocker (right half: the next program).
    void clickSecondRocker() {
        const desk::Area rocker = areaOf(skin::kRocker.rect);
        click(kSecondLeft + rocker.right - 4, rocker.centerY());
    }
    // The parameters a program change set, each in a gesture of its own.
    int parameterGestures(const RecordingHost& of) {
        int count = 0;
        for (const HostCall& call : of.callsOf(audioMasterBeginEdit))
            count += call.index < kNumParameters;
        return count;
    }

    StubDialogs dialogs;
    std::string preset;
    RecordingHost secondHost;
    std::unique_ptr<HostedEffect> second;
    std::unique_ptr<platform::HostWindow> secondWindow;
};

TEST_P(KeptFree, IdleCallsReturnAndTheSecondEditorTakesAClickWhileTheFirstWaits) {
    const Waiting waiting = GetParam();
    openBoth();
    host.clear();
    ASSERT_TRUE(startWaiting(waiting));
    const long longest = longestIdle(20);
    std::printf("[ measure  ] longest effEditIdle while the %s waits: %ld us\n", nameOf(waiting),
                longest);
    RecordProperty("longest_idle_us", int(longest));
    EXPECT_TRUE(stillWaiting(waiting));

    clickSecondRocker();
    ASSERT_TRUE([&] {
        for (int i = 0; i < 50; ++i) {
            pumpBoth(1);
            if (parameterGestures(secondHost) == kNumParameters) return true;
        }
        return false;
    }()) << "the second editor did not take the click";
    EXPECT_EQ(second->text(effGetProgramName), "Default");

    if (waiting == Waiting::Menu) {
        // The click elsewhere closed the menu without a choice.
        EXPECT_TRUE(waitFor([&] { return openMenus() == 0; }));
        EXPECT_TRUE(inputIsFree());
        EXPECT_EQ(plugin->text(effGetProgramName), "Current");
        EXPECT_EQ(parameterGestures(host), 0);
        return;
    }
    if (waiting == Waiting::MessageBox) {
        // Still up, once, and the effect untouched; Return on it closes it.
        EXPECT_EQ(messageBoxes(), 1);
        EXPECT_EQ(parameterGestures(host), 0);
        xdotool("search --onlyvisible --name '^Error...$' key --window %1 Return");
        EXPECT_TRUE(waitFor([&] { return messageBoxes() == 0; }));
        return;
    }
    // The dialog was still open all along; its answer now arrives, once.
    EXPECT_TRUE(stillWaiting(waiting));
    touchGo();
    ASSERT_TRUE(waitFor([&] { return plugin->text(effGetProgramName) == "From Disk"; }));
    pumpBoth(10);
    EXPECT_EQ(parameterGestures(host), kNumParameters);
    EXPECT_EQ(dialogs.log().find("call", dialogs.log().find("call") + 1), std::string::npos)
        << dialogs.log();
}

TEST_P(KeptFree, AnotherThreadOpensAndClosesAnEditorWhileTheFirstHoldsItsLockAroundIdle) {
    const Waiting waiting = GetParam();
    openEditor();
    ASSERT_TRUE(startWaiting(waiting));
    // One thread drives the first editor, holding the lock around each idle call.
    std::timed_mutex lock;
    bool stop = false;
    std::thread driver([&] {
        for (;;) {
            std::lock_guard<std::timed_mutex> held(lock);
            if (stop) return;
            plugin->dispatch(effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));  // lock held
        }
    });
    auto underLock = [&](const std::function<void()> work) {
        // Generous: only a thread stuck inside an idle call holds the lock this long.
        std::unique_lock<std::timed_mutex> held(lock, std::chrono::seconds(5));
        if (!held.owns_lock()) return false;
        work();
        return true;
    };
    bool opened = false, closed = false;
    for (int round = 0; round < 3; ++round) {
        opened = underLock([&] {
            second->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(secondWindow->handle()));
            second->dispatch(effEditIdle);
        });
        closed = underLock([&] { second->dispatch(effEditClose); });
        if (!opened || !closed) break;
    }
    EXPECT_TRUE(stillWaiting(waiting));
    underLock([&] { stop = true; });
    driver.join();
    EXPECT_TRUE(opened) << "the lock was never free to open the second editor";
    EXPECT_TRUE(closed) << "the lock was never free to close the second editor";
    // Closing the editor takes whatever waited along.
    const pid_t helper = dialogs.lastPid();
    dispatch(effEditClose);
    EXPECT_EQ(openMenus(), 0);
    EXPECT_EQ(messageBoxes(), 0);
    if (helper) {
        EXPECT_NE(::kill(helper, 0), 0) << "helper left running or unreaped";
    }
    EXPECT_TRUE(inputIsFree());
}

INSTANTIATE_TEST_SUITE_P(WhileTheFirstWaits, KeptFree,
                         ::testing::Values(Waiting::Menu, Waiting::Dialog,
                                           Waiting::MessageBox),
                         [](const ::testing::TestParamInfo<Waiting>& info) {
                             return std::string(nameOf(info.param));
                         });

}  // namespace
