#include "tools/common/DefaultPlugin.h"

#include <cstdlib>

#include "platform/Files.h"

namespace {

// The build names the file (".so" on Linux, ".dll" on Windows).
const char* const kPluginFile = KRV_PLUGIN_FILE_NAME;

// The subfolder an installation gives the plug-in: its file name without extension.
std::string ownFolderName() {
    std::string name = kPluginFile;
    return name.substr(0, name.rfind('.'));
}

bool readable(const std::string& path) {
    std::string ignored;
    std::uint64_t length = 0;
    return platform::readFileStart(path, 0, ignored, length);
}

std::string parentOf(const std::string& path) {
    std::size_t separator = platform::lastSeparator(path);
    return separator == std::string::npos || separator == 0 ? std::string() : path.substr(0, separator);
}

class FolderList {
public:
    // The folder, then its subfolder of ours.
    void addWithOwn(const std::string& folder) {
        if (folder.empty()) return;
        add(folder);
        add(platform::joinPath(folder, ownFolderName()));
    }
    void add(const std::string& folder) {
        if (folder.empty()) return;
        std::string full = platform::absolutePath(folder);
        for (const std::string& known : folders)
            if (known == full) return;
        folders.push_back(full);
    }
    void addVariable(const char* name) {
        const char* value = std::getenv(name);
        if (!value) return;
        std::string list = value;
        std::size_t start = 0;
        for (;;) {
            std::size_t end = list.find(platform::pathListSeparator(), start);
            addWithOwn(list.substr(start, end == std::string::npos ? std::string::npos : end - start));
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    std::vector<std::string> folders;
};

}  // namespace

PluginSearch findDefaultPlugin() {
    FolderList list;
    std::string toolFolder = parentOf(platform::executablePath());
    list.add(toolFolder);
    // The unpacked release keeps each format in its own folder beside the tools.
    if (!toolFolder.empty()) list.add(platform::joinPath(toolFolder, "vst"));
    std::string prefix = parentOf(toolFolder);
    if (!prefix.empty()) {
        std::string installed = platform::joinPath(platform::joinPath(prefix, "lib"), "vst");
        list.add(platform::joinPath(installed, ownFolderName()));
        list.add(installed);
    }
    list.addWithOwn(platform::userPluginFolder("vst"));
    list.addVariable("VST_PATH");
    list.addVariable("LXVST_PATH");
    for (const std::string& folder : platform::sharedPluginFolders("vst")) list.addWithOwn(folder);

    PluginSearch search;
    search.searched = list.folders;
    for (const std::string& folder : list.folders) {
        std::string path = platform::joinPath(folder, kPluginFile);
        if (readable(path)) {
            search.found = path;
            break;
        }
    }
    return search;
}

bool choosePlugin(const std::string& named, std::string& path, std::string& error) {
    if (!named.empty()) {
        path = platform::absolutePath(named);
        return true;
    }
    PluginSearch search = findDefaultPlugin();
    if (search.found.empty()) {
        error = std::string("found no ") + kPluginFile + " in ";
        for (std::size_t i = 0; i < search.searched.size(); ++i)
            error += (i ? ", " : "") + search.searched[i];
        error += "; name it with --plugin";
        return false;
    }
    path = search.found;
    return true;
}

std::string pluginSearchSummary() {
    std::string own = ownFolderName();
    std::string summary = std::string("the first ") + kPluginFile + " found beside the tool or in vst/ there, in ../lib/vst/" + own +
                          " or ../lib/vst, then in ";
    if (!platform::userPluginFolder("vst").empty()) summary += "~/.vst, ";
    summary += "the folders of VST_PATH and LXVST_PATH";
    for (const std::string& folder : platform::sharedPluginFolders("vst")) summary += ", " + folder;
    return summary + ", each also with a subfolder " + own;
}
