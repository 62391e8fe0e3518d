// What a dialog helper's ending and output come to. Its output is outside bytes: a crash
// or a chatty library can leave anything there, so it is checked before the caller hears
// of a path.
#pragma once

#include <string>

#include "platform/FileDialog.h"
#include "platform/posix/HelperProcess.h"

namespace platform::posix {

enum class Asked { Answered, Cancelled, Unavailable };

// Exit 0 with output: an answer; 1: cancelled; anything else (no display, an option
// this version lacks, a crash) means the helper could not serve, so the next one is tried.
Asked askedBy(const HelperResult& result);

struct Choice {
    enum class Kind { Chosen, Cancelled, TooLong, AskAgain } kind;
    std::string path;  // of Chosen, and the name to ask again with
};

// A helper knows nothing of default extensions, and zenity's open mode is the only check
// that the file exists: both are settled here against the file system.
Choice settle(const FileDialogOptions& options, const std::string& output);

}  // namespace platform::posix
