// The command lines that ask zenity or kdialog for a file, built from one set of options.
#pragma once

#include <string>
#include <vector>

#include "platform/FileDialog.h"

namespace platform::posix {

// The filters in the order a helper shows them: the selected one first (helpers start on
// their first filter), then the others in their order.
std::vector<FileFilter> filtersSelectedFirst(const FileDialogOptions& options);

// Where the dialog starts: folder/name, the current directory when folder is empty, and
// a trailing '/' without a name so the helper opens the folder.
std::string startPath(const FileDialogOptions& options);

// attachTo: the X window the dialog stays above (0: none).
std::vector<std::string> zenityArguments(const FileDialogOptions& options, unsigned long attachTo);
std::vector<std::string> kdialogArguments(const FileDialogOptions& options, unsigned long attachTo);

}  // namespace platform::posix
