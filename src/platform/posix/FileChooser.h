// What the built-in file dialog knows and does, apart from drawing: a path field the
// user types into, the listed folder (the field's folder part whenever that exists), the
// entries matching the selected filter, and what Return or a double click leads to.
#pragma once

#include <string>
#include <vector>

#include "platform/FileDialog.h"
#include "platform/posix/FilePatterns.h"

namespace platform::posix {

class FileChooser {
public:
    enum class Outcome {
        Stay,              // still browsing (a folder was opened, or nothing to choose)
        Chosen,            // chosen() holds the file
        ConfirmOverwrite,  // chosen() exists; ask before answering with it
    };

    explicit FileChooser(const FileDialogOptions& options);

    const std::string& text() const { return field; }
    const std::string& folder() const { return listed; }
    // ".." first (except at the root), then listFolder's entries.
    const std::vector<FolderEntry>& entries() const { return shown; }
    int selected() const { return selection; }
    // "KRV Banks (*.krb)"; empty without filters.
    std::string filterLabel() const;
    const std::string& chosen() const { return answer; }

    void type(char character);
    void backspace();
    // Puts the entry into the field (a folder with a trailing '/'); -1 clears the selection.
    void select(int index);
    void moveSelection(int delta);
    void nextFilter();
    // Return or OK: opens the folder the field names or chooses the file.
    Outcome accept();
    // A double click on an entry.
    Outcome activate(int index);

private:
    void setField(const std::string& text);
    void openFolder(const std::string& path);
    void relist();
    std::string absolute(const std::string& path) const;

    FileDialogOptions options;
    int filterIndex;
    std::string field;
    std::string listed;
    std::vector<FolderEntry> shown;
    int selection = -1;
    std::string answer;
};

}  // namespace platform::posix
