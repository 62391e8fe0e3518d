#include "tools/common/DefaultPlugin.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace {
const char* const kPluginFile = "krv-tarnwick.so";

bool exists(const std::string& path) { return access(path.c_str(), R_OK) == 0; }
}  // namespace

std::string defaultPluginPath() {
    char self[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (length > 0) {
        std::string dir(self, static_cast<size_t>(length));
        dir = dir.substr(0, dir.rfind('/') + 1);
        if (exists(dir + kPluginFile)) return dir + kPluginFile;
    }
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.vst/" + kPluginFile;
}
