// Our own modal file dialog, for systems with neither zenity nor kdialog: a top-level
// window of ours with a path field, the folder's list and OK and Cancel.
#pragma once

#include <X11/Xlib.h>

#include <string>

#include "platform/FileDialog.h"

namespace platform::x11 {

// The chosen path (default extension added, overwriting confirmed when asked for), or
// empty when the user cancelled, the pump answered false or no display can be opened.
// transientFor: the top-level window the dialog stays above (0: none).
std::string runBuiltInFileDialog(const FileDialogOptions& options, Window transientFor,
                                 const ModalPump& pump);

}  // namespace platform::x11
