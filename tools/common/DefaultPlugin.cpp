#include "tools/common/DefaultPlugin.h"

#include <cstdlib>

#include "platform/Files.h"

namespace {

// The build names the file (".so" on Linux, ".dll" on Windows).
const char* const kPluginFile = KRV_PLUGIN_FILE_NAME;

bool readable(const std::string& path) {
    std::string ignored;
    std::uint64_t length = 0;
    return platform::readFileStart(path, 0, ignored, length);
}

}  // namespace

std::string defaultPluginPath() {
    std::string self = platform::executablePath();
    std::size_t separator = platform::lastSeparator(self);
    std::string besideTool =
        separator == std::string::npos ? std::string(kPluginFile)
                                       : platform::joinPath(self.substr(0, separator), kPluginFile);
    if (readable(besideTool)) return besideTool;
    const char* home = std::getenv("HOME");
    if (!home || !home[0]) return besideTool;  // no user folder (Windows): name the usual place
    return platform::joinPath(platform::joinPath(home, ".vst"), kPluginFile);
}
