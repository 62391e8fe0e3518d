// The headless twins of the popup menu, edit box, file dialogs and drops keep the
// promises of their contracts, which the toolkit tests rely on.
#include <gtest/gtest.h>

#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/HeadlessServices.h"
#include "support/SilentWindow.h"

#include <optional>

namespace {

using namespace platform;
using namespace platform::headless;

class HeadlessServices : public ::testing::Test {
protected:
    void SetUp() override {
        reset();
        window = NativeWindow::createChild(0x42, 200, 100, windowListener);
    }
    SilentWindow windowListener;
    std::unique_ptr<NativeWindow> window;
};

TEST_F(HeadlessServices, AMenuEndsAsScriptedAtTheEndOfAPassOrInsideOpen) {
    std::vector<MenuItem> items(2);
    items[1].id = 7;
    PopupMenuOptions options;
    options.position = Point{5, 6};
    std::vector<std::optional<int>> ends;
    MenuEnded ended = [&ends](std::optional<int> chosen) { ends.push_back(chosen); };

    answerNextMenu(7, 1);
    auto menu = PopupMenu::open(items, options, nullptr, ended);
    ASSERT_TRUE(menu);
    EXPECT_EQ(openMenuCount(), 1);
    processPendingEvents();
    EXPECT_TRUE(ends.empty());  // one pass later
    processPendingEvents();
    EXPECT_EQ(ends, std::vector<std::optional<int>>({7}));
    menu.reset();
    EXPECT_EQ(openMenuCount(), 0);
    ASSERT_TRUE(lastMenu());
    EXPECT_EQ(lastMenu()->items.size(), 2u);
    EXPECT_EQ(lastMenu()->options.position.y, 6);

    answerNextMenu(7);
    menu = PopupMenu::open(items, options, nullptr, ended);
    menu.reset();  // closed by its owner: it tells nothing
    processPendingEvents();
    EXPECT_EQ(ends.size(), 1u);

    // As on Windows: the pump turns inside open; a false pump dismisses.
    answerMenusInsideOpen(true);
    answerNextMenu(7);
    answerNextMenu(7);
    EXPECT_FALSE(PopupMenu::open(items, options, [] { return true; }, ended));
    EXPECT_FALSE(PopupMenu::open(items, options, [] { return false; }, ended));
    EXPECT_FALSE(PopupMenu::open(items, options, nullptr, ended));  // nothing scripted
    EXPECT_EQ(ends, std::vector<std::optional<int>>({7, 7, std::nullopt, std::nullopt}));
    EXPECT_EQ(menusShown(), 5);
}

// Closes its box on Return, as the text edit does.
class ClosingOnReturn : public EditBoxListener {
public:
    void editBoxReturnPressed() override {
        committed = box->text();
        box.reset();
    }
    void editBoxFocusLost() override { ++focusLosses; }
    std::unique_ptr<EditBox> box;
    std::string committed;
    int focusLosses = 0;
};

TEST_F(HeadlessServices, AnEditBoxTypesLikeTheRealOneAndMayCloseOnReturn) {
    ClosingOnReturn listener;
    std::string longText(300, 'n');
    listener.box =
        EditBox::create(*window, Rect{10, 10, 60, 24}, longText, EditBoxStyle{}, listener);
    ASSERT_TRUE(listener.box);
    EXPECT_EQ(listener.box->text().size(), 255u);
    EXPECT_TRUE(openEditBox()->allSelected);

    typeIntoEditBox("ab\tc\x7f\xe9");  // the selection goes; tab and delete are not printable
    EXPECT_EQ(listener.box->text(), "abc\xe9");
    pressEditBoxKey(Key{0, KeyName::Back, 0});
    EXPECT_TRUE(listener.box->forwardKey(Key{'d', KeyName::Unnamed, 0}, true));
    EXPECT_TRUE(listener.box->forwardKey(Key{'d', KeyName::Unnamed, 0}, false));
    EXPECT_EQ(openEditBox()->text, "abcd");
    editBoxLoseFocus();
    EXPECT_EQ(listener.focusLosses, 1);

    EXPECT_TRUE(listener.box->forwardKey(Key{0, KeyName::Return, 0}, true));
    EXPECT_EQ(listener.committed, "abcd");
    EXPECT_FALSE(openEditBox());
    EXPECT_FALSE(typeIntoEditBox("late"));
    EXPECT_EQ(editBoxesCreated(), 1);

    EXPECT_FALSE(EditBox::create(*window, Rect{0, 0, 0, 0}, "", EditBoxStyle{}, listener));
}

TEST_F(HeadlessServices, AFileDialogAnswersAPathOrCancelsAsScripted) {
    FileDialogOptions options;
    options.kind = FileDialogOptions::Kind::Save;
    options.filters = {{"KRV Banks", "*.krb"}};
    std::vector<std::string> ends;
    FileDialogEnded ended = [&ends](const std::string& path) { ends.push_back(path); };
    answerNextFileDialog(std::string("/tmp/bank.krb"));
    auto dialog = FileDialog::open(options, nullptr, ended);
    EXPECT_EQ(openFileDialogCount(), 1);
    processPendingEvents();
    dialog = FileDialog::open(options, nullptr, ended);  // nothing scripted
    processPendingEvents();
    dialog.reset();
    answerFileDialogsInsideOpen(true);
    answerNextFileDialog(std::string("/tmp/other.krb"));
    EXPECT_FALSE(FileDialog::open(options, [] { return false; }, ended));
    EXPECT_EQ(ends, std::vector<std::string>({"/tmp/bank.krb", "", ""}));
    EXPECT_EQ(openFileDialogCount(), 0);
    ASSERT_TRUE(lastFileDialog());
    EXPECT_EQ(lastFileDialog()->filters[0].pattern, "*.krb");
    EXPECT_EQ(fileDialogsShown(), 3);
}

class CountingDrops : public DropListener {
public:
    void dragEntered(int items) override { events.push_back("enter " + std::to_string(items)); }
    void dragMoved() override { events.push_back("move"); }
    void dragLeft() override { events.push_back("leave"); }
    void dropped() override { events.push_back("drop"); }
    std::vector<std::string> events;
};

TEST_F(HeadlessServices, DragsReachARegisteredWindowWithThePointerWhereTheDragIs) {
    CountingDrops listener;
    WindowHandle handle = window->handle();
    EXPECT_FALSE(dragEnter(handle, DragData::text("t"), Point{1, 1}));
    auto target = DropTarget::create(*window, listener);
    ASSERT_TRUE(target);
    EXPECT_TRUE(dragEnter(handle, DragData::files({"/a", "/b"}), Point{30, 40}));
    EXPECT_TRUE(dragMove(handle, Point{31, 42}));
    Point pointer{0, 0};
    queryPointerScreenPosition(pointer);
    EXPECT_EQ(pointer.y, 42);
    EXPECT_TRUE(drop(handle));
    EXPECT_TRUE(dragEnter(handle, DragData::text("t"), Point{1, 1}));
    EXPECT_TRUE(dragLeave(handle));
    EXPECT_EQ(listener.events,
              std::vector<std::string>({"enter 2", "move", "drop", "enter 1", "leave"}));
    target.reset();
    EXPECT_FALSE(isDropTarget(handle));
}

}  // namespace
