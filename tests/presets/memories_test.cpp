// The A/B memories: what a store writes (names, types, encodings, in the store itself:
// files on POSIX systems, the registry on Windows), what a recall applies and reports,
// independence of A and B, damaged memories, and on Windows a user without the rights to
// write machine-wide.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "platform/SettingsStore.h"
#include "presets/FileBytes.h"
#include "support/InProcessEffect.h"
#include "support/RecordingPresetEditor.h"
#include "support/StoreSnapshot.h"
#ifdef _WIN32
#include "support/RegistryScratch.h"
#else
#include "platform/posix/FileSettingsStore.h"
#include "support/TemporaryFolder.h"
#endif

namespace {

const char kMemoA[] = "SOFTWARE\\KRV-soundlab\\KRVTW1\\MemoA";
const char kMemoB[] = "SOFTWARE\\KRV-soundlab\\KRVTW1\\MemoB";
const char* const kParameterNames[12] = {"param  0", "param  1", "param  2", "param  3",
                                         "param  4", "param  5", "param  6", "param  7",
                                         "param  8", "param  9", "param 10", "param 11"};

class MemoriesTest : public ::testing::Test {
protected:
    MemoriesTest() {
        editor = new RecordingPresetEditor(&effect);
        effect.setEditor(editor);
    }
#ifdef _WIN32
    // Every test starts without memories, machine-wide or the user's.
    RegistryScratch registry{"SOFTWARE\\KRV-soundlab"};
#else
    std::string memoFile(const char* memo) {
        return root.read(std::string("SOFTWARE/KRV-soundlab/KRVTW1/") + memo + ".key");
    }
    void writeMemoFile(const char* memo, const std::string& text) {
        root.write(std::string("SOFTWARE/KRV-soundlab/KRVTW1/") + memo + ".key", text);
    }

    TemporaryFolder root;
    ScopedEnvironment configHome{"XDG_CONFIG_HOME", root.path().c_str()};
#endif
    InProcessEffect fixture;
    AutoComp& effect = fixture.effect();
    RecordingHost& host = fixture.host;
    RecordingPresetEditor* editor = nullptr;  // owned by the effect
};

TEST_F(MemoriesTest, StoreWritesTwelveFloatsAndTheNameWithTheirExactNames) {
    effect.selectProgram(3);
    ASSERT_EQ(effect.storeMemoA(), 0);

    platform::SettingsKey key;
    ASSERT_TRUE(platform::readSettingsKey(kMemoA, key));
    ASSERT_EQ(key.values().size(), 13u);
    for (int i = 0; i < 12; ++i) {
        const platform::SettingsValue* value = key.find(kParameterNames[i]);
        ASSERT_NE(value, nullptr) << i;
        EXPECT_EQ(value->type, platform::SettingsValueType::Binary);
        EXPECT_EQ(value->data, le32(effect.getParameter(i))) << i;
    }
    EXPECT_EQ(key.find("param  2")->data, std::string("\xab\xaa\x2a\x3e", 4));  // 1/6
    ASSERT_NE(key.find("name"), nullptr);
    EXPECT_EQ(*key.find("name"),
              (platform::SettingsValue{"name", platform::SettingsValueType::String, "CompressLite2"}));

#ifdef _WIN32
    // The registry itself: 13 values machine-wide, 4 binary bytes each, the name with its
    // terminating zero.
    std::map<std::string, RawRegistryValue> stored =
        RegistryScratch::values(HKEY_LOCAL_MACHINE, kMemoA);
    ASSERT_EQ(stored.size(), 13u);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(stored[kParameterNames[i]],
                  (RawRegistryValue{REG_BINARY, le32(effect.getParameter(i))}))
            << i;
    EXPECT_EQ(stored["name"], (RawRegistryValue{REG_SZ, std::string("CompressLite2\0", 14)}));
    EXPECT_FALSE(RegistryScratch::keyExists(HKEY_CURRENT_USER, kMemoA));
    EXPECT_FALSE(RegistryScratch::keyExists(HKEY_LOCAL_MACHINE, kMemoB));
#else
    // In key order, in the store's text form.
    for (int i = 0; i < 12; ++i) EXPECT_EQ(key.values()[i].name, kParameterNames[i]);
    EXPECT_EQ(key.values()[12].name, "name");
    EXPECT_EQ(memoFile("MemoA"),
              "[SOFTWARE\\KRV-soundlab\\KRVTW1\\MemoA]\n"
              "\"param  0\"=hex:00,00,80,3f\n"
              "\"param  1\"=hex:00,00,00,00\n"
              "\"param  2\"=hex:ab,aa,2a,3e\n"
              "\"param  3\"=hex:00,00,00,00\n"
              "\"param  4\"=hex:00,00,00,3f\n"
              "\"param  5\"=hex:00,00,00,3f\n"
              "\"param  6\"=hex:9a,99,19,3e\n"
              "\"param  7\"=hex:00,00,00,00\n"
              "\"param  8\"=hex:00,00,00,00\n"
              "\"param  9\"=hex:00,00,00,00\n"
              "\"param 10\"=hex:00,00,00,00\n"
              "\"param 11\"=hex:00,00,00,00\n"
              "\"name\"=\"CompressLite2\"\n");
#endif
}

TEST_F(MemoriesTest, RecallAppliesBitIdenticalValuesAndTheNameAsUserEdits) {
    effect.selectProgram(3);
    effect.setParameter(5, 0.123456789f);
    ProgramState stored = programState(effect, 3);
    ASSERT_EQ(effect.storeMemoA(), 0);
    effect.selectProgram(10);
    StoreSnapshot before = storeSnapshot(effect);
    host.clear();
    editor->log.clear();

    ASSERT_EQ(effect.recallMemoA(), 0);
    StoreSnapshot after = storeSnapshot(effect);
    EXPECT_EQ(after.selected, 10);
    EXPECT_EQ(after.programs[10], stored);
    EXPECT_EQ(after.programs[0], stored);
    for (int k = 1; k < 33; ++k) {
        if (k == 10) continue;
        EXPECT_EQ(after.programs[k], before.programs[k]) << k;
    }

    ASSERT_EQ(host.calls.size(), 13u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(host.calls[i].opcode, audioMasterAutomate);
        EXPECT_EQ(host.calls[i].index, i);
        EXPECT_EQ(std::memcmp(&host.calls[i].opt, &stored.values[i], 4), 0) << i;
    }
    EXPECT_EQ(host.calls[12].opcode, audioMasterUpdateDisplay);
    EXPECT_EQ(editor->log, std::vector<std::string>{"renamed CompressLite2"});
}

TEST_F(MemoriesTest, RecallOfANeverStoredMemoryChangesNothing) {
    effect.selectProgram(8);
    StoreSnapshot before = storeSnapshot(effect);
    host.clear();
    EXPECT_NE(effect.recallMemoB(), 0);
    EXPECT_EQ(storeSnapshot(effect), before);
    EXPECT_TRUE(host.calls.empty());
    // A recall never creates a key.
#ifdef _WIN32
    EXPECT_FALSE(RegistryScratch::keyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\KRV-soundlab"));
    EXPECT_FALSE(RegistryScratch::keyExists(HKEY_CURRENT_USER, "SOFTWARE\\KRV-soundlab"));
#else
    EXPECT_EQ(root.entryCount(), 0u);
#endif
}

TEST_F(MemoriesTest, AAndBAreIndependent) {
    effect.selectProgram(3);
    ASSERT_EQ(effect.storeMemoA(), 0);
    effect.selectProgram(12);
    ASSERT_EQ(effect.storeMemoB(), 0);
    ProgramState a = programState(effect, 3), b = programState(effect, 12);

    effect.selectProgram(20);
    effect.recallMemoA();
    EXPECT_EQ(programState(effect, 20), a);
    effect.recallMemoB();
    EXPECT_EQ(programState(effect, 20), b);
    effect.recallMemoA();
    EXPECT_EQ(programState(effect, 0), a);
}

TEST_F(MemoriesTest, MalformedValuesAreSkippedAndTheRestRecalled) {
    effect.selectProgram(6);
    StoreSnapshot before = storeSnapshot(effect);
#ifdef _WIN32
    // As another program (or a damaged registry) could have left them.
    const std::pair<const char*, RawRegistryValue> damaged[] = {
        {"param  0", {REG_SZ, std::string("a string\0", 9)}},              // wrong type
        {"param  1", {REG_BINARY, std::string("\x00\x00\x80", 3)}},          // three bytes
        {"param  2", {REG_BINARY, std::string("\x00\x00\x80\x3f\x00", 5)}},  // five bytes
        {"param  3", {REG_DWORD, std::string("\x00\x00\x80\x3e", 4)}},      // a number
        {"param  4", {REG_BINARY, std::string("\x00\x00\xc0\x7f", 4)}},     // NaN
        {"param  5", {REG_BINARY, std::string("\x00\x00\xc0\x3f", 4)}},     // 1.5
        {"param  6", {REG_BINARY, std::string("\x00\x00\x80\x3e", 4)}},     // 0.25
        {"param  7", {REG_BINARY, std::string()}},                        // no bytes
        {"Param  8", {REG_EXPAND_SZ, std::string("%PATH%\0", 7)}},         // another type
        {"name", {REG_SZ, std::string(64, 'x') + '\0'}},                  // too long
    };
    for (const auto& [name, value] : damaged)
        ASSERT_TRUE(RegistryScratch::setRaw(HKEY_LOCAL_MACHINE, kMemoA, name, value.type,
                                            value.data))
            << name;
#else
    writeMemoFile("MemoA",
                  "[SOFTWARE\\KRV-soundlab\\KRVTW1\\MemoA]\n"
                  "\"param  0\"=\"a string\"\n"          // wrong type
                  "\"param  1\"=hex:00,00,80\n"           // three bytes
                  "\"param  2\"=hex:00,00,80,3f,00\n"     // five bytes
                  "\"param  4\"=hex:00,00,c0,7f\n"        // NaN
                  "\"param  5\"=hex:00,00,c0,3f\n"        // 1.5
                  "\"param  6\"=hex:00,00,80,3e\r\n"      // 0.25, with a CR
                  "\"param  7\"=hex:00,00,80,3e,\n"       // trailing comma
                  "param  8=hex:00,00,80,3e\n"            // unquoted
                  "\"name\"=\"" + std::string(64, 'x') + "\"\n");
#endif
    host.clear();
    ASSERT_EQ(effect.recallMemoA(), 0);

    std::vector<HostCall> automated = host.callsOf(audioMasterAutomate);
    ASSERT_EQ(automated.size(), 3u);
    EXPECT_EQ(automated[0].index, 4);
    EXPECT_EQ(automated[0].opt, 0.0f);
    EXPECT_EQ(automated[1].index, 5);
    EXPECT_EQ(automated[1].opt, 1.0f);
    EXPECT_EQ(automated[2].index, 6);
    EXPECT_EQ(automated[2].opt, 0.25f);
    ProgramState recalled = programState(effect, 6);
    EXPECT_EQ(recalled.name, "CompressHeavy1");  // the over-long name is not taken
    for (int i : {0, 1, 2, 3, 7, 8, 9, 10, 11})
        EXPECT_EQ(recalled.values[i], before.programs[6].values[i]) << i;
    EXPECT_EQ(recalled.values[4], 0.0f);
    EXPECT_EQ(effect.getParameter(5), 1.0f);
    EXPECT_EQ(host.calls.back().opcode, audioMasterUpdateDisplay);
}

TEST_F(MemoriesTest, StoredNamesUpTo63CharactersAreCutAt24) {
#ifdef _WIN32
    ASSERT_TRUE(RegistryScratch::setRaw(HKEY_LOCAL_MACHINE, kMemoA, "name", REG_SZ,
                                        std::string(63, 'y') + '\0'));
#else
    writeMemoFile("MemoA", "\"name\"=\"" + std::string(63, 'y') + "\"\n");
#endif
    ASSERT_EQ(effect.recallMemoA(), 0);
    EXPECT_EQ(programState(effect, 0).name, std::string(24, 'y'));
}

#ifndef _WIN32

TEST_F(MemoriesTest, AStoreThatCannotBeWrittenFailsQuietly) {
    root.write("blocker", "a file where the store wants a folder");
    ScopedEnvironment blocked("XDG_CONFIG_HOME", root.file("blocker").c_str());
    EXPECT_NE(effect.storeMemoA(), 0);
    EXPECT_NE(effect.recallMemoA(), 0);
}

#else

// A user without administrator rights may not write machine-wide. The memory then lives
// in the user's own section, and is recalled from there before an older one that an
// earlier install left machine-wide.
TEST_F(MemoriesTest, WithoutMachineWideRightsAStoreLandsWithTheUserAndIsRecalled) {
    effect.selectProgram(12);
    ASSERT_EQ(effect.storeMemoA(), 0);  // the earlier install's memory
    effect.selectProgram(3);
    ProgramState stored = programState(effect, 3);
    platform::win32::denyMachineWideWritesForTesting(true);
    ASSERT_EQ(effect.storeMemoA(), 0);

    std::map<std::string, RawRegistryValue> user =
        RegistryScratch::values(HKEY_CURRENT_USER, kMemoA);
    ASSERT_EQ(user.size(), 13u);
    EXPECT_EQ(user["name"], (RawRegistryValue{REG_SZ, std::string("CompressLite2\0", 14)}));
    EXPECT_EQ(RegistryScratch::values(HKEY_LOCAL_MACHINE, kMemoA)["name"].data,
              std::string("Hats Smasher\0", 13));

    effect.selectProgram(20);
    ASSERT_EQ(effect.recallMemoA(), 0);
    EXPECT_EQ(programState(effect, 20), stored);
    EXPECT_NE(effect.recallMemoB(), 0);  // still never stored anywhere
}

TEST_F(MemoriesTest, AMemoryLeftMachineWideOnlyIsStillRecalled) {
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(RegistryScratch::setRaw(HKEY_LOCAL_MACHINE, kMemoB, kParameterNames[i],
                                            REG_BINARY, le32(i / 16.0f)));
    ASSERT_TRUE(RegistryScratch::setRaw(HKEY_LOCAL_MACHINE, kMemoB, "name", REG_SZ,
                                        std::string("Left Behind\0", 12)));
    platform::win32::denyMachineWideWritesForTesting(true);
    effect.selectProgram(5);
    ASSERT_EQ(effect.recallMemoB(), 0);

    ProgramState recalled = programState(effect, 5);
    EXPECT_EQ(recalled.name, "Left Behind");
    for (int i = 0; i < 12; ++i) EXPECT_EQ(effect.getParameter(i), i / 16.0f) << i;
    EXPECT_FALSE(RegistryScratch::keyExists(HKEY_CURRENT_USER, kMemoB));
}

TEST_F(MemoriesTest, AMachineWideStoreAfterAUserOneWins) {
    platform::win32::denyMachineWideWritesForTesting(true);
    effect.selectProgram(3);
    ASSERT_EQ(effect.storeMemoA(), 0);
    ASSERT_TRUE(RegistryScratch::keyExists(HKEY_CURRENT_USER, kMemoA));
    platform::win32::denyMachineWideWritesForTesting(false);
    effect.selectProgram(12);
    ProgramState newer = programState(effect, 12);
    ASSERT_EQ(effect.storeMemoA(), 0);

    EXPECT_FALSE(RegistryScratch::keyExists(HKEY_CURRENT_USER, kMemoA));
    std::map<std::string, RawRegistryValue> machine =
        RegistryScratch::values(HKEY_LOCAL_MACHINE, kMemoA);
    EXPECT_EQ(machine.size(), 13u);
    EXPECT_EQ(machine["name"].data, std::string("Hats Smasher\0", 13));
    effect.selectProgram(20);
    ASSERT_EQ(effect.recallMemoA(), 0);
    EXPECT_EQ(programState(effect, 20), newer);
}

#endif

}  // namespace
