// The editing model of a single-line text field: 8-bit (Latin-1) text, a caret and a
// selection, a length limit. It knows nothing of windows, so any backend that draws its
// own field can share it.
#pragma once

#include <cstddef>
#include <string>

#include "platform/Types.h"

namespace platform {

// Bytes a field takes: the printable ASCII and Latin-1 characters.
bool isPrintableLatin1(unsigned char byte);

class TextField {
public:
    // Starts with the printable bytes of text, cut at limit, all selected.
    TextField(const std::string& text, std::size_t limit);

    const std::string& text() const { return content; }
    std::size_t limit() const { return maxLength; }
    // The caret is the moving end of the selection; the anchor its fixed end.
    std::size_t caret() const { return caretAt; }
    std::size_t anchor() const { return anchorAt; }
    bool hasSelection() const { return caretAt != anchorAt; }
    std::size_t selectionStart() const { return caretAt < anchorAt ? caretAt : anchorAt; }
    std::size_t selectionEnd() const { return caretAt < anchorAt ? anchorAt : caretAt; }

    void selectAll();
    // extend: keep the anchor where it is (Shift held).
    void moveTo(std::size_t position, bool extend);
    void moveLeft(bool extend);
    void moveRight(bool extend);
    void moveHome(bool extend) { moveTo(0, extend); }
    void moveEnd(bool extend) { moveTo(content.size(), extend); }

    // Replaces the selection with the printable bytes of typed, as many as fit under the
    // limit; answers how many were taken.
    std::size_t insert(const std::string& typed);
    // Removes the selection, or the byte before (backspace) / after (deleteForward) the caret.
    void backspace();
    void deleteForward();

private:
    void removeSelection();

    std::string content;
    std::size_t maxLength;
    std::size_t caretAt = 0;
    std::size_t anchorAt = 0;
};

// What a key press asks of a field once applied.
enum class TextFieldKeyResult {
    Ignored,   // not a key the field uses
    Handled,   // caret, selection or text changed (or would have)
    Return,    // the user confirmed the text
    Paste,     // the owner should paste the clipboard at the caret
};

// Applies one key press: Left/Right/Home/End (Shift extends), Backspace, Delete, Ctrl+A,
// printable characters and Space; Return and Ctrl+V are left to the owner.
TextFieldKeyResult applyKey(TextField& field, const Key& key);
// The same decision without changing anything, for key releases.
TextFieldKeyResult classifyKey(const Key& key);

}  // namespace platform
