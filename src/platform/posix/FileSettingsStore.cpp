#include "platform/posix/FileSettingsStore.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/Files.h"
#include "platform/SettingsStore.h"
#include "platform/posix/SettingsText.h"

namespace platform {

namespace {

const char kKeyExtension[] = ".key";
// Far beyond any key this program writes; a larger file is treated as holding no values
// rather than half read.
constexpr std::size_t kMaxKeyFileSize = 64 * 1024;

bool isKeyCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == ' ' || c == '-' || c == '_' || c == '.' || c == '+' || c == '@';
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool isValidComponent(const std::string& component) {
    if (component.empty() || component == "." || component == "..") return false;
    if (endsWith(component, kKeyExtension)) return false;
    for (char c : component)
        if (!isKeyCharacter(c)) return false;
    return true;
}

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    const passwd* user = ::getpwuid(::getuid());
    return user && user->pw_dir && user->pw_dir[0] == '/' ? user->pw_dir : "";
}

std::string folderOf(const std::string& path) { return path.substr(0, path.find_last_of('/')); }

}  // namespace

std::string settingsRootFolder() {
    const char* configured = std::getenv("XDG_CONFIG_HOME");
    if (configured && configured[0] == '/') return configured;
    std::string home = homeFolder();
    return home.empty() ? "" : joinPath(home, ".config");
}

std::string settingsKeyFile(const std::string& keyPath) {
    std::string path = settingsRootFolder();
    if (path.empty()) return "";
    std::size_t start = 0;
    for (;;) {
        std::size_t end = keyPath.find('\\', start);
        std::string component =
            keyPath.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!isValidComponent(component)) return "";
        path = joinPath(path, component);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return path + kKeyExtension;
}

bool readSettingsKey(const std::string& keyPath, SettingsKey& key) {
    key = SettingsKey();
    std::string file = settingsKeyFile(keyPath);
    if (file.empty()) return false;
    std::string text;
    std::uint64_t length = 0;
    if (!readFileStart(file, kMaxKeyFileSize, text, length)) return false;
    if (length <= kMaxKeyFileSize) key = parseSettingsText(text);
    return true;
}

bool writeSettingsValues(const std::string& keyPath, const SettingsKey& values) {
    std::string file = settingsKeyFile(keyPath);
    if (file.empty() || !makeFolders(folderOf(file))) return false;
    SettingsKey key;
    readSettingsKey(keyPath, key);  // an absent key starts empty
    key.merge(values);
    std::string text = formatSettingsText(keyPath, key);
    return replaceFile(file, text.data(), text.size());
}

}  // namespace platform
