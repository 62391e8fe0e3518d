// The preset row as the user meets it: the program menu, the rocker, the name field, the
// memory buttons and the hover look, and program changes that arrive from the host on its
// own thread or while the window is closed.
#include <thread>

#include "PresetRowSupport.h"
#include "editor/CKrOnOffButton.h"
#include "editor/CKrRockerSwitch.h"
#include "editor/CSaveLoadButton.h"
#include "skin/SkinBitmaps.h"
#include "support/TemporaryFolder.h"

namespace {

CRect toCRect(const skin::Rect& r) { return CRect(r.left, r.top, r.right, r.bottom); }

class PresetRowControlsTest : public PresetRowTest {
protected:
    // The id of the entry labelled label in the menu shown last; -1 when none is.
    int menuIdOf(const std::string& label) {
        auto shown = platform::headless::lastMenu();
        if (!shown) return -1;
        for (const platform::MenuItem& item : shown->items)
            if (item.label == label) return item.id;
        return -1;
    }
    // The parameters the host was told of by automation, in order, each run once.
    std::vector<int> automatedIndices() const {
        std::vector<int> indices;
        for (const HostCall& call : fixture.host.callsOf(audioMasterAutomate))
            if (indices.empty() || indices.back() != call.index) indices.push_back(call.index);
        return indices;
    }
};

TEST_F(PresetRowControlsTest, OpenAddsTheElevenControlsInOrderAlongTheBottom) {
    open();
    ASSERT_EQ(frame()->getNbViews(), 11);
    const std::pair<int32_t, skin::Rect> expected[] = {
        {43, skin::kNameField},      {49, skin::kProgramMenu},   {44, skin::kRocker.rect},
        {45, skin::kLoadBank.rect},  {46, skin::kSaveBank.rect}, {47, skin::kLoadPreset.rect},
        {48, skin::kSavePreset.rect}, {50, skin::kRecallA.rect}, {51, skin::kRecallB.rect},
        {52, skin::kStoreA.rect},    {53, skin::kStoreB.rect}};
    for (int32_t i = 0; i < 11; ++i) {
        auto* view = static_cast<CControl*>(frame()->getView(i));
        EXPECT_EQ(view->getTag(), expected[i].first) << i;
        CRect size;
        EXPECT_EQ(view->getViewSize(size), toCRect(expected[i].second)) << i;
    }
    EXPECT_NE(dynamic_cast<CKrRockerSwitch*>(frame()->getView(2)), nullptr);
    for (int32_t i = 3; i < 7; ++i)
        EXPECT_NE(dynamic_cast<CSaveLoadButton*>(frame()->getView(i)), nullptr) << i;
    for (int32_t i = 7; i < 11; ++i)
        EXPECT_NE(dynamic_cast<CKrOnOffButton*>(frame()->getView(i)), nullptr) << i;

    CTextEdit* field = nameField();
    EXPECT_EQ(field->getBackColor(), (CColor{207, 222, 235, 255}));
    EXPECT_EQ(field->getFontColor(), (CColor{76, 76, 72, 255}));
    EXPECT_EQ(field->getFrameColor(), (CColor{76, 76, 72, 255}));
    EXPECT_EQ(field->getFont(), kNormalFontSmall);
    EXPECT_EQ(field->getHoriAlign(), kCenterText);
    EXPECT_EQ(menu()->getStyle(), 0x1400);
    EXPECT_EQ(menu()->getNbItemsPerColumn(), 16);
}

TEST_F(PresetRowControlsTest, TheMenuListsEveryProgramAndChecksTheSelectedOne) {
    open();
    ASSERT_EQ(menu()->getNbEntries(), 34);
    EXPECT_EQ(entry(0), "Current");
    EXPECT_EQ(entry(1), "-");
    EXPECT_EQ(entry(2), "Default");
    EXPECT_EQ(entry(3), "CompressLite1");
    EXPECT_EQ(entry(17), "Kick");
    EXPECT_EQ(entry(33), "Bus Comp 3");
    EXPECT_EQ(fieldText(), "Current");

    platform::headless::answerNextMenu(std::nullopt);
    clickCenterOf(skin::kProgramMenu);
    auto shown = platform::headless::lastMenu();
    ASSERT_TRUE(shown);
    ASSERT_EQ(shown->items.size(), 34u);
    for (size_t i = 0; i < shown->items.size(); ++i) {
        EXPECT_EQ(shown->items[i].checked, i == 0) << i;
        EXPECT_EQ(shown->items[i].columnBreak, i == 16 || i == 32) << i;
    }
    EXPECT_EQ(shown->items[1].kind, platform::MenuItemKind::Separator);
    EXPECT_EQ(fixture.effect().getProgramIndex(), 0);  // dismissed: nothing chosen
}

TEST_F(PresetRowControlsTest, ChoosingKickSelectsProgramSixteenAndTellsTheHost) {
    open();
    platform::headless::answerNextMenu(std::nullopt);
    clickCenterOf(skin::kProgramMenu);
    int kick = menuIdOf("Kick");
    ASSERT_GE(kick, 0);
    fixture.host.clear();

    platform::headless::answerNextMenu(kick);
    clickCenterOf(skin::kProgramMenu);
    EXPECT_EQ(fixture.effect().getProgramIndex(), 16);
    EXPECT_EQ(fieldText(), "Kick");
    EXPECT_EQ(entry(0), "Kick");
    EXPECT_EQ(storedName(0), "Kick");
    EXPECT_EQ(menu()->getCurrent(nullptr, false), 16);
    EXPECT_EQ(automatedIndices(), std::vector<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_FLOAT_EQ(fixture.effect().getParameter(5), fixture.effect().program(16)->getValue(5));

    platform::headless::answerNextMenu(std::nullopt);
    clickCenterOf(skin::kProgramMenu);
    auto shown = platform::headless::lastMenu();
    ASSERT_TRUE(shown);
    EXPECT_FALSE(shown->items[0].checked);
    EXPECT_TRUE(shown->items[17].checked);
}

TEST_F(PresetRowControlsTest, TheRockerStopsAtBothEndsWithoutWrapping) {
    const CRect rocker = toCRect(skin::kRocker.rect);
    const int y = (rocker.top + rocker.bottom) / 2;
    fixture.effect().selectProgram(32);
    open();
    EXPECT_EQ(fieldText(), "Bus Comp 3");
    fixture.host.clear();
    click(rocker.right - 3, y);
    EXPECT_EQ(fixture.effect().getProgramIndex(), 32);
    EXPECT_EQ(automatedIndices().size(), 12u);  // the end program is applied again
    EXPECT_EQ(fieldText(), "Bus Comp 3");

    click(rocker.left + 3, y);
    EXPECT_EQ(fixture.effect().getProgramIndex(), 31);
    EXPECT_EQ(fieldText(), "Bus Comp 2");
    EXPECT_EQ(menu()->getCurrent(nullptr, false), 31);
    EXPECT_EQ(entry(0), "Bus Comp 2");

    dispatch(effEditClose);
    fixture.effect().selectProgram(1);
    open();
    click(rocker.left + 3, y);
    EXPECT_EQ(fixture.effect().getProgramIndex(), 0);
    // Program 0 kept the name of the last selection.
    EXPECT_EQ(fieldText(), "Default");
    EXPECT_EQ(menu()->getCurrent(), 0);
    click(rocker.left + 3, y);
    EXPECT_EQ(fixture.effect().getProgramIndex(), 0);
}

TEST_F(PresetRowControlsTest, ATypedNameIsCutToTwentyFourCharactersEverywhere) {
    fixture.effect().selectProgram(16);
    open();
    clickCenterOf(skin::kNameField);
    ASSERT_TRUE(platform::headless::openEditBox());
    ASSERT_TRUE(platform::headless::typeIntoEditBox("Thirty characters of name!!!!!"));
    platform::Key enter;
    enter.name = platform::KeyName::Return;
    ASSERT_TRUE(platform::headless::pressEditBoxKey(enter));

    const std::string cut = "Thirty characters of nam";
    EXPECT_EQ(storedName(16), cut);
    EXPECT_EQ(storedName(0), cut);
    EXPECT_EQ(fieldText(), cut);
    EXPECT_EQ(entry(17), cut);
    EXPECT_EQ(entry(0), cut);
    EXPECT_EQ(entry(16), "Snare Puncher");  // its neighbours keep their names
    EXPECT_FALSE(fixture.host.callsOf(audioMasterUpdateDisplay).empty());
}

TEST_F(PresetRowControlsTest, MemoryButtonsStoreAndRecallThroughTheSettingsStore) {
    TemporaryFolder root;
    ScopedEnvironment configHome{"XDG_CONFIG_HOME", root.path().c_str()};
    fixture.effect().selectProgram(16);
    open();
    clickCenterOf(skin::kStoreA.rect);
    clickCenterOf(skin::kRocker.rect);  // somewhere else: the left half, program 15
    ASSERT_EQ(fixture.effect().getProgramIndex(), 15);
    EXPECT_EQ(fieldText(), "Snare Puncher");

    clickCenterOf(skin::kRecallA.rect);
    EXPECT_EQ(storedName(15), "Kick");
    EXPECT_EQ(fieldText(), "Kick");
    EXPECT_EQ(entry(16), "Kick");
    EXPECT_EQ(entry(0), "Kick");
    EXPECT_FLOAT_EQ(fixture.effect().getParameter(4), fixture.effect().program(16)->getValue(4));

    // B was never stored: recalling it changes nothing.
    clickCenterOf(skin::kRecallB.rect);
    EXPECT_EQ(fieldText(), "Kick");
}

// Hover looks on screen: the button's second frame while the pointer is over it.
class PresetRowHoverTest : public PresetRowTest {
protected:
    bool showsFrame(const skin::BitmapLayout& layout, int index) {
        const SkinBitmap* strip = findSkinBitmap(layout.id);
        const platform::Canvas* image =
            platform::headless::windowImage(platform::headless::lastWindow());
        if (!strip || !image) return false;
        const int height = layout.frameHeight();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < layout.width; ++x) {
                const unsigned char* rgb =
                    strip->rgb + ((index * height + y) * strip->width + x) * 3;
                platform::Color expected{rgb[0], rgb[1], rgb[2], 255};
                if (image->pixel(layout.rect.left + x, layout.rect.top + y) != expected)
                    return false;
            }
        return true;
    }
    void pointAt(int x, int y) { platform::headless::setPointer(platform::Point{x, y}, 0); }
};

TEST_F(PresetRowHoverTest, TheButtonUnderThePointerLightsUntilThePointerLeaves) {
    open();
    platform::headless::postExpose(platform::headless::lastWindow(), {0, 0, 400, 309});
    pointAt(10, 10);
    idle();
    ASSERT_TRUE(showsFrame(skin::kLoadBank, 0));

    pointAt(125, 300);  // over load bank
    idle();  // the hover is set here and drawn on the next pass
    idle();
    EXPECT_TRUE(showsFrame(skin::kLoadBank, 1));
    EXPECT_TRUE(showsFrame(skin::kSaveBank, 0));

    pointAt(10, 10);
    idle();
    idle();
    EXPECT_TRUE(showsFrame(skin::kLoadBank, 0));

    // The rocker lights the half under the pointer: frame 2 is the right one hovered.
    pointAt(skin::kRocker.rect.right - 3, static_cast<int>(skin::kRocker.rect.centerY()));
    idle();
    idle();
    EXPECT_TRUE(showsFrame(skin::kRocker, 2));
    pointAt(skin::kStoreB.rect.left + 2, skin::kStoreB.rect.top + 2);
    idle();
    idle();
    EXPECT_TRUE(showsFrame(skin::kRocker, 0));
    EXPECT_TRUE(showsFrame(skin::kStoreB, 1));
}

class PresetRowThreadsTest : public PresetRowTest {};

TEST_F(PresetRowThreadsTest, ARenameFromAnotherThreadWaitsForTheEditorsIdle) {
    fixture.effect().selectProgram(16);
    open();
    std::thread host([this] {
        char name[] = "From the worker";
        dispatch(effSetProgramName, 0, 0, name);
    });
    host.join();
    EXPECT_EQ(storedName(16), "From the worker");
    EXPECT_EQ(fieldText(), "Kick");
    EXPECT_EQ(entry(17), "Kick");
    EXPECT_EQ(entry(0), "Kick");

    idle();
    EXPECT_EQ(fieldText(), "From the worker");
    EXPECT_EQ(entry(17), "From the worker");
    EXPECT_EQ(entry(0), "From the worker");
    EXPECT_EQ(menu()->getCurrent(nullptr, false), 16);
}

TEST_F(PresetRowThreadsTest, ABankReadOnAnotherThreadRefreshesTheWholeRowOnIdle) {
    TemporaryFolder folder;
    fixture.effect().selectProgram(5);
    fixture.effect().renameProgram("Saved Five");
    ASSERT_TRUE(fixture.effect().writeBank(folder.path(), "all.krb"));
    fixture.effect().selectProgram(0);
    fixture.effect().initPrograms();
    fixture.effect().selectProgram(9);
    open();
    ASSERT_EQ(entry(6), "CompressMed2");

    std::thread worker([&] { fixture.effect().readBank(folder.path(), "all.krb"); });
    worker.join();
    EXPECT_EQ(entry(6), "CompressMed2");
    EXPECT_EQ(menu()->getCurrent(nullptr, false), 9);

    idle();
    EXPECT_EQ(entry(6), "Saved Five");
    EXPECT_EQ(entry(0), "Saved Five");
    EXPECT_EQ(menu()->getCurrent(nullptr, false), 0);
    EXPECT_EQ(fieldText(), "Saved Five");
}

TEST_F(PresetRowThreadsTest, ARenameWhileClosedShowsOnTheNextOpen) {
    open();
    dispatch(effEditClose);
    char name[] = "Renamed closed";
    dispatch(effSetProgramName, 0, 0, name);
    EXPECT_EQ(frame(), nullptr);
    open();
    EXPECT_EQ(fieldText(), "Renamed closed");
    EXPECT_EQ(entry(0), "Renamed closed");
}

}  // namespace
