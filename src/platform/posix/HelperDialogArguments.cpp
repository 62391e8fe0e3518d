#include "platform/posix/HelperDialogArguments.h"

#include <unistd.h>

#include <climits>

namespace platform::posix {

namespace {

// Space-separated globs; "*.*" means every file, which helpers spell "*".
std::string helperPatterns(const std::string& patterns) {
    std::string joined;
    size_t start = 0;
    for (;;) {
        size_t end = patterns.find(';', start);
        std::string pattern = patterns.substr(start, end - start);
        while (!pattern.empty() && pattern.front() == ' ') pattern.erase(0, 1);
        while (!pattern.empty() && pattern.back() == ' ') pattern.pop_back();
        if (pattern == "*.*") pattern = "*";
        if (!pattern.empty()) joined += (joined.empty() ? "" : " ") + pattern;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return joined.empty() ? "*" : joined;
}

// Separators of the helpers' filter syntax would split a description.
std::string plainDescription(std::string text, const std::string& separators) {
    for (char& c : text)
        if (separators.find(c) != std::string::npos) c = ' ';
    return text;
}

}  // namespace

std::vector<FileFilter> filtersSelectedFirst(const FileDialogOptions& options) {
    std::vector<FileFilter> ordered;
    int selected = options.selectedFilter;
    if (selected >= 0 && selected < int(options.filters.size()))
        ordered.push_back(options.filters[size_t(selected)]);
    for (int i = 0; i < int(options.filters.size()); ++i)
        if (i != selected) ordered.push_back(options.filters[size_t(i)]);
    return ordered;
}

std::string startPath(const FileDialogOptions& options) {
    std::string folder = options.folder;
    if (folder.empty()) {
        char current[PATH_MAX];
        folder = getcwd(current, sizeof current) ? current : "/";
    }
    if (folder.back() != '/') folder += '/';
    return folder + options.fileName;
}

std::vector<std::string> zenityArguments(const FileDialogOptions& options, unsigned long attachTo) {
    std::vector<std::string> arguments{"--file-selection", "--title=" + options.title};
    if (options.kind == FileDialogOptions::Kind::Save) {
        arguments.push_back("--save");
        if (options.confirmOverwrite) arguments.push_back("--confirm-overwrite");
    }
    arguments.push_back("--filename=" + startPath(options));
    for (const FileFilter& filter : filtersSelectedFirst(options))
        arguments.push_back("--file-filter=" + plainDescription(filter.description, "|") + " | " +
                            helperPatterns(filter.pattern));
    if (attachTo) arguments.push_back("--attach=" + std::to_string(attachTo));
    return arguments;
}

std::vector<std::string> kdialogArguments(const FileDialogOptions& options,
                                          unsigned long attachTo) {
    std::vector<std::string> arguments{"--title", options.title};
    if (attachTo) {
        arguments.push_back("--attach");
        arguments.push_back(std::to_string(attachTo));
    }
    // kdialog asks before overwriting by itself.
    arguments.push_back(options.kind == FileDialogOptions::Kind::Save ? "--getsavefilename"
                                                                      : "--getopenfilename");
    arguments.push_back(startPath(options));
    // Qt's filter syntax: "Description (globs)" entries separated by ";;".
    std::string filters;
    for (const FileFilter& filter : filtersSelectedFirst(options)) {
        if (!filters.empty()) filters += ";;";
        filters += plainDescription(filter.description, "();|\n") + " (" +
                   helperPatterns(filter.pattern) + ")";
    }
    if (!filters.empty()) arguments.push_back(filters);
    return arguments;
}

}  // namespace platform::posix
