// Option menu: its entry list and the ids of the popup tree, the popup as the platform
// receives it, and how a choice (or none) comes back.
#include <algorithm>

#include "TextControlsSupport.h"
#include "gui/COptionMenu.h"
#include "platform/headless/HeadlessServices.h"

namespace {

using platform::MenuItem;
using platform::MenuItemKind;
using platform::headless::answerNextMenu;
using platform::headless::lastMenu;

std::string entryText(const COptionMenu& menu, int32_t index) {
    char text[kTextControlBufferSize] = "?";
    menu.getEntry(index, text);
    return text;
}

std::vector<std::string> entryTexts(const COptionMenu& menu) {
    std::vector<std::string> texts;
    for (int32_t i = 0; i < menu.getNbEntries(); ++i) texts.push_back(entryText(menu, i));
    return texts;
}

COptionMenu* menuWith(std::vector<const char*> texts, int32_t style = 0) {
    auto* menu = new COptionMenu(CRect(0, 0, 40, 14), nullptr, 0, nullptr, nullptr, style);
    for (const char* text : texts) menu->addEntry(text);
    return menu;
}

// Draws menu alone into a fresh image.
std::unique_ptr<platform::Canvas> drawn(COptionMenu& menu) {
    auto image = platform::Canvas::createImage(40, 14);
    CDrawContext* context = new CDrawContext(nullptr, image.get(), nullptr);
    menu.draw(context);
    context->forget();
    return image;
}

bool samePixels(const platform::Canvas& a, const platform::Canvas& b) {
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) return false;
    return true;
}

TEST(OptionMenuEntries, PrefixNumbersAreStoredButNotShownOnTheClosedMenu) {
    COptionMenu* numberedMenu = menuWith({});
    numberedMenu->setPrefixNumbers(3);
    EXPECT_TRUE(numberedMenu->addEntry("Init", -1));
    EXPECT_EQ(entryText(*numberedMenu, 0), "01 Init");
    EXPECT_EQ(numberedMenu->getCurrent(), 0);

    COptionMenu* plain = menuWith({"Init"});
    COptionMenu* unshifted = menuWith({"01 Init"});
    auto shown = drawn(*numberedMenu);
    EXPECT_TRUE(samePixels(*shown, *drawn(*plain)));
    EXPECT_FALSE(samePixels(*shown, *drawn(*unshifted)));
    numberedMenu->forget();
    plain->forget();
    unshifted->forget();

    COptionMenu* modes = menuWith({});
    COptionMenu* sub = menuWith({"x"});
    modes->setPrefixNumbers(2);
    modes->addEntry("A");
    modes->setPrefixNumbers(4);
    modes->addEntry("B");
    modes->setPrefixNumbers(3);
    modes->addEntry(sub, "Sub");
    modes->addEntry(static_cast<const char*>(nullptr), 0);  // empty; the others keep their numbers
    EXPECT_EQ(entryTexts(*modes), std::vector<std::string>({"", "1 A", "002 B", "-M03 Sub"}));
    sub->forget();
    modes->forget();
}

TEST(OptionMenuEntries, InsertingMovesLaterEntriesTheirChecksAndTheCurrentIndex) {
    COptionMenu* menu = menuWith({"A", "B", "C"});
    menu->setCurrent(1);
    menu->checkEntry(1, true);
    EXPECT_TRUE(menu->addEntry("X", 1));
    EXPECT_EQ(entryTexts(*menu), std::vector<std::string>({"A", "X", "B", "C"}));
    EXPECT_EQ(menu->getCurrent(), 2);
    EXPECT_TRUE(menu->isCheckEntry(2));
    EXPECT_FALSE(menu->isCheckEntry(1));

    EXPECT_TRUE(menu->addEntry("Z", 99));  // past the end: appended
    EXPECT_EQ(entryText(*menu, 4), "Z");
    EXPECT_EQ(menu->getCurrent(), 2);
    menu->forget();
}

TEST(OptionMenuEntries, SeparatorsAndTitlesAreSkippedWhenNotCounted) {
    COptionMenu* menu = menuWith({"A", "-", "-TTitle", "B"});
    EXPECT_TRUE(menu->setCurrent(1, false));
    EXPECT_EQ(menu->getCurrent(nullptr, false), 1);
    EXPECT_EQ(menu->getCurrent(nullptr, true), 3);
    char text[kTextControlBufferSize] = "";
    menu->getCurrent(text);
    EXPECT_STREQ(text, "B");

    menu->setCurrent(0);
    EXPECT_TRUE(menu->setCurrent(2, false));  // no third such entry: the last one
    EXPECT_EQ(menu->getCurrent(), 3);
    EXPECT_FALSE(menu->setCurrent(4, false));
    EXPECT_FALSE(menu->setCurrent(-1, false));

    EXPECT_FALSE(menu->setCurrent(1, true));  // a separator cannot be current
    EXPECT_TRUE(menu->setCurrent(2, true));   // a title can
    EXPECT_EQ(menu->getCurrent(), 2);
    menu->forget();
}

TEST(OptionMenuEntries, TheMultipleCheckBitTogglesTheEntryThatBecomesCurrent) {
    COptionMenu* menu = menuWith({"A", "B"}, kMultipleCheckStyle);
    menu->setCurrent(1);
    EXPECT_TRUE(menu->isCheckEntry(1));
    menu->setValue(1.0f);
    EXPECT_FALSE(menu->isCheckEntry(1));
    menu->setValue(0.0f);
    EXPECT_TRUE(menu->isCheckEntry(0));
    EXPECT_EQ(menu->getValue(), 0.0f);

    menu->setValue(5.0f);  // no such entry: nothing happens
    EXPECT_EQ(menu->getCurrent(), 0);
    EXPECT_EQ(menu->getValue(), 0.0f);

    COptionMenu* single = menuWith({"A", "B"}, kCheckStyle);
    single->setCurrent(1);
    EXPECT_FALSE(single->isCheckEntry(1));  // kCheckStyle marks only in the popup
    single->forget();
    menu->forget();
}

TEST(OptionMenuEntries, RemovingMovesLaterEntriesAndChecksDown) {
    COptionMenu* menu = menuWith({"A", "B", "C"});
    menu->checkEntry(2, true);
    menu->setCurrent(2);
    EXPECT_TRUE(menu->removeEntry(1));
    EXPECT_EQ(entryTexts(*menu), std::vector<std::string>({"A", "C"}));
    EXPECT_TRUE(menu->isCheckEntry(1));
    EXPECT_EQ(menu->getCurrent(), 1);
    EXPECT_FALSE(menu->removeEntry(2));
    EXPECT_FALSE(menu->removeEntry(-1));
    menu->removeEntry(0);
    menu->removeEntry(0);
    EXPECT_EQ(menu->getNbEntries(), 0);
    EXPECT_EQ(menu->getCurrent(), -1);
    menu->forget();
}

TEST(OptionMenuEntries, RemovingAllForgetsTheSubMenus) {
    COptionMenu* menu = menuWith({"A"});
    COptionMenu* sub = menuWith({"x"});
    EXPECT_TRUE(menu->addEntry(sub, "Sub"));
    EXPECT_EQ(sub->getNbReference(), 2);
    EXPECT_FALSE(menu->addEntry(nullptr, "None"));
    EXPECT_FALSE(menu->addEntry(sub, nullptr));
    EXPECT_TRUE(menu->removeAllEntry());
    EXPECT_EQ(sub->getNbReference(), 1);
    EXPECT_EQ(menu->getNbEntries(), 0);
    EXPECT_EQ(menu->getCurrent(), -1);
    EXPECT_EQ(menu->getSubMenu(0), nullptr);
    sub->forget();
    menu->forget();
}

TEST(OptionMenuEntries, AtMostOneThousandAndTwentyFourEntries) {
    COptionMenu* menu = menuWith({});
    COptionMenu* sub = menuWith({"x"});
    for (int i = 0; i < COptionMenu::kMaxEntries; ++i) ASSERT_TRUE(menu->addEntry("e"));
    EXPECT_FALSE(menu->addEntry("one more"));
    EXPECT_FALSE(menu->addEntry(sub, "one more"));
    EXPECT_EQ(menu->getNbEntries(), 1024);
    EXPECT_EQ(sub->getNbReference(), 1);
    sub->forget();
    menu->forget();
}

TEST(OptionMenuEntries, LookupsAndChecksAnswerFalseOutsideTheList) {
    COptionMenu* menu = menuWith({"A", "B", "A"});
    EXPECT_EQ(menu->getIndex("A"), 0);
    EXPECT_EQ(menu->getIndex("a"), -1);
    EXPECT_EQ(menu->getIndex(nullptr), -1);
    EXPECT_TRUE(menu->getEntry(1, nullptr));
    EXPECT_FALSE(menu->getEntry(3, nullptr));
    EXPECT_FALSE(menu->setEntry(-1, "x"));
    EXPECT_TRUE(menu->setEntry(1, std::string(300, 'y').c_str()));
    EXPECT_EQ(entryText(*menu, 1), std::string(255, 'y'));

    EXPECT_TRUE(menu->checkEntry(0, true));
    EXPECT_TRUE(menu->checkEntryAlone(2));
    EXPECT_FALSE(menu->isCheckEntry(0));
    EXPECT_TRUE(menu->isCheckEntry(2));
    EXPECT_FALSE(menu->checkEntry(3, true));
    EXPECT_FALSE(menu->checkEntryAlone(-1));
    EXPECT_FALSE(menu->isCheckEntry(3));
    menu->forget();
}

TEST(OptionMenuTree, IdsRunThroughTheMenuThenItsSubMenus) {
    COptionMenu* menu = menuWith({"A", "-"}, kCheckStyle);
    COptionMenu* sub = menuWith({"S1", "S2"}, kMultipleCheckStyle);
    COptionMenu* last = menuWith({"L"});
    menu->addEntry(sub, "Sub");
    menu->addEntry("-GGrey");
    menu->addEntry("-TTitle");
    menu->addEntry("B");
    menu->addEntry(last, "Last");
    sub->checkEntry(1, true);
    menu->setCurrent(5);

    int32_t offset = 0;
    std::vector<MenuItem> items = menu->buildMenuItems(offset);
    EXPECT_EQ(offset, 10);
    ASSERT_EQ(items.size(), 7u);
    std::vector<MenuItemKind> kinds;
    std::vector<std::string> labels;
    std::vector<int> ids;
    for (const MenuItem& item : items) {
        kinds.push_back(item.kind);
        labels.push_back(item.label);
        ids.push_back(item.id);
    }
    EXPECT_EQ(kinds, std::vector<MenuItemKind>({MenuItemKind::Command, MenuItemKind::Separator,
                                                MenuItemKind::Submenu, MenuItemKind::Greyed,
                                                MenuItemKind::Title, MenuItemKind::Command,
                                                MenuItemKind::Submenu}));
    EXPECT_EQ(labels, std::vector<std::string>({"A", "", "Sub", "Grey", "Title", "B", "Last"}));
    EXPECT_EQ(ids[0], 0);
    EXPECT_EQ(ids[3], 3);
    EXPECT_EQ(ids[5], 5);
    EXPECT_FALSE(items[0].checked);
    EXPECT_TRUE(items[5].checked);  // the current entry, with kCheckStyle

    // The first sub-menu's ids follow the seven of the top menu; the second's follow it.
    ASSERT_EQ(items[2].children.size(), 2u);
    EXPECT_EQ(items[2].children[0].id, 7);
    EXPECT_EQ(items[2].children[1].id, 8);
    EXPECT_FALSE(items[2].children[0].checked);
    EXPECT_TRUE(items[2].children[1].checked);  // its own check flag, multiple-check bit
    ASSERT_EQ(items[6].children.size(), 1u);
    EXPECT_EQ(items[6].children[0].id, 9);
    menu->forget();
    sub->forget();
    last->forget();
}

TEST(OptionMenuTree, ASubMenuEntryWithoutASubMenuIsLeftOut) {
    COptionMenu* menu = menuWith({"A", "-MNothing", "B"});
    int32_t offset = 0;
    std::vector<MenuItem> items = menu->buildMenuItems(offset);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].label, "B");
    EXPECT_EQ(items[1].id, 1);  // ids count the items put in the menu

    COptionMenu* loop = menuWith({"A"});
    loop->addEntry(loop, "Itself");
    offset = 0;
    EXPECT_EQ(loop->buildMenuItems(offset).size(), 1u);
    loop->removeAllEntry();  // the menu holds itself: break the cycle
    loop->forget();
    menu->forget();
}

TEST(OptionMenuTree, FortyEntriesInColumnsOfSixteenStartColumnsAtZeroSixteenAndThirtyTwo) {
    COptionMenu* menu = menuWith({});
    for (int i = 0; i < 40; ++i) menu->addEntry(("P" + std::to_string(i)).c_str());
    menu->setNbItemsPerColumn(16);
    int32_t offset = 0;
    std::vector<MenuItem> items = menu->buildMenuItems(offset);
    std::vector<int> breaks;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].columnBreak) breaks.push_back(static_cast<int>(i));
    EXPECT_EQ(breaks, std::vector<int>({16, 32}));

    for (int i = 40; i < 160; ++i) menu->addEntry("more");
    offset = 0;
    items = menu->buildMenuItems(offset);
    EXPECT_TRUE(std::none_of(items.begin(), items.end(),
                             [](const MenuItem& item) { return item.columnBreak; }));
    menu->forget();
}

class OptionMenuPopupTest : public TextControlsTest {
protected:
    // A menu of A, -, Sub (S1, S2), B at (10, 20, 60, 40) of a container at (5, 5).
    void SetUp() override {
        TextControlsTest::SetUp();
        container = new NotedContainer(CRect(5, 5, 150, 100), frame);
        frame->addView(container);
        menu = new COptionMenu(CRect(10, 20, 60, 40), &recorder, 49);
        sub = menuWith({"S1", "S2"});
        menu->addEntry("A");
        menu->addEntry("-");
        menu->addEntry(sub, "Sub");
        menu->addEntry("B");
        container->addView(menu);
    }
    void TearDown() override {
        sub->forget();
        TextControlsTest::TearDown();
    }

    NotedContainer* container = nullptr;
    COptionMenu* menu = nullptr;
    COptionMenu* sub = nullptr;
};

TEST_F(OptionMenuPopupTest, TheMenuOpensBelowTheControlOnTheScreen) {
    answerNextMenu(std::nullopt);
    click(CPoint(20, 30));
    auto shown = lastMenu();
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->options.position.x, 100 + 5 + 10);
    EXPECT_EQ(shown->options.position.y, 200 + 5 + 40);
    EXPECT_EQ(shown->options.owner, window);
    EXPECT_FALSE(shown->options.trackRightButton);
    EXPECT_EQ(shown->options.font.face, "Arial");

    menu->setStyle(kPopupStyle);
    click(CPoint(20, 30), kRButton);
    EXPECT_EQ(lastMenu()->options.position.y, 200 + 5 + 20);
    EXPECT_TRUE(lastMenu()->options.trackRightButton);
    EXPECT_EQ(platform::headless::menusShown(), 2);
}

TEST_F(OptionMenuPopupTest, AChoiceInTheSubMenuIsReportedWithTheSubMenu) {
    answerNextMenu(5);  // the top menu holds ids 0 to 3, the sub-menu 4 and 5
    click(CPoint(20, 30));
    ASSERT_EQ(recorder.controls.size(), 1u);
    EXPECT_EQ(recorder.controls[0], sub);
    EXPECT_EQ(sub->getCurrent(), 1);
    EXPECT_EQ(sub->getValue(), 1.0f);
    EXPECT_EQ(menu->getCurrent(), 0);
    EXPECT_EQ(menu->getLastResult(), 5);
    int32_t index = -1;
    EXPECT_EQ(menu->getLastItemMenu(index), sub);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(editor.edits, std::vector<std::string>({"begin 49", "end 49"}));
    EXPECT_EQ(frame->getFocusView(), nullptr);
}

TEST_F(OptionMenuPopupTest, AChoiceInTheMenuItselfMakesItsEntryCurrent) {
    answerNextMenu(3);
    click(CPoint(20, 30));
    ASSERT_EQ(recorder.controls.size(), 1u);
    EXPECT_EQ(recorder.controls[0], menu);
    EXPECT_EQ(menu->getCurrent(), 3);
    EXPECT_EQ(menu->getCurrent(nullptr, false), 2);
    EXPECT_NE(recorder.contexts[0], nullptr);
}

TEST_F(OptionMenuPopupTest, DismissingReportsNothingButEndsTheEdit) {
    answerNextMenu(std::nullopt);
    click(CPoint(20, 30));
    EXPECT_TRUE(recorder.controls.empty());
    EXPECT_EQ(menu->getLastResult(), -1);
    EXPECT_EQ(editor.edits, std::vector<std::string>({"begin 49", "end 49"}));
    EXPECT_EQ(frame->getFocusView(), nullptr);

    answerNextMenu(99);  // an id no menu holds changes nothing
    click(CPoint(20, 30));
    EXPECT_TRUE(recorder.controls.empty());
    EXPECT_EQ(menu->getCurrent(), 0);
    EXPECT_EQ(editor.edits.size(), 4u);
}

TEST_F(OptionMenuPopupTest, OnlyLeftOrRightClicksOpenAndTheListenerMayTakeModifierClicks) {
    click(CPoint(20, 30), kMButton);
    EXPECT_EQ(platform::headless::menusShown(), 0);
    recorder.modifierAnswer = 1;
    click(CPoint(20, 30), kLButton | kShift);
    EXPECT_EQ(platform::headless::menusShown(), 0);
    EXPECT_EQ(recorder.modifierClicks, std::vector<int32_t>({kLButton | kShift}));
    EXPECT_TRUE(editor.edits.empty());
}

TEST_F(OptionMenuPopupTest, AMenuOpenAcrossPassesReportsWhenItEndsAndOneAtATime) {
    answerNextMenu(3, 2);
    click(CPoint(20, 30));
    EXPECT_TRUE(frame->isPopupMenuOpen());
    EXPECT_EQ(editor.edits, std::vector<std::string>({"begin 49"}));
    platform::processPendingEvents();
    EXPECT_TRUE(recorder.controls.empty());
    platform::processPendingEvents();
    ASSERT_EQ(recorder.controls.size(), 1u);
    EXPECT_EQ(menu->getCurrent(), 3);
    EXPECT_FALSE(frame->isPopupMenuOpen());
    EXPECT_EQ(platform::headless::openMenuCount(), 0);

    // A second menu opening while one is open dismisses the first.
    answerNextMenu(3, 5);
    click(CPoint(20, 30));
    answerNextMenu(0);
    click(CPoint(20, 30));
    EXPECT_EQ(platform::headless::openMenuCount(), 0);
    EXPECT_EQ(menu->getCurrent(), 0);
    EXPECT_EQ(recorder.controls.size(), 2u);
    EXPECT_EQ(editor.edits, std::vector<std::string>({"begin 49", "end 49", "begin 49",
                                                      "end 49", "begin 49", "end 49"}));
}

TEST_F(OptionMenuPopupTest, AMenuTheSystemTracksInsideTheClickReportsBeforeItReturns) {
    platform::headless::answerMenusInsideOpen(true);
    answerNextMenu(3);
    {
        ImageContext context(1, 1, frame);
        CPoint where(20, 30);
        frame->mouse(context.context, where, kLButton);
    }
    ASSERT_EQ(recorder.controls.size(), 1u);
    EXPECT_EQ(menu->getCurrent(), 3);
    EXPECT_EQ(lastMenu()->pumpTurns, 1);
    EXPECT_GE(editor.idles, 1);  // the pump is the editor's idle work
    EXPECT_FALSE(frame->isPopupMenuOpen());
}

// An editor whose host closes the editor window during the idle work of a system's menu.
class ClosingEditor : public RecordingFrameEditor {
public:
    void doIdleStuff() override {
        RecordingFrameEditor::doIdleStuff();
        if (frame) frame->detachEditor();
    }
    CFrame* frame = nullptr;
};

TEST(OptionMenuPopup, AMenuWhoseEditorLetsTheFrameGoMeanwhileReportsNothing) {
    for (bool insideOpen : {false, true}) {
        SCOPED_TRACE(insideOpen ? "tracked inside open" : "open across passes");
        platform::headless::reset();
        platform::headless::answerMenusInsideOpen(insideOpen);
        ClosingEditor closing;
        auto* frame = new CFrame(CRect(0, 0, 100, 100), reinterpret_cast<void*>(0x42), &closing);
        closing.frame = frame;
        ControlRecorder recorder;
        auto* menu = new COptionMenu(CRect(0, 0, 50, 20), &recorder, 49);
        menu->addEntry("A");
        menu->addEntry("B");
        frame->addView(menu);
        answerNextMenu(1);
        {
            ImageContext context(1, 1, frame);
            CPoint where(10, 10);
            frame->mouse(context.context, where, kLButton);
        }
        if (!insideOpen) frame->detachEditor();
        platform::processPendingEvents();
        EXPECT_EQ(platform::headless::menusShown(), 1);
        EXPECT_EQ(platform::headless::openMenuCount(), 0);
        EXPECT_TRUE(recorder.controls.empty());
        EXPECT_EQ(menu->getCurrent(), 0);
        // The frame ended the edit for the host when it let the editor go.
        EXPECT_EQ(closing.edits, std::vector<std::string>({"begin 49", "end 49"}));
        frame->forget();
    }
}

}  // namespace
