#include "platform/posix/FilePatterns.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

namespace platform::posix {

namespace {

char folded(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// '*' matches any run of characters, '?' one character; backtracks to the last star only,
// which is enough for globs and never goes quadratic beyond name × pattern.
bool globMatches(const std::string& name, const std::string& pattern) {
    size_t n = 0, p = 0;
    size_t starAt = std::string::npos, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || folded(pattern[p]) == folded(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (starAt != std::string::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::string trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

bool matchesFilePattern(const std::string& name, const std::string& patterns) {
    size_t start = 0;
    for (;;) {
        size_t end = patterns.find(';', start);
        std::string pattern = trimmed(patterns.substr(start, end - start));
        if (pattern == "*.*" || pattern == "*") return true;
        if (!pattern.empty() && globMatches(name, pattern)) return true;
        if (end == std::string::npos) return false;
        start = end + 1;
    }
}

std::vector<FolderEntry> listFolder(const std::string& folder, const std::string& patterns) {
    std::vector<FolderEntry> folders, files;
    DIR* directory = opendir(folder.empty() ? "." : folder.c_str());
    if (!directory) return {};
    std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    while (dirent* entry = readdir(directory)) {
        std::string name = entry->d_name;
        if (name.empty() || name[0] == '.') continue;
        struct stat info;
        // Follows links: a link to a folder is a folder to the user.
        if (stat((prefix + name).c_str(), &info) != 0) continue;
        if (S_ISDIR(info.st_mode))
            folders.push_back(FolderEntry{name, true});
        else if (S_ISREG(info.st_mode) && matchesFilePattern(name, patterns))
            files.push_back(FolderEntry{name, false});
    }
    closedir(directory);
    auto byName = [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    folders.insert(folders.end(), files.begin(), files.end());
    return folders;
}

}  // namespace platform::posix
