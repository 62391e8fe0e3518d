#include "platform/common/TextField.h"

#include <algorithm>

namespace platform {

namespace {

// Control characters of Ctrl+letter as a window system reports them, or the letter itself.
bool isControlLetter(const Key& key, char letter) {
    if (!(key.modifiers & kKeyControl) || key.name != KeyName::Unnamed) return false;
    int c = key.character;
    return c == letter || c == letter - 'a' + 'A' || c == letter - 'a' + 1;
}

}  // namespace

bool isPrintableLatin1(unsigned char byte) {
    return (byte >= 0x20 && byte < 0x7F) || byte >= 0xA0;
}

TextField::TextField(const std::string& text, std::size_t limit) : maxLength(limit) {
    insert(text);
    selectAll();
}

void TextField::selectAll() {
    anchorAt = 0;
    caretAt = content.size();
}

void TextField::moveTo(std::size_t position, bool extend) {
    caretAt = std::min(position, content.size());
    if (!extend) anchorAt = caretAt;
}

void TextField::moveLeft(bool extend) {
    if (hasSelection() && !extend)
        moveTo(selectionStart(), false);
    else if (caretAt > 0)
        moveTo(caretAt - 1, extend);
}

void TextField::moveRight(bool extend) {
    if (hasSelection() && !extend)
        moveTo(selectionEnd(), false);
    else
        moveTo(caretAt + 1, extend);
}

void TextField::removeSelection() {
    std::size_t start = selectionStart();
    content.erase(start, selectionEnd() - start);
    caretAt = anchorAt = start;
}

std::size_t TextField::insert(const std::string& typed) {
    removeSelection();
    std::string taken;
    for (char c : typed) {
        if (content.size() + taken.size() >= maxLength) break;
        if (isPrintableLatin1(static_cast<unsigned char>(c))) taken += c;
    }
    content.insert(caretAt, taken);
    caretAt = anchorAt = caretAt + taken.size();
    return taken.size();
}

void TextField::backspace() {
    if (!hasSelection() && caretAt > 0) anchorAt = caretAt - 1;
    removeSelection();
}

void TextField::deleteForward() {
    if (!hasSelection() && caretAt < content.size()) anchorAt = caretAt + 1;
    removeSelection();
}

TextFieldKeyResult classifyKey(const Key& key) {
    switch (key.name) {
        case KeyName::Return: return TextFieldKeyResult::Return;
        case KeyName::Left:
        case KeyName::Right:
        case KeyName::Home:
        case KeyName::End:
        case KeyName::Back:
        case KeyName::Delete:
        case KeyName::Space: return TextFieldKeyResult::Handled;
        case KeyName::Unnamed: break;
        default: return TextFieldKeyResult::Ignored;
    }
    if (isControlLetter(key, 'v')) return TextFieldKeyResult::Paste;
    if (isControlLetter(key, 'a')) return TextFieldKeyResult::Handled;
    if (key.modifiers & (kKeyControl | kKeyAlt)) return TextFieldKeyResult::Ignored;
    return isPrintableLatin1(static_cast<unsigned char>(key.character))
               ? TextFieldKeyResult::Handled
               : TextFieldKeyResult::Ignored;
}

TextFieldKeyResult applyKey(TextField& field, const Key& key) {
    TextFieldKeyResult result = classifyKey(key);
    if (result != TextFieldKeyResult::Handled) return result;
    bool extend = key.modifiers & kKeyShift;
    switch (key.name) {
        case KeyName::Left: field.moveLeft(extend); break;
        case KeyName::Right: field.moveRight(extend); break;
        case KeyName::Home: field.moveHome(extend); break;
        case KeyName::End: field.moveEnd(extend); break;
        case KeyName::Back: field.backspace(); break;
        case KeyName::Delete: field.deleteForward(); break;
        case KeyName::Space: field.insert(" "); break;
        default:
            if (isControlLetter(key, 'a'))
                field.selectAll();
            else
                field.insert(std::string(1, static_cast<char>(key.character)));
            break;
    }
    return result;
}

}  // namespace platform
