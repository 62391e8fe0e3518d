#include "platform/posix/ChosenPath.h"

#include <sys/stat.h>

#include <climits>

namespace platform::posix {

PathCheck checkPathLength(const std::string& path) {
    return path.size() >= PATH_MAX ? PathCheck::TooLong : PathCheck::Ok;
}

PathCheck readChosenPath(const std::string& output, std::string& path) {
    path.clear();
    std::string text = output;
    if (!text.empty() && text.back() == '\n') text.pop_back();
    if (text.empty() || text[0] != '/') return PathCheck::Garbage;
    if (text.find('\n') != std::string::npos || text.find('\0') != std::string::npos)
        return PathCheck::Garbage;
    if (checkPathLength(text) != PathCheck::Ok) return PathCheck::TooLong;
    path = text;
    return PathCheck::Ok;
}

std::string fileNameOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return "";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool hasExtension(const std::string& path) {
    std::string name = fileNameOf(path);
    size_t dot = name.find_last_of('.');
    return dot != std::string::npos && dot > 0;
}

std::string withDefaultExtension(const std::string& path, const std::string& extension) {
    if (extension.empty() || fileNameOf(path).empty() || hasExtension(path)) return path;
    return path + "." + extension;
}

bool isRegularFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool pathExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

}  // namespace platform::posix
