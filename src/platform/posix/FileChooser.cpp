#include "platform/posix/FileChooser.h"

#include "platform/posix/ChosenPath.h"
#include "platform/posix/HelperDialogArguments.h"

namespace platform::posix {

namespace {

std::string childOf(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// "/a/b/" and "/a/b" name the same folder; ".." steps up.
std::string normalFolder(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string folder;
    for (const std::string& part : parts) folder += "/" + part;
    return folder.empty() ? "/" : folder;
}

}  // namespace

FileChooser::FileChooser(const FileDialogOptions& options)
    : options(options),
      filterIndex(options.selectedFilter >= 0 &&
                          options.selectedFilter < int(options.filters.size())
                      ? options.selectedFilter
                      : 0) {
    std::string start = startPath(options);
    listed = normalFolder(folderOf(start));
    if (!isFolder(listed)) listed = "/";
    setField(childOf(listed, fileNameOf(start)));
    relist();
}

std::string FileChooser::filterLabel() const {
    if (options.filters.empty()) return "";
    const FileFilter& filter = options.filters[size_t(filterIndex)];
    return filter.description + " (" + filter.pattern + ")";
}

void FileChooser::type(char character) {
    if (static_cast<unsigned char>(character) < 32 || character == 127) return;
    setField(field + character);
}

void FileChooser::backspace() {
    if (!field.empty()) setField(field.substr(0, field.size() - 1));
}

void FileChooser::select(int index) {
    if (index < 0 || index >= int(shown.size())) {
        selection = -1;
        return;
    }
    const FolderEntry& entry = shown[size_t(index)];
    std::string path = childOf(listed, entry.name);
    field = entry.isFolder ? path + "/" : path;
    selection = index;
}

void FileChooser::moveSelection(int delta) {
    if (shown.empty()) return;
    int next = selection < 0 ? (delta > 0 ? 0 : int(shown.size()) - 1) : selection + delta;
    if (next < 0) next = 0;
    if (next >= int(shown.size())) next = int(shown.size()) - 1;
    select(next);
}

void FileChooser::nextFilter() {
    if (options.filters.size() < 2) return;
    filterIndex = (filterIndex + 1) % int(options.filters.size());
    relist();
}

FileChooser::Outcome FileChooser::accept() {
    std::string path = absolute(field);
    if (isFolder(path)) {
        openFolder(path);
        return Outcome::Stay;
    }
    if (fileNameOf(path).empty() || !isFolder(folderOf(path))) return Outcome::Stay;
    std::string extended = withDefaultExtension(path, options.defaultExtension);
    if (options.kind == FileDialogOptions::Kind::Open) {
        if (isRegularFile(path)) {
            answer = path;
        } else if (isRegularFile(extended)) {
            answer = extended;
        } else if (!options.mustExist && !pathExists(path)) {
            answer = extended;
        } else {
            return Outcome::Stay;
        }
        return Outcome::Chosen;
    }
    if (isFolder(extended)) return Outcome::Stay;
    answer = extended;
    return options.confirmOverwrite && pathExists(extended) ? Outcome::ConfirmOverwrite
                                                            : Outcome::Chosen;
}

FileChooser::Outcome FileChooser::activate(int index) {
    if (index < 0 || index >= int(shown.size())) return Outcome::Stay;
    select(index);
    return accept();
}

void FileChooser::setField(const std::string& text) {
    field = text;
    selection = -1;
    // Typing the folder part navigates as soon as it names an existing folder.
    std::string path = absolute(field);
    std::string folder = path.back() == '/' ? path : folderOf(path);
    if (!folder.empty() && isFolder(folder) && normalFolder(folder) != listed) {
        listed = normalFolder(folder);
        relist();
    }
}

void FileChooser::openFolder(const std::string& path) {
    listed = normalFolder(path);
    field = listed == "/" ? "/" : listed + "/";
    relist();
}

void FileChooser::relist() {
    std::string patterns =
        options.filters.empty() ? "*" : options.filters[size_t(filterIndex)].pattern;
    shown.clear();
    if (listed != "/") shown.push_back(FolderEntry{"..", true});
    std::vector<FolderEntry> entries = listFolder(listed, patterns);
    shown.insert(shown.end(), entries.begin(), entries.end());
    selection = -1;
}

std::string FileChooser::absolute(const std::string& path) const {
    if (!path.empty() && path[0] == '/') return path;
    return childOf(listed, path);
}

}  // namespace platform::posix
