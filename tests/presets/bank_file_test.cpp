// Bank files: exact bytes, round trips, the checks and their messages, the name-only
// layout, short and odd files, and what the host and the editor hear of a read.
#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include <cmath>
#include <filesystem>
#include <limits>

#include "presets/FileBytes.h"
#include "presets/ProgramFileFixture.h"

namespace {

using BankFileTest = ProgramFileTest;

// A valid bank whose program j is named "Bank j" and holds the values (j + i) / 64.
std::string numberedBank() {
    std::string bytes = header(0x37);
    for (int j = 0; j < 33; ++j) {
        bytes += nameField("Bank " + std::to_string(j));
        for (int i = 0; i < 12; ++i) bytes += le32((j + i) / 64.0f);
    }
    return bytes;
}

TEST_F(BankFileTest, BankWrittenAfterStartHasTheExactLayout) {
    ASSERT_TRUE(effect.writeBank(folder.path(), "start.krb"));
    std::string bytes = folder.read("start.krb");
    ASSERT_EQ(bytes.size(), 2381u);
    EXPECT_EQ(bytes.substr(0, 5), std::string("WVRK\x37", 5));
    EXPECT_EQ(bytes.substr(5, 72), record("Current", {1, 0, 0.5f, 0, 0.5f, 0.5f}));
    EXPECT_EQ(bytes.substr(5 + 72 * 12, 24), nameField("Hats Smasher"));
    EXPECT_EQ(fromLe32(bytes, 5 + 72 * 12 + 24 + 4 * 5), 0.775f);
    EXPECT_EQ(bytes.substr(5 + 72 * 32, 24), nameField("Bus Comp 3"));
    EXPECT_EQ(fromLe32(bytes, 5 + 72 * 32 + 24 + 4 * 6), 0.083f);
}

TEST_F(BankFileTest, EveryProgramSurvivesARoundTrip) {
    for (int k = 1; k < 33; ++k) {
        effect.selectProgram(k);
        effect.setParameter(k % 12, 1.0f / k);
    }
    effect.renameProgram("Exactly twenty-four char");
    StoreSnapshot saved = storeSnapshot(effect);
    ASSERT_TRUE(effect.writeBank(folder.path(), "all.krb"));

    InProcessEffect other;
    ASSERT_TRUE(other.effect().readBank(folder.path(), "all.krb"));
    StoreSnapshot loaded = storeSnapshot(other.effect());
    saved.selected = 0;  // a read bank selects program 0
    EXPECT_EQ(loaded, saved);
    EXPECT_EQ(loaded.programs[32].name, "Exactly twenty-four char");
}

TEST_F(BankFileTest, ReadReplacesTheStoreTellsTheEditorAndSelectsProgramZero) {
    effect.selectProgram(9);
    folder.write("numbered.krb", numberedBank());
    host.clear();
    ASSERT_TRUE(effect.readBank(folder.path() + "/", "numbered.krb"));

    StoreSnapshot store = storeSnapshot(effect);
    EXPECT_EQ(store.selected, 0);
    for (int j = 0; j < 33; ++j) {
        EXPECT_EQ(store.programs[j].name, "Bank " + std::to_string(j));
        for (int i = 0; i < 12; ++i) EXPECT_EQ(store.programs[j].values[i], (j + i) / 64.0f);
    }
    expectSelectionReported(store.programs[0]);
    ASSERT_EQ(editor->log.size(), 35u);
    EXPECT_EQ(editor->log[0], "entry 0 Bank 0");
    EXPECT_EQ(editor->log[32], "entry 32 Bank 32");
    EXPECT_EQ(editor->log[33], "current 0");
    EXPECT_EQ(editor->log[34], "field Bank 0");
    EXPECT_TRUE(messages().empty());
}

TEST_F(BankFileTest, BigEndianMagicIsReadAsWell) {
    std::string bytes = numberedBank();
    bytes.replace(0, 4, "KRVW");
    folder.write("big.krb", bytes);
    ASSERT_TRUE(effect.readBank(folder.path(), "big.krb"));
    EXPECT_EQ(programState(effect, 7).name, "Bank 7");
}

TEST_F(BankFileTest, ForeignOrMistypedFilesAreRefusedWithTheirMessage) {
    std::string preset = header(0x21) + record("A preset", {0.25f});
    std::string foreign = numberedBank();
    foreign.replace(0, 4, "RIFF");
    std::string swappedHalf = numberedBank();
    swappedHalf.replace(0, 4, "WVKR");
    folder.write("preset.krv", preset);
    folder.write("foreign.krb", foreign);
    folder.write("swapped.krb", swappedHalf);
    StoreSnapshot before = storeSnapshot(effect);
    host.clear();

    EXPECT_FALSE(effect.readBank(folder.path(), "preset.krv"));
    EXPECT_FALSE(effect.readBank(folder.path(), "foreign.krb"));
    EXPECT_FALSE(effect.readBank(folder.path(), "swapped.krb"));
    EXPECT_EQ(messages(), (std::vector<std::string>{"Not a bank file!",
                                                    "Error #01: Invalid preset file!",
                                                    "Error #01: Invalid preset file!"}));
    EXPECT_EQ(storeSnapshot(effect), before);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(editor->log.empty());
}

TEST_F(BankFileTest, ShortFilesAreRefusedWholeAsNotABank) {
    std::string bank = numberedBank();
    StoreSnapshot before = storeSnapshot(effect);
    for (std::size_t length : {0u, 3u, 4u, 5u, 77u, 2380u}) {
        platform::clearRecordedMessageBoxes();
        folder.write("short.krb", bank.substr(0, length));
        EXPECT_FALSE(effect.readBank(folder.path(), "short.krb")) << length;
        EXPECT_EQ(messages(), std::vector<std::string>{"Not a bank file!"}) << length;
        EXPECT_EQ(storeSnapshot(effect), before) << length;
    }
}

TEST_F(BankFileTest, LongerFilesAreReadByTheirFirst2381Bytes) {
    folder.write("long.krb", numberedBank() + std::string(100, '\x7f'));
    ASSERT_TRUE(effect.readBank(folder.path(), "long.krb"));
    EXPECT_EQ(programState(effect, 32).name, "Bank 32");
    EXPECT_EQ(effect.program(32)->getValue(11), 43 / 64.0f);
}

TEST_F(BankFileTest, A4325ByteFileRenamesPrograms0To31Only) {
    std::string bytes = header(0x37);
    for (int j = 0; j < 32; ++j) bytes += nameField("Name " + std::to_string(j));
    bytes.resize(4325, '\x3f');  // would be values of 0.75 if they were read
    folder.write("names.krb", bytes);
    StoreSnapshot before = storeSnapshot(effect);
    host.clear();
    ASSERT_TRUE(effect.readBank(folder.path(), "names.krb"));

    StoreSnapshot after = storeSnapshot(effect);
    for (int j = 0; j < 32; ++j) {
        EXPECT_EQ(after.programs[j].name, "Name " + std::to_string(j));
        EXPECT_EQ(std::memcmp(after.programs[j].values, before.programs[j].values,
                              sizeof(after.programs[j].values)),
                  0)
            << j;
    }
    EXPECT_EQ(after.programs[32], before.programs[32]);
    expectSelectionReported(after.programs[0]);
    EXPECT_EQ(editor->log.size(), 32u + 2);
}

TEST_F(BankFileTest, ValuesOutsideTheRangeOrNotANumberAreClamped) {
    std::string bytes = header(0x37) +
                        record("Odd", {1.5f, -0.5f, std::numeric_limits<float>::quiet_NaN(),
                                       std::numeric_limits<float>::infinity(), 0.25f});
    for (int j = 1; j < 33; ++j) bytes += record("Plain", {0.5f});
    folder.write("odd.krb", bytes);
    host.clear();
    ASSERT_TRUE(effect.readBank(folder.path(), "odd.krb"));
    const float expected[5] = {1.0f, 0.0f, 0.0f, 1.0f, 0.25f};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(effect.program(0)->getValue(i), expected[i]) << i;
        EXPECT_EQ(effect.getParameter(i), expected[i]) << i;
    }
    for (const HostCall& call : host.callsOf(audioMasterAutomate))
        EXPECT_FALSE(std::isnan(call.opt));
}

TEST_F(BankFileTest, ReadOnlyFilesLoad) {
    folder.write("locked.krb", numberedBank());
#ifdef _WIN32
    ASSERT_TRUE(::SetFileAttributesA(folder.file("locked.krb").c_str(), FILE_ATTRIBUTE_READONLY));
#else
    ASSERT_EQ(::chmod(folder.file("locked.krb").c_str(), 0444), 0);
#endif
    EXPECT_TRUE(effect.readBank(folder.path(), "locked.krb"));
    EXPECT_EQ(programState(effect, 3).name, "Bank 3");
}

TEST_F(BankFileTest, FilesThatCannotBeOpenedChangeNothingSilently) {
    std::filesystem::create_directory(folder.file("a folder.krb"));
    StoreSnapshot before = storeSnapshot(effect);
    host.clear();
    EXPECT_FALSE(effect.readBank(folder.path(), "missing.krb"));
    EXPECT_FALSE(effect.readBank(folder.path(), "a folder.krb"));
    EXPECT_FALSE(effect.readBank(folder.path(), ""));
    EXPECT_FALSE(effect.readBank("", "missing.krb"));
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(storeSnapshot(effect), before);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_FALSE(effect.writeBank(folder.file("no such folder"), "x.krb"));
    EXPECT_FALSE(effect.writeBank(folder.path(), "a folder.krb"));
}

#ifndef _WIN32

// A write that fails half-way (here: the file size limit, as a full disk would) must
// leave the previous bank as it was.
TEST_F(BankFileTest, AFailedSaveKeepsThePreviousFile) {
    ASSERT_TRUE(effect.writeBank(folder.path(), "keep.krb"));
    std::string previous = folder.read("keep.krb");
    effect.selectProgram(20);

    rlimit original;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &original), 0);
    rlimit small = original;
    small.rlim_cur = 1000;
    sighandler_t oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool written = effect.writeBank(folder.path(), "keep.krb");
    ::setrlimit(RLIMIT_FSIZE, &original);
    ::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(folder.read("keep.krb"), previous);
    EXPECT_EQ(folder.entryCount(), 1u);  // no temporary file left behind
}

#else

// Windows protects a file with its read-only attribute; saving over it must fail and
// leave it as it was, with no temporary file behind.
TEST_F(BankFileTest, ASaveOverAReadOnlyBankKeepsIt) {
    ASSERT_TRUE(effect.writeBank(folder.path(), "keep.krb"));
    std::string previous = folder.read("keep.krb");
    ASSERT_TRUE(::SetFileAttributesA(folder.file("keep.krb").c_str(), FILE_ATTRIBUTE_READONLY));
    effect.selectProgram(20);

    EXPECT_FALSE(effect.writeBank(folder.path(), "keep.krb"));
    EXPECT_EQ(folder.read("keep.krb"), previous);
    EXPECT_EQ(folder.entryCount(), 1u);
    EXPECT_TRUE(messages().empty());
}

#endif

}  // namespace
