// Open and save dialogs: one set of options, a full path or nothing. They never hold the
// caller: the answer arrives later, through a callback.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ModalPump.h"
#include "platform/NativeWindow.h"

namespace platform {

struct FileFilter {
    std::string description;  // "KRV Banks"
    std::string pattern;      // "*.krb"; "*.*" matches every file
};

struct FileDialogOptions {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    std::string title;
    std::vector<FileFilter> filters;
    int selectedFilter = 0;  // index into filters
    std::string folder;      // where the dialog starts; empty: the current directory
    std::string fileName;    // offered name, without folder
    // Added (without the dot) to a chosen name that has no extension.
    std::string defaultExtension;
    bool mustExist = false;         // open: only an existing file can be chosen
    bool confirmOverwrite = false;  // save: choosing an existing file asks first
    // The editor's window: the dialog stays above the host's top-level window around it.
    WindowHandle owner = 0;
};

// Told once how an open dialog ended: the chosen file as a full path, or empty when the
// user cancelled or the dialog could not be shown.
using FileDialogEnded = std::function<void(const std::string& path)>;

class FileDialog {
public:
    // Shows the dialog for options.
    // - X11: returns at once; a helper program (watched without blocking) or a window of
    //   ours asks the user, and processPendingEvents calls ended when the answer is in.
    // - Windows: the system's common dialog runs inside this call, turning pump meanwhile,
    //   and ended is called before it returns.
    // Null when nothing is left open: ended has then been called already.
    static std::unique_ptr<FileDialog> open(const FileDialogOptions& options,
                                            const ModalPump& pump, FileDialogEnded ended);
    // Cancels a dialog still open without calling ended: a helper is ended and reaped, our
    // window is gone. ended may destroy the dialog.
    virtual ~FileDialog() = default;
};

}  // namespace platform
