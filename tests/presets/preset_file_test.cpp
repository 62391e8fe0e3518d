// Preset files: exact bytes, round trips of every factory program, the checks and their
// messages, the name-only layout and what a read does to the selection.
#include "presets/FileBytes.h"
#include "presets/ProgramFileFixture.h"

namespace {

using PresetFileTest = ProgramFileTest;

TEST_F(PresetFileTest, PresetOfProgram12HasTheExactLayout) {
    effect.selectProgram(12);
    ASSERT_TRUE(effect.writePreset(folder.path(), "hats.krv"));
    std::string expected = std::string("WVRK\x21", 5) + "Hats Smasher" + std::string(12, '\0');
    for (float v : {1.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.775f, 0.425f}) expected += le32(v);
    for (int i = 7; i < 12; ++i) expected += le32(0.0f);
    EXPECT_EQ(folder.read("hats.krv"), expected);
}

TEST_F(PresetFileTest, EveryFactoryProgramSurvivesARoundTrip) {
    InProcessEffect reader;
    CPresetSystemEffect& target = reader.effect();
    for (int k = 0; k < 33; ++k) {
        effect.selectProgram(k);
        std::string name = "p" + std::to_string(k) + ".krv";
        ASSERT_TRUE(effect.writePreset(folder.path(), name));
        int selected = (k * 7 + 3) % 33;
        target.selectProgram(selected);
        ASSERT_TRUE(target.readPreset(folder.path(), name)) << k;
        ProgramState written = programState(effect, k);
        EXPECT_EQ(programState(target, selected), written) << k;
        EXPECT_EQ(programState(target, 0), written) << k;
        EXPECT_EQ(target.getProgramIndex(), selected);
    }
}

TEST_F(PresetFileTest, ReadReplacesAndReselectsTheSelectedProgram) {
    effect.selectProgram(17);
    StoreSnapshot before = storeSnapshot(effect);
    folder.write("in.krv", header(0x21) + record("Loaded", {0.5f, 0.25f, 1.0f / 6, 0, 0.125f}));
    host.clear();
    ASSERT_TRUE(effect.readPreset(folder.path(), "in.krv"));

    StoreSnapshot after = storeSnapshot(effect);
    EXPECT_EQ(after.selected, 17);
    const ProgramState& loaded = after.programs[17];
    EXPECT_EQ(loaded.name, "Loaded");
    EXPECT_EQ(loaded.values[2], 1.0f / 6);
    EXPECT_EQ(after.programs[0], loaded);
    for (int k = 1; k < 33; ++k) {
        if (k == 17) continue;
        EXPECT_EQ(after.programs[k], before.programs[k]) << k;
    }
    expectSelectionReported(loaded);
    EXPECT_EQ(editor->log, std::vector<std::string>{"renamed Loaded"});
}

TEST_F(PresetFileTest, NameFieldsAreReadUpToTheirZeroOrAll24Bytes) {
    std::string garbageAfterZero = std::string("Abc\0garbage", 11);
    folder.write("zero.krv", header(0x21) + record(garbageAfterZero, {0.5f}));
    folder.write("full.krv", header(0x21) + record("ABCDEFGHIJKLMNOPQRSTUVWXYZ", {0.5f}));
    ASSERT_TRUE(effect.readPreset(folder.path(), "zero.krv"));
    EXPECT_EQ(programState(effect, 0).name, "Abc");
    ASSERT_TRUE(effect.readPreset(folder.path(), "full.krv"));
    EXPECT_EQ(programState(effect, 0).name, "ABCDEFGHIJKLMNOPQRSTUVWX");
}

TEST_F(PresetFileTest, A149ByteFileRenamesTheSelectedProgramOnly) {
    effect.selectProgram(4);
    StoreSnapshot before = storeSnapshot(effect);
    std::string bytes = header(0x21) + nameField("Only a name");
    bytes.resize(149, '\x3f');
    folder.write("name.krv", bytes);
    ASSERT_TRUE(effect.readPreset(folder.path(), "name.krv"));

    StoreSnapshot after = storeSnapshot(effect);
    EXPECT_EQ(after.programs[4].name, "Only a name");
    EXPECT_EQ(std::memcmp(after.programs[4].values, before.programs[4].values,
                          sizeof(before.programs[4].values)),
              0);
    for (int k = 1; k < 33; ++k) {
        if (k == 4) continue;
        EXPECT_EQ(after.programs[k], before.programs[k]) << k;
    }
}

TEST_F(PresetFileTest, ForeignMistypedAndShortFilesAreRefusedWithTheirMessage) {
    std::string preset = header(0x21) + record("Fine", {0.5f});
    std::string bank = header(0x37);
    for (int j = 0; j < 33; ++j) bank += record("In a bank", {0.5f});
    std::string foreign = preset;
    foreign.replace(0, 4, "krvw");
    folder.write("bank.krb", bank);
    folder.write("foreign.krv", foreign);
    for (std::size_t length : {0u, 4u, 5u, 28u, 76u})
        folder.write("short" + std::to_string(length) + ".krv", preset.substr(0, length));
    effect.selectProgram(2);
    StoreSnapshot before = storeSnapshot(effect);
    host.clear();

    EXPECT_FALSE(effect.readPreset(folder.path(), "bank.krb"));
    EXPECT_FALSE(effect.readPreset(folder.path(), "foreign.krv"));
    for (std::size_t length : {0u, 4u, 5u, 28u, 76u})
        EXPECT_FALSE(effect.readPreset(folder.path(), "short" + std::to_string(length) + ".krv"));
    std::vector<std::string> expected = {"Error #02: Not a preset file!",
                                         "Error #01: Invalid preset file!"};
    expected.resize(7, "Error #02: Not a preset file!");
    EXPECT_EQ(messages(), expected);
    EXPECT_EQ(storeSnapshot(effect), before);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(editor->log.empty());
}

TEST_F(PresetFileTest, AValueOf1Point5LoadsAs1) {
    folder.write("loud.krv", header(0x21) + record("Loud", {1.5f, 0, 0, 0, 0, 0, 1.5f}));
    ASSERT_TRUE(effect.readPreset(folder.path(), "loud.krv"));
    EXPECT_EQ(effect.program(0)->getValue(6), 1.0f);
    EXPECT_EQ(effect.getParameter(6), 1.0f);
}

TEST_F(PresetFileTest, MissingFilesAndEmptyNamesAreSilent) {
    StoreSnapshot before = storeSnapshot(effect);
    host.clear();
    EXPECT_FALSE(effect.readPreset(folder.path(), "missing.krv"));
    EXPECT_FALSE(effect.writePreset(folder.path(), ""));
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(storeSnapshot(effect), before);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(folder.entryCount(), 0u);
}

}  // namespace
