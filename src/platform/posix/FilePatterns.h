// What a file dialog's filter shows of a folder. Patterns are globs such as "*.krb",
// several separated by ';', matched against whole names without regard to ASCII case
// (bank files often come from systems that ignore it); "*.*" and "*" match every name.
#pragma once

#include <string>
#include <vector>

namespace platform::posix {

bool matchesFilePattern(const std::string& name, const std::string& patterns);

struct FolderEntry {
    std::string name;
    bool isFolder = false;
};

// The sub-folders (all of them) and the regular files that match patterns, hidden
// entries left out; folders first, each group sorted by name. Empty when the folder
// cannot be read.
std::vector<FolderEntry> listFolder(const std::string& folder, const std::string& patterns);

}  // namespace platform::posix
