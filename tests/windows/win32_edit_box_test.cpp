// The edit box as a real EDIT control in a window of ours: keys as a host's loop delivers
// them (posted, translated, dispatched), keys the host forwards, the clipboard, and the
// focus moved elsewhere.
#include "DialogsDesk.h"

#include <cstring>
#include <string>

#include "platform/EditBox.h"

using platform::EditBox;
using platform::Key;
using platform::KeyName;

namespace {

struct RecordingEditListener : platform::EditBoxListener {
    void editBoxReturnPressed() override {
        ++returns;
        if (closeOnReturn) close();
    }
    void editBoxFocusLost() override {
        ++focusLosses;
        if (closeOnFocusLoss) close();
    }
    void close() {
        textAtClose = box->text();
        box.reset();
    }
    int returns = 0;
    int focusLosses = 0;
    bool closeOnReturn = false;
    bool closeOnFocusLoss = false;
    std::string textAtClose;
    std::unique_ptr<EditBox> box;
};

bool putOnClipboard(HWND owner, const std::string& text) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    bool stored = false;
    if (memory) {
        std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        stored = SetClipboardData(CF_TEXT, memory) != nullptr;
        if (!stored) GlobalFree(memory);
    }
    CloseClipboard();
    return stored;
}

}  // namespace

class Win32EditBoxTest : public DialogsDesk {
protected:
    static constexpr platform::Rect kArea{20, 20, 220, 40};

    void TearDown() override {
        edit.box.reset();
        DialogsDesk::TearDown();
    }

    EditBox& open(const std::string& text, platform::TextAlign align = platform::TextAlign::Left) {
        platform::EditBoxStyle style;
        style.align = align;
        style.font = platform::FontSpec{"Arial", 14};
        style.text = platform::Color{76, 76, 72, 255};
        style.background = platform::Color{207, 222, 235, 255};
        edit.box = EditBox::create(*window, kArea, text, style, edit);
        EXPECT_TRUE(edit.box);
        control = GetFocus();
        settle([] { return false; }, 3);
        return *edit.box;
    }

    // A press as the system delivers it: key down, translated into its character.
    void press(WPARAM virtualKey) {
        PostMessageA(control, WM_KEYDOWN, virtualKey, 1);
        PostMessageA(control, WM_KEYUP, virtualKey, 1 | (1u << 30) | (1u << 31));
        settle([] { return false; }, 2);
    }
    void type(const std::string& text) {
        for (char c : text) PostMessageA(control, WM_CHAR, static_cast<unsigned char>(c), 1);
        settle([] { return false; }, 2);
    }
    std::pair<DWORD, DWORD> selection() const {
        DWORD start = 0, end = 0;
        SendMessageA(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }

    RecordingEditListener edit;
    HWND control = nullptr;
};

TEST_F(Win32EditBoxTest, OpensOverTheAreaWithTheTextSelectedAndTheFocus) {
    open("Current", platform::TextAlign::Center);
    char className[16] = {};
    GetClassNameA(control, className, sizeof className);
    EXPECT_STRCASEEQ(className, "Edit");
    EXPECT_EQ(GetParent(control), editor);
    RECT placed{};
    GetWindowRect(control, &placed);
    MapWindowPoints(nullptr, editor, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, kArea.left);
    EXPECT_EQ(placed.top, kArea.top);
    EXPECT_EQ(placed.right, kArea.right);
    EXPECT_EQ(placed.bottom, kArea.bottom);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    EXPECT_TRUE(style & ES_CENTER);
    EXPECT_TRUE(style & ES_AUTOHSCROLL);
    EXPECT_EQ(SendMessageA(control, EM_GETLIMITTEXT, 0, 0), EditBox::kMaxLength);

    EXPECT_EQ(edit.box->text(), "Current");
    EXPECT_EQ(selection(), std::make_pair(DWORD(0), DWORD(7)));

    LOGFONTA font{};
    auto handle = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    ASSERT_TRUE(handle);
    GetObjectA(handle, sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "Arial");
    EXPECT_EQ(font.lfHeight, -14);
}

TEST_F(Win32EditBoxTest, AtItsParentsScaleItCoversTheDeviceRectangleInAFontAsMuchLarger) {
    window->setScale(1.5);
    open("Current");
    RECT placed{};
    GetWindowRect(control, &placed);
    MapWindowPoints(nullptr, editor, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, 30);
    EXPECT_EQ(placed.top, 30);
    EXPECT_EQ(placed.right, 330);
    EXPECT_EQ(placed.bottom, 60);
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_EQ(font.lfHeight, -21);
}

TEST_F(Win32EditBoxTest, ItsParentAnswersWithTheStyleColoursWhileItIsOpen) {
    open("Kick");
    HDC context = GetDC(control);
    LRESULT brush = SendMessageA(editor, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(context),
                                 reinterpret_cast<LPARAM>(control));
    EXPECT_NE(brush, 0);
    EXPECT_EQ(GetTextColor(context), RGB(76, 76, 72));
    EXPECT_EQ(GetBkColor(context), RGB(207, 222, 235));
    LOGBRUSH fill{};
    GetObjectA(reinterpret_cast<HBRUSH>(brush), sizeof fill, &fill);
    EXPECT_EQ(fill.lbColor, RGB(207, 222, 235));
    ReleaseDC(control, context);

    // Closed, the parent's own procedure answers again: the subclass is gone.
    edit.box.reset();
    EXPECT_FALSE(IsWindow(control));
    HDC screen = GetDC(editor);
    EXPECT_EQ(SendMessageA(editor, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(screen),
                           reinterpret_cast<LPARAM>(control)),
              DefWindowProcA(editor, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(screen),
                             reinterpret_cast<LPARAM>(control)));
    ReleaseDC(editor, screen);
}

TEST_F(Win32EditBoxTest, TypingReplacesTheSelectionAndReturnIsReported) {
    open("Current");
    type("Bus");
    EXPECT_EQ(edit.box->text(), "Bus");
    press(VK_BACK);
    EXPECT_EQ(edit.box->text(), "Bu");
    EXPECT_EQ(edit.returns, 0);
    press(VK_RETURN);
    EXPECT_EQ(edit.returns, 1);
    EXPECT_EQ(edit.box->text(), "Bu");  // Return adds nothing to the text
}

TEST_F(Win32EditBoxTest, ControlCharactersAreRefused) {
    open("");
    type(std::string("a\tb\x1b" "c\x7f" "d\x85" "e\x02"));
    EXPECT_EQ(edit.box->text(), "abcde");
    type("\xe9\xa0");  // Latin-1 letters and the no-break space are printable
    EXPECT_EQ(edit.box->text(), "abcde\xe9\xa0");
}

TEST_F(Win32EditBoxTest, LongPasteIsCutAtTheLimitAndKeepsOnlyPrintableBytes) {
    open("old");
    std::string pasted = "line\r\nbreak\t" + std::string(300, 'x');
    ASSERT_TRUE(putOnClipboard(top, pasted));
    SendMessageA(control, WM_PASTE, 0, 0);
    std::string text = edit.box->text();
    EXPECT_EQ(text.size(), size_t(EditBox::kMaxLength));
    EXPECT_EQ(text.substr(0, 10), "linebreakx");
    EXPECT_EQ(text.find_first_of("\r\n\t"), std::string::npos);

    // Ctrl+V typed goes the same way.
    ASSERT_TRUE(putOnClipboard(top, "A\x01" "B"));
    SendMessageA(control, EM_SETSEL, 0, -1);
    type("\x16");
    EXPECT_EQ(edit.box->text(), "AB");
}

TEST_F(Win32EditBoxTest, FocusMovedElsewhereIsReported) {
    open("Kick");
    SetFocus(editor);
    settle([&] { return edit.focusLosses > 0; }, 20);
    EXPECT_EQ(edit.focusLosses, 1);
}

TEST_F(Win32EditBoxTest, AListenerMayCloseTheBoxInsideEitherReport) {
    edit.closeOnReturn = true;
    open("Current");
    type("Snare");
    press(VK_RETURN);
    EXPECT_FALSE(edit.box);
    EXPECT_EQ(edit.textAtClose, "Snare");
    EXPECT_FALSE(IsWindow(control));
    // Closing reports no loss of focus of its own.
    EXPECT_EQ(edit.focusLosses, 0);

    edit.closeOnReturn = false;
    edit.closeOnFocusLoss = true;
    open("Kick");
    type("Hat");
    SetFocus(editor);
    settle([&] { return !edit.box; }, 20);
    EXPECT_FALSE(edit.box);
    EXPECT_EQ(edit.textAtClose, "Hat");
    EXPECT_EQ(edit.focusLosses, 1);
}

TEST_F(Win32EditBoxTest, KeysTheHostForwardsAreTakenOnceWhicheverPathComesFirst) {
    open("Current");
    // A key only the host saw is typed into the box.
    EXPECT_TRUE(edit.box->forwardKey(Key{'K', KeyName::Unnamed, platform::kKeyShift}, true));
    EXPECT_EQ(edit.box->text(), "K");
    // The same press reaching the control too is not typed twice.
    type("K");
    EXPECT_EQ(edit.box->text(), "K");
    // The control first, then the host's copy.
    type("i");
    EXPECT_TRUE(edit.box->forwardKey(Key{'i', KeyName::Unnamed, 0}, true));
    EXPECT_EQ(edit.box->text(), "Ki");
    // Named keys edit through the host's path as well.
    EXPECT_TRUE(edit.box->forwardKey(Key{0, KeyName::Back, 0}, true));
    EXPECT_EQ(edit.box->text(), "K");
    press(VK_BACK);
    EXPECT_EQ(edit.box->text(), "K");
    // Releases of its keys belong to the box; keys it does not use do not.
    EXPECT_TRUE(edit.box->forwardKey(Key{'i', KeyName::Unnamed, 0}, false));
    EXPECT_FALSE(edit.box->forwardKey(Key{0, KeyName::PageUp, 0}, true));
    EXPECT_EQ(edit.box->text(), "K");
    // Return reported once for both paths.
    EXPECT_TRUE(edit.box->forwardKey(Key{0, KeyName::Return, 0}, true));
    press(VK_RETURN);
    EXPECT_EQ(edit.returns, 1);
}

TEST_F(Win32EditBoxTest, NotCreatedOverAnEmptyAreaOrAGoneWindow) {
    platform::EditBoxStyle style;
    EXPECT_FALSE(EditBox::create(*window, platform::Rect{10, 10, 10, 30}, "x", style, edit));
    DestroyWindow(editor);
    EXPECT_FALSE(EditBox::create(*window, kArea, "x", style, edit));
}

TEST_F(Win32EditBoxTest, ParentDestroyedUnderTheOpenBox) {
    open("Kick");
    DestroyWindow(editor);
    EXPECT_FALSE(IsWindow(control));
    // The box knows its control is gone: no text, no keys, nothing destroyed twice.
    EXPECT_EQ(edit.box->text(), "");
    edit.box->forwardKey(Key{'a', KeyName::Unnamed, 0}, true);
    EXPECT_EQ(edit.box->text(), "");
    edit.box.reset();
}
