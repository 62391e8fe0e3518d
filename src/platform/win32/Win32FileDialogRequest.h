// What GetOpenFileNameA and GetSaveFileNameA are given, built from our options: the
// structure and the texts and buffer it points at, owned together.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>
#include <vector>

#include "platform/FileDialog.h"

namespace platform::win32 {

// "description\0pattern\0" per filter and one more '\0' at the end; empty for no filters.
std::string filterText(const std::vector<FileFilter>& filters);

enum class DialogOutcome {
    Chosen,
    Cancelled,  // also: the dialog could not be shown
    TooLong,    // the chosen path does not fit the buffer or the -A file functions
};

// What a dialog wrote into a buffer of size bytes, checked: Chosen with path when it holds
// a whole path that the -A file functions can open, else TooLong and path empty.
DialogOutcome readChosenPath(const char* buffer, std::size_t size, std::string& path);

class FileDialogRequest {
public:
    // Paths up to this size come back whole, so a longer one can be told from a short one.
    static constexpr DWORD kPathBufferSize = 32 * 1024;

    explicit FileDialogRequest(const FileDialogOptions& options,
                               DWORD bufferSize = kPathBufferSize);
    FileDialogRequest(const FileDialogRequest&) = delete;
    FileDialogRequest& operator=(const FileDialogRequest&) = delete;

    const OPENFILENAMEA& structure() const { return request; }
    // Shows the dialog (open or save as the options say) and returns when it is closed.
    DialogOutcome run(std::string& path);

private:
    FileDialogOptions::Kind kind;
    std::string title;
    std::string filters;
    std::string folder;
    std::string extension;
    std::vector<char> buffer;
    OPENFILENAMEA request{};
};

}  // namespace platform::win32
