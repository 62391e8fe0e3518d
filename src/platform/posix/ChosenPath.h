// The path a dialog answers with, checked before anything opens it: helpers print it on
// their output, where a crash or a chatty library can leave anything.
#pragma once

#include <string>

namespace platform::posix {

enum class PathCheck {
    Ok,
    Garbage,  // empty, relative, or with a line break or a zero byte inside
    TooLong,  // longer than the system takes (PATH_MAX with its terminator)
};

// output: one absolute path ended by at most one newline.
PathCheck readChosenPath(const std::string& output, std::string& path);
PathCheck checkPathLength(const std::string& path);

// The part after the last '/'.
std::string fileNameOf(const std::string& path);
// The part before the last '/'; "/" for a file at the root.
std::string folderOf(const std::string& path);
// A dot after the name's first character ("bank.krb"; not ".profile").
bool hasExtension(const std::string& path);
// path with ".extension" added when its name has none and extension is not empty.
std::string withDefaultExtension(const std::string& path, const std::string& extension);

bool isRegularFile(const std::string& path);
bool isFolder(const std::string& path);
bool pathExists(const std::string& path);

}  // namespace platform::posix
