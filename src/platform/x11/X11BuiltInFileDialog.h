// Our own file dialog, for systems with neither zenity nor kdialog: a top-level window of
// ours with a path field, the folder's list and OK and Cancel. It is served with our other
// windows' events and never holds the caller.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/FileDialog.h"

namespace platform::x11 {

class BuiltInFileDialog {
public:
    // The dialog on screen; null when its window cannot be made. transientFor: the
    // top-level window it stays above (0: none).
    static std::unique_ptr<BuiltInFileDialog> open(Display* display,
                                                   const FileDialogOptions& options,
                                                   Window transientFor);
    // Destroys the window; never from inside the dialog's own event handling.
    virtual ~BuiltInFileDialog() = default;

    // Once the user has answered: the chosen path (default extension added, overwriting
    // confirmed when asked for), or empty for cancelled.
    virtual std::optional<std::string> answer() const = 0;
};

}  // namespace platform::x11
