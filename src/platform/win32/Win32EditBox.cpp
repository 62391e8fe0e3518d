// The edit box on Windows: the system's EDIT control as a child of the editor's window. Two
// subclasses do the work: the parent's answers WM_CTLCOLOREDIT with our colours, the
// control's reports Return and the loss of focus, keeps non-printable bytes out (typed or
// pasted) and drops a key press that the host has already forwarded.
#include <windows.h>

#include <commctrl.h>

#include <cmath>
#include <memory>
#include <string>

#include "platform/DeviceScale.h"
#include "platform/EditBox.h"
#include "platform/common/KeyDeduplicator.h"
#include "platform/common/TextField.h"
#include "platform/win32/Win32Keys.h"

namespace platform {

namespace {

COLORREF colourOf(const Color& color) { return RGB(color.red, color.green, color.blue); }

// Named keys whose WM_CHAR follows their WM_KEYDOWN.
bool makesCharacter(KeyName name) {
    return name == KeyName::Back || name == KeyName::Tab || name == KeyName::Return ||
           name == KeyName::Escape || name == KeyName::Space;
}

// Control characters the control needs for editing: backspace (which the control handles
// as a character) and Ctrl+A, C, X, Z. Ctrl+V is our paste.
bool isEditingControl(unsigned char c) {
    return c == 0x08 || c == 0x01 || c == 0x03 || c == 0x18 || c == 0x1A;
}

constexpr unsigned char kControlV = 0x16;

class Win32EditBox : public EditBox {
public:
    Win32EditBox(HWND parent, EditBoxListener& listener, const EditBoxStyle& style)
        : parent(parent), listener(listener), textColour(colourOf(style.text)),
          backColour(colourOf(style.background)), createdAt(GetTickCount64()) {}

    ~Win32EditBox() override {
        // Both subclasses go first, so the destruction reports no loss of focus.
        if (edit) {
            RemoveWindowSubclass(edit, editProcedure, subclassId());
            DestroyWindow(edit);
        }
        if (parentSubclassed) RemoveWindowSubclass(parent, parentProcedure, subclassId());
        if (font) DeleteObject(font);
        if (brush) DeleteObject(brush);
    }

    // area in the parent's logical pixels: the control covers its device rectangle, its
    // font as tall as the parent's scale makes it.
    bool open(const Rect& area, double scale, const std::string& text, const EditBoxStyle& style) {
        brush = CreateSolidBrush(backColour);
        parentSubclassed = SetWindowSubclass(parent, parentProcedure, subclassId(),
                                             reinterpret_cast<DWORD_PTR>(this));
        DWORD align = style.align == TextAlign::Center  ? ES_CENTER
                      : style.align == TextAlign::Right ? ES_RIGHT
                                                        : ES_LEFT;
        std::string initial = TextField(text, kMaxLength).text();
        const Rect device = toDevice(area, scale);
        edit = CreateWindowExA(0, "EDIT", initial.c_str(),
                               WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | align, device.left,
                               device.top, device.width(), device.height(), parent, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        if (!edit || !brush || !parentSubclassed) return false;
        if (!SetWindowSubclass(edit, editProcedure, subclassId(),
                               reinterpret_cast<DWORD_PTR>(this))) {
            DestroyWindow(edit);
            edit = nullptr;
            return false;
        }
        const FontSpec& wanted = style.font;
        const int height = int(std::lround(wanted.pixelHeight * scale));
        font = CreateFontA(-height, 0, 0, 0, wanted.bold ? FW_BOLD : FW_NORMAL,
                           wanted.italic, wanted.underline, FALSE, ANSI_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_SWISS, wanted.face.c_str());
        if (font) SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageA(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
        SendMessageA(edit, EM_SETLIMITTEXT, kMaxLength, 0);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        SetFocus(edit);
        return true;
    }

    std::string text() const override {
        if (!edit) return "";
        char buffer[kMaxLength + 1] = {};
        GetWindowTextA(edit, buffer, sizeof buffer);
        return buffer;
    }

    bool forwardKey(const Key& key, bool pressed) override {
        TextFieldKeyResult kind = classifyKey(key);
        if (!pressed || !edit || !deduplicator.take(key, KeyPath::Host, now()))
            return kind != TextFieldKeyResult::Ignored;
        switch (kind) {
            case TextFieldKeyResult::Ignored: return false;
            case TextFieldKeyResult::Return: listener.editBoxReturnPressed(); break;
            case TextFieldKeyResult::Paste: paste(); break;
            case TextFieldKeyResult::Handled: {
                TextField field = currentField();
                applyKey(field, key);
                store(field);
                break;
            }
        }
        return true;
    }

private:
    UINT_PTR subclassId() const { return reinterpret_cast<UINT_PTR>(this); }

    // Milliseconds since the box opened: small enough for a 32-bit long.
    long now() const { return long(GetTickCount64() - createdAt); }

    // The control's text and selection as our editing model (the caret at the end).
    TextField currentField() const {
        TextField field(text(), kMaxLength);
        DWORD start = 0, end = 0;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        field.moveTo(start, false);
        field.moveTo(end, true);
        return field;
    }

    void store(const TextField& field) {
        if (field.text() != text()) SetWindowTextA(edit, field.text().c_str());
        SendMessageA(edit, EM_SETSEL, field.anchor(), field.caret());
        SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    }

    static std::string clipboardText(HWND owner) {
        std::string pasted;
        if (!OpenClipboard(owner)) return pasted;
        if (HANDLE data = GetClipboardData(CF_TEXT)) {
            if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
                SIZE_T size = GlobalSize(data);
                SIZE_T length = 0;
                while (length < size && bytes[length]) ++length;
                pasted.assign(bytes, length);
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        return pasted;
    }

    // The clipboard's printable bytes replace the selection, as many as fit.
    void paste() {
        std::string pasted = clipboardText(edit);
        if (pasted.empty()) return;
        TextField field = currentField();
        field.insert(pasted);
        store(field);
    }

    // The character (WM_CHAR) that follows this key's WM_KEYDOWN is already queued when
    // the host's loop translated the key; it goes with the key.
    void dropQueuedCharacter() {
        MSG queued;
        PeekMessageA(&queued, edit, WM_CHAR, WM_CHAR, PM_REMOVE);
    }

    // True when the message is done with; false passes it on to the control. The box may
    // be gone when it answers true.
    bool keyDown(WPARAM virtualKey) {
        Key key{0, win32::keyNameOf(virtualKey), win32::heldKeyModifiers()};
        if (key.name == KeyName::Unnamed) return false;  // its WM_CHAR decides
        if (!deduplicator.take(key, KeyPath::Window, now())) {
            if (makesCharacter(key.name)) dropQueuedCharacter();
            return true;
        }
        if (key.name == KeyName::Return) {
            dropQueuedCharacter();
            listener.editBoxReturnPressed();
            return true;
        }
        if (key.name == KeyName::Insert && (key.modifiers & kKeyShift)) {
            paste();
            return true;
        }
        return false;
    }

    bool character(WPARAM code) {
        auto c = static_cast<unsigned char>(code);
        int modifiers = win32::heldKeyModifiers();
        bool printable = isPrintableLatin1(c);
        if (!printable && !isEditingControl(c) && c != kControlV) return true;
        // Backspace was matched as its key; a space too.
        if (c != 0x08 && c != ' ' &&
            !deduplicator.take(Key{c, KeyName::Unnamed, modifiers}, KeyPath::Window, now()))
            return true;
        if (c == kControlV) {
            paste();
            return true;
        }
        return false;
    }

    static LRESULT CALLBACK editProcedure(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam, UINT_PTR, DWORD_PTR data) {
        // The listener may destroy the box from inside a report: nothing touches it after one.
        auto* box = reinterpret_cast<Win32EditBox*>(data);
        switch (message) {
            case WM_GETDLGCODE:
                return DefSubclassProc(window, message, wParam, lParam) | DLGC_WANTALLKEYS;
            case WM_KEYDOWN:
                if (box->keyDown(wParam)) return 0;
                break;
            case WM_CHAR:
                if (box->character(wParam)) return 0;
                break;
            case WM_PASTE: box->paste(); return 0;
            // The control's own menu would paste past our filter.
            case WM_CONTEXTMENU: return 0;
            case WM_KILLFOCUS: {
                LRESULT result = DefSubclassProc(window, message, wParam, lParam);
                box->listener.editBoxFocusLost();
                return result;
            }
            case WM_NCDESTROY:
                // Destroyed with its parent, behind the box's back.
                RemoveWindowSubclass(window, editProcedure, box->subclassId());
                box->edit = nullptr;
                break;
            default: break;
        }
        return DefSubclassProc(window, message, wParam, lParam);
    }

    static LRESULT CALLBACK parentProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam, UINT_PTR, DWORD_PTR data) {
        auto* box = reinterpret_cast<Win32EditBox*>(data);
        if (message == WM_CTLCOLOREDIT && box->edit &&
            reinterpret_cast<HWND>(lParam) == box->edit) {
            HDC context = reinterpret_cast<HDC>(wParam);
            SetTextColor(context, box->textColour);
            SetBkColor(context, box->backColour);
            return reinterpret_cast<LRESULT>(box->brush);
        }
        if (message == WM_NCDESTROY) {
            RemoveWindowSubclass(window, parentProcedure, box->subclassId());
            box->parentSubclassed = false;
        }
        return DefSubclassProc(window, message, wParam, lParam);
    }

    HWND parent;
    HWND edit = nullptr;
    EditBoxListener& listener;
    COLORREF textColour;
    COLORREF backColour;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
    bool parentSubclassed = false;
    ULONGLONG createdAt;
    KeyDeduplicator deduplicator;
};

}  // namespace

std::unique_ptr<EditBox> EditBox::create(NativeWindow& parent, const Rect& area,
                                         const std::string& text, const EditBoxStyle& style,
                                         EditBoxListener& listener) {
    HWND parentWindow = reinterpret_cast<HWND>(parent.handle());
    if (area.empty() || !parent.exists() || !IsWindow(parentWindow)) return nullptr;
    auto box = std::make_unique<Win32EditBox>(parentWindow, listener, style);
    if (!box->open(area, parent.scale(), text, style)) return nullptr;
    return box;
}

}  // namespace platform
