// Modal open and save dialogs: one set of options, one call, a full path or nothing.
#pragma once

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

// The chosen file as a full path, or empty when the user cancelled, the dialog could not
// be shown, or the pump answered false. Our windows keep painting meanwhile.
std::string showFileDialog(const FileDialogOptions& options, const ModalPump& pump);

}  // namespace platform
