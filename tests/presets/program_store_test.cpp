// The program store: records, selection, edits, renames and what the host hears of them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/InProcessEffect.h"

namespace {

TEST(CProgramTest, NewRecordDefaults) {
    CProgram p;
    char name[25];
    p.getName(name);
    EXPECT_STREQ(name, "init");
    const float values[12] = {1, 0, 0, 0, 0.5f, 0.5f, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(p.getValue(i), values[i]);
}

TEST(CProgramTest, ValuesAreClampedAndIndicesChecked) {
    CProgram p;
    p.setValue(3, 1.5f);
    EXPECT_EQ(p.getValue(3), 1.0f);
    p.setValue(3, -0.2f);
    EXPECT_EQ(p.getValue(3), 0.0f);
    p.setValue(3, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(p.getValue(3), 0.0f);
    p.setValue(12, 0.5f);
    p.setValue(-1, 0.5f);
    EXPECT_EQ(p.getValue(12), -1.0f);
    EXPECT_EQ(p.getValue(-1), -1.0f);
    const float defaults[12] = {1, 0, 0, 0, 0.5f, 0.5f, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(p.getValue(i), defaults[i]) << i;
}

TEST(CProgramTest, NamesAreCutAt24Characters) {
    CProgram p;
    p.setName("123456789012345678901234567890");
    char name[25];
    p.getName(name);
    EXPECT_STREQ(name, "123456789012345678901234");
    p.setName(nullptr);
    p.getName(name);
    EXPECT_STREQ(name, "");
}

class ProgramStoreTest : public ::testing::Test {
protected:
    std::string nameOf(int k) {
        char name[25];
        effect.program(k)->getName(name);
        return name;
    }
    InProcessEffect fixture;
    AutoComp& effect = fixture.effect();
    RecordingHost& host = fixture.host;
};

TEST_F(ProgramStoreTest, SelectionCopiesIntoProgramZeroAndReportsEachParameter) {
    effect.selectProgram(12);
    EXPECT_EQ(effect.getProgramIndex(), 12);
    EXPECT_EQ(nameOf(0), "Hats Smasher");
    const float values[12] = {1, 0, 1, 0, 0, 0.775f, 0.425f, 0, 0, 0, 0, 0};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(effect.program(0)->getValue(i), values[i]) << i;
        EXPECT_EQ(effect.getParameter(i), values[i]) << i;
    }
    ASSERT_EQ(host.calls.size(), 12u * 4 + 1);
    for (int i = 0; i < 12; ++i) {
        const HostCall* c = &host.calls[4 * i];
        EXPECT_EQ(c[0].opcode, audioMasterBeginEdit);
        EXPECT_EQ(c[1].opcode, audioMasterAutomate);
        EXPECT_EQ(c[1].opt, values[i]);
        EXPECT_EQ(c[2].opcode, audioMasterAutomate);
        EXPECT_EQ(c[2].opt, values[i]);
        EXPECT_EQ(c[3].opcode, audioMasterEndEdit);
        for (int j = 0; j < 4; ++j) EXPECT_EQ(c[j].index, i);
    }
    EXPECT_EQ(host.calls.back().opcode, audioMasterUpdateDisplay);
    char display[32];
    effect.getParameterDisplay(2, display);
    EXPECT_STREQ(display, "10:1");
}

TEST_F(ProgramStoreTest, SelectingDoesNotWriteIntoTheSelectedProgram) {
    effect.selectProgram(5);
    EXPECT_EQ(nameOf(5), "CompressMed2");
    EXPECT_EQ(effect.program(5)->getValue(6), 0.15f);
}

TEST_F(ProgramStoreTest, EditsLandInTheSelectedProgramAndSurviveSteppingAway) {
    effect.selectProgram(5);
    effect.setParameter(4, 0.7f);
    EXPECT_EQ(effect.program(5)->getValue(4), 0.7f);
    EXPECT_EQ(effect.program(0)->getValue(4), 0.7f);
    EXPECT_EQ(effect.program(6)->getValue(4), 0.5f);
    effect.selectProgram(6);
    EXPECT_EQ(effect.getParameter(4), 0.5f);
    effect.selectProgram(5);
    EXPECT_EQ(effect.getParameter(4), 0.7f);
}

TEST_F(ProgramStoreTest, RenamesCutAt24AndReachSelectedAndWorkingCopy) {
    effect.selectProgram(7);
    host.clear();
    effect.renameProgram("abcdefghijklmnopqrstuvwxyz0123");
    EXPECT_EQ(nameOf(7), "abcdefghijklmnopqrstuvwx");
    EXPECT_EQ(nameOf(0), "abcdefghijklmnopqrstuvwx");
    EXPECT_TRUE(host.calls.empty());  // a rename from outside the editor asks no refresh

    effect.storeProgramName("From the editor, also cut here");
    EXPECT_EQ(nameOf(7), "From the editor, also cu");
    EXPECT_EQ(nameOf(0), "From the editor, also cu");
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0].opcode, audioMasterUpdateDisplay);
    EXPECT_EQ(nameOf(8), "SlowLim");
}

TEST_F(ProgramStoreTest, HostSetProgramZeroKeepsTheSelection) {
    effect.selectProgram(9);
    effect.setParameter(5, 0.9f);
    AEffect* e = fixture.record();
    e->dispatcher(e, effSetProgram, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(effect.getProgramIndex(), 9);
    EXPECT_EQ(effect.getParameter(5), 0.9f);
    EXPECT_EQ(effect.program(9)->getValue(5), 0.9f);
    EXPECT_EQ(effect.getProgram(), 0);
}

TEST_F(ProgramStoreTest, ProgramNamesToTheHost) {
    effect.selectProgram(16);
    char name[64] = {};
    effect.getProgramName(name);
    EXPECT_STREQ(name, "Kick");
    EXPECT_TRUE(effect.getProgramNameIndexed(-5, 0, name));
    EXPECT_STREQ(name, "Kick");
    std::strcpy(name, "untouched");
    EXPECT_FALSE(effect.getProgramNameIndexed(0, 1, name));
    EXPECT_STREQ(name, "untouched");
}

TEST_F(ProgramStoreTest, ApplyParameterReportsClampedThenGivenValue) {
    effect.applyParameter(6, 1.5f);
    ASSERT_EQ(host.calls.size(), 4u);
    EXPECT_EQ(host.calls[1].opt, 1.0f);
    EXPECT_EQ(host.calls[2].opt, 1.5f);
    EXPECT_EQ(effect.getParameter(6), 1.0f);
}

}  // namespace
