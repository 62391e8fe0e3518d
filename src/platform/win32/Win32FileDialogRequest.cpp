#include "platform/win32/Win32FileDialogRequest.h"

#include <cderr.h>

#include <cstring>

namespace platform::win32 {

namespace {

const char* orNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

// The dialog's owner is the host's top-level window around the editor.
HWND topLevelOf(WindowHandle window) {
    HWND handle = reinterpret_cast<HWND>(window);
    if (!handle || !IsWindow(handle)) return nullptr;
    return GetAncestor(handle, GA_ROOT);
}

}  // namespace

std::string filterText(const std::vector<FileFilter>& filters) {
    std::string text;
    for (const FileFilter& filter : filters) {
        text += filter.description;
        text += '\0';
        text += filter.pattern;
        text += '\0';
    }
    if (!text.empty()) text += '\0';
    return text;
}

FileDialogRequest::FileDialogRequest(const FileDialogOptions& options, DWORD bufferSize)
    : kind(options.kind), title(options.title), filters(filterText(options.filters)),
      folder(options.folder), extension(options.defaultExtension), buffer(bufferSize, '\0') {
    // An offered name that does not fit is not offered at all rather than cut.
    if (options.fileName.size() < buffer.size())
        std::memcpy(buffer.data(), options.fileName.data(), options.fileName.size());
    request.lStructSize = sizeof request;
    request.hwndOwner = topLevelOf(options.owner);
    request.lpstrFilter = orNull(filters);
    bool filterKnown = options.selectedFilter >= 0 &&
                       std::size_t(options.selectedFilter) < options.filters.size();
    request.nFilterIndex = filterKnown ? DWORD(options.selectedFilter) + 1 : 1;
    request.lpstrFile = buffer.data();
    request.nMaxFile = DWORD(buffer.size());
    request.lpstrInitialDir = orNull(folder);
    request.lpstrTitle = orNull(title);
    request.lpstrDefExt = orNull(extension);
    // The dialog runs in the host's process: its current directory is not ours to move.
    request.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (options.mustExist) request.Flags |= OFN_FILEMUSTEXIST;
    if (options.confirmOverwrite) request.Flags |= OFN_OVERWRITEPROMPT;
}

DialogOutcome FileDialogRequest::run(std::string& path) {
    path.clear();
    BOOL chosen = kind == FileDialogOptions::Kind::Open ? GetOpenFileNameA(&request)
                                                        : GetSaveFileNameA(&request);
    if (!chosen)
        return CommDlgExtendedError() == FNERR_BUFFERTOOSMALL ? DialogOutcome::TooLong
                                                              : DialogOutcome::Cancelled;
    return readChosenPath(buffer.data(), buffer.size(), path);
}

DialogOutcome readChosenPath(const char* buffer, std::size_t size, std::string& path) {
    path.clear();
    std::size_t length = strnlen(buffer, size);
    // Neither a buffer without its terminator nor a path the -A file functions cannot open
    // is handed on: cut, it would name another file.
    if (length == size || length >= MAX_PATH) return DialogOutcome::TooLong;
    path.assign(buffer, length);
    return DialogOutcome::Chosen;
}

}  // namespace platform::win32
