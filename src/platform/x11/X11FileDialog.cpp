// File dialogs: zenity when it is installed, else kdialog, else a dialog of our own. A
// helper runs as a child process that each event pass looks at without waiting; our own
// dialog is a window served with our other windows. Whatever they answer is checked
// before the caller hears of it.
#include <climits>
#include <memory>
#include <optional>
#include <string>

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/posix/ChosenPath.h"
#include "platform/posix/HelperAnswer.h"
#include "platform/posix/HelperDialogArguments.h"
#include "platform/posix/HelperProcess.h"
#include "platform/x11/X11BuiltInFileDialog.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11TopLevel.h"

namespace platform {

namespace {

using namespace posix;

// Enough to tell a path too long for the system from garbage; the rest is not read.
constexpr size_t kMaxHelperOutput = 2 * PATH_MAX;

// The dialogs in the order they are tried; each round starts again at the first.
enum class Stage { Zenity, ZenityUnattached, Kdialog, BuiltIn, Over };

class X11FileDialog : public FileDialog, public x11::PassWatcher {
public:
    X11FileDialog(Display* display, const FileDialogOptions& options, FileDialogEnded ended)
        : display(display), options(options), offered(options), ended(std::move(ended)),
          attachTo(x11::topLevelOf(display, Window(options.owner))) {
        x11::addPassWatcher(this);
    }

    ~X11FileDialog() override {
        x11::removePassWatcher(this);
        helper.reset();
        builtIn.reset();
        x11::releaseDisplay();
    }

    X11FileDialog(const X11FileDialog&) = delete;
    X11FileDialog& operator=(const X11FileDialog&) = delete;

    // Starts the first round; false when it ended at once (answer holds the outcome).
    bool begin() {
        startAt(Stage::Zenity);
        return stage != Stage::Over;
    }

    std::string answer;

    void passEnded() override {
        if (stage == Stage::Over) return;
        if (helper) {
            std::optional<HelperResult> result = helper->poll();
            if (!result) return;
            helper.reset();
            helperEnded(*result);
        } else if (builtIn) {
            std::optional<std::string> path = builtIn->answer();
            if (!path) return;
            builtIn.reset();
            builtInEnded(*path);
        }
        if (stage != Stage::Over) return;
        // Last: the caller may destroy the dialog.
        FileDialogEnded tell = std::move(ended);
        std::string path = answer;
        if (tell) tell(path);
    }

private:
    // Starts the first dialog from first on that can be shown.
    void startAt(Stage first) {
        for (stage = first; stage != Stage::Over; stage = Stage(int(stage) + 1)) {
            if (stage == Stage::BuiltIn) {
                builtIn = x11::BuiltInFileDialog::open(display, offered, attachTo);
                if (builtIn) return;
                finish("");
                return;
            }
            // Versions of zenity without --attach refuse to start with it; a dialog that
            // may end up behind the host is still better than none.
            if (stage == Stage::ZenityUnattached && !attachTo) continue;
            std::string program = findOnPath(stage == Stage::Kdialog ? "kdialog" : "zenity");
            if (program.empty()) continue;
            std::vector<std::string> arguments =
                stage == Stage::Zenity           ? zenityArguments(offered, attachTo)
                : stage == Stage::ZenityUnattached ? zenityArguments(offered, 0)
                                                   : kdialogArguments(offered, attachTo);
            helper = HelperProcess::start(program, arguments, kMaxHelperOutput);
            if (helper) return;
        }
    }

    void helperEnded(const HelperResult& result) {
        switch (askedBy(result)) {
            case Asked::Unavailable:
                // zenity cannot serve: kdialog is next, whether or not --attach was the cause.
                startAt(stage == Stage::Zenity ? Stage::ZenityUnattached
                        : stage == Stage::ZenityUnattached ? Stage::Kdialog
                                                           : Stage::BuiltIn);
                return;
            case Asked::Cancelled: finish(""); return;
            case Asked::Answered: settled(settle(offered, result.output)); return;
        }
    }

    void builtInEnded(const std::string& path) {
        if (path.empty()) return finish("");
        if (checkPathLength(path) != PathCheck::Ok) return settled({Choice::Kind::TooLong, ""});
        finish(path);
    }

    void settled(const Choice& choice) {
        switch (choice.kind) {
            case Choice::Kind::Chosen: finish(choice.path); return;
            case Choice::Kind::Cancelled: finish(""); return;
            case Choice::Kind::TooLong: {
                MessageBoxOwner owner(options.owner);
                showMessageBox(options.title.c_str(),
                               "The chosen path is too long for this system.",
                               MessageBoxIcon::Error);
                finish("");
                return;
            }
            case Choice::Kind::AskAgain:
                // A name the helper confirmed gained an extension that names an existing
                // file: the user is asked once more with that name, and a second such
                // answer is taken as cancel.
                if (++round > 1) return finish("");
                offered.folder = folderOf(choice.path);
                offered.fileName = fileNameOf(choice.path);
                startAt(Stage::Zenity);
                return;
        }
    }

    void finish(const std::string& path) {
        answer = path;
        stage = Stage::Over;
    }

    Display* display;
    const FileDialogOptions options;
    FileDialogOptions offered;
    FileDialogEnded ended;
    Window attachTo;
    Stage stage = Stage::Zenity;
    int round = 0;
    std::unique_ptr<HelperProcess> helper;
    std::unique_ptr<x11::BuiltInFileDialog> builtIn;
};

}  // namespace

std::unique_ptr<FileDialog> FileDialog::open(const FileDialogOptions& options, const ModalPump&,
                                             FileDialogEnded ended) {
    Display* display = x11::acquireDisplay();
    if (!display) {
        if (ended) ended("");
        return nullptr;
    }
    auto dialog = std::make_unique<X11FileDialog>(display, options, ended);
    if (dialog->begin()) return dialog;
    std::string path = dialog->answer;
    dialog.reset();
    if (ended) ended(path);
    return nullptr;
}

}  // namespace platform
