// File dialogs: zenity when it is installed, else kdialog, else a dialog of our own. The
// helpers run as child processes while the pump keeps our windows painting; whatever
// they answer is checked before the caller sees it.
#include <climits>
#include <string>

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/posix/ChosenPath.h"
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

enum class Asked { Answered, Cancelled, Unavailable };

// Exit 0 with output: an answer; 1: cancelled; anything else (no display, an option
// this version lacks, a crash) means the helper could not serve, so the next one is tried.
Asked askHelper(const std::string& program, const std::vector<std::string>& arguments,
                const ModalPump& pump, std::string& output) {
    HelperResult result = runHelper(program, arguments, pump, kMaxHelperOutput);
    output = result.output;
    switch (result.end) {
        case HelperResult::End::NotStarted: return Asked::Unavailable;
        case HelperResult::End::Killed:
        case HelperResult::End::Abandoned: return Asked::Cancelled;
        case HelperResult::End::Exited: break;
    }
    if (!result.statusKnown) return output.empty() ? Asked::Cancelled : Asked::Answered;
    if (result.exitCode == 0) return Asked::Answered;
    if (result.exitCode == 1) return Asked::Cancelled;
    return Asked::Unavailable;
}

struct Choice {
    enum class Kind { Chosen, Cancelled, TooLong, AskAgain } kind;
    std::string path;
};

// What a helper's answer comes to: a helper knows nothing of default extensions, and
// zenity's open mode is the only check that the file exists.
Choice settle(const FileDialogOptions& options, const std::string& output) {
    std::string path;
    switch (readChosenPath(output, path)) {
        case PathCheck::Garbage: return {Choice::Kind::Cancelled, ""};
        case PathCheck::TooLong: return {Choice::Kind::TooLong, ""};
        case PathCheck::Ok: break;
    }
    std::string extended = withDefaultExtension(path, options.defaultExtension);
    if (checkPathLength(extended) != PathCheck::Ok) return {Choice::Kind::TooLong, ""};
    if (options.kind == FileDialogOptions::Kind::Open) {
        if (isRegularFile(path)) return {Choice::Kind::Chosen, path};
        if (pathExists(path)) return {Choice::Kind::Cancelled, ""};
        if (isRegularFile(extended)) return {Choice::Kind::Chosen, extended};
        if (options.mustExist || pathExists(extended)) return {Choice::Kind::Cancelled, ""};
        return {Choice::Kind::Chosen, extended};
    }
    if (isFolder(path) || isFolder(extended)) return {Choice::Kind::Cancelled, ""};
    // The helper confirmed the name it was given, not the one with the extension added.
    if (extended != path && options.confirmOverwrite && pathExists(extended))
        return {Choice::Kind::AskAgain, extended};
    return {Choice::Kind::Chosen, extended};
}

// One round with the first dialog that can be shown.
Choice askOnce(const FileDialogOptions& options, Window attachTo, const ModalPump& pump) {
    std::string output;
    std::string zenity = findOnPath("zenity");
    Asked asked = Asked::Unavailable;
    if (!zenity.empty()) {
        asked = askHelper(zenity, zenityArguments(options, attachTo), pump, output);
        // Versions without --attach refuse to start with it; a dialog that may end up
        // behind the host is still better than none.
        if (asked == Asked::Unavailable && attachTo)
            asked = askHelper(zenity, zenityArguments(options, 0), pump, output);
    }
    if (asked == Asked::Unavailable) {
        std::string kdialog = findOnPath("kdialog");
        if (!kdialog.empty())
            asked = askHelper(kdialog, kdialogArguments(options, attachTo), pump, output);
    }
    if (asked == Asked::Cancelled) return {Choice::Kind::Cancelled, ""};
    if (asked == Asked::Answered) return settle(options, output);
    std::string path = x11::runBuiltInFileDialog(options, attachTo, pump);
    if (path.empty()) return {Choice::Kind::Cancelled, ""};
    if (checkPathLength(path) != PathCheck::Ok) return {Choice::Kind::TooLong, ""};
    return {Choice::Kind::Chosen, path};
}

}  // namespace

std::string showFileDialog(const FileDialogOptions& options, const ModalPump& pump) {
    Window attachTo = x11::topLevelOf(x11::currentDisplay(), Window(options.owner));
    FileDialogOptions offered = options;
    // A name the helper confirmed may gain an extension that names an existing file: the
    // user is asked once more with that name, and a second such answer is taken as cancel.
    for (int round = 0; round < 2; ++round) {
        Choice choice = askOnce(offered, attachTo, pump);
        switch (choice.kind) {
            case Choice::Kind::Chosen: return choice.path;
            case Choice::Kind::Cancelled: return "";
            case Choice::Kind::TooLong:
                showMessageBox(options.title.c_str(),
                               "The chosen path is too long for this system.",
                               MessageBoxIcon::Error);
                return "";
            case Choice::Kind::AskAgain:
                offered.folder = folderOf(choice.path);
                offered.fileName = fileNameOf(choice.path);
                break;
        }
    }
    return "";
}

}  // namespace platform
