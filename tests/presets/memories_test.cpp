// The A/B memories: what a store writes (names, types, encodings, on disk), what a
// recall applies and reports, independence of A and B, and damaged memories.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "platform/SettingsStore.h"
#include "platform/posix/FileSettingsStore.h"
#include "presets/FileBytes.h"
#include "support/InProcessEffect.h"
#include "support/RecordingPresetEditor.h"
#include "support/StoreSnapshot.h"
#include "support/TemporaryFolder.h"

namespace {

const char kMemoA[] = "SOFTWARE\\KRV-soundlab\\KRVTW1\\MemoA";

class MemoriesTest : public ::testing::Test {
protected:
    MemoriesTest() {
        editor = new RecordingPresetEditor(&effect);
        effect.setEditor(editor);
    }
    std::string memoFile(const char* memo) {
        return root.read(std::string("SOFTWARE/KRV-soundlab/KRVTW1/") + memo + ".key");
    }
    void writeMemoFile(const char* memo, const std::string& text) {
        root.write(std::string("SOFTWARE/KRV-soundlab/KRVTW1/") + memo + ".key", text);
    }

    TemporaryFolder root;
    ScopedEnvironment configHome{"XDG_CONFIG_HOME", root.path().c_str()};
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
    const char* names[12] = {"param  0", "param  1", "param  2", "param  3",
                             "param  4", "param  5", "param  6", "param  7",
                             "param  8", "param  9", "param 10", "param 11"};
    for (int i = 0; i < 12; ++i) {
        const platform::SettingsValue& value = key.values()[i];
        EXPECT_EQ(value.name, names[i]);
        EXPECT_EQ(value.type, platform::SettingsValueType::Binary);
        EXPECT_EQ(value.data, le32(effect.getParameter(i))) << i;
    }
    EXPECT_EQ(key.values()[2].data, std::string("\xab\xaa\x2a\x3e", 4));  // 1/6
    EXPECT_EQ(key.values()[12],
              (platform::SettingsValue{"name", platform::SettingsValueType::String, "CompressLite2"}));

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
    EXPECT_EQ(root.entryCount(), 0u);  // a recall never creates a key
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
    writeMemoFile("MemoA", "\"name\"=\"" + std::string(63, 'y') + "\"\n");
    ASSERT_EQ(effect.recallMemoA(), 0);
    EXPECT_EQ(programState(effect, 0).name, std::string(24, 'y'));
}

TEST_F(MemoriesTest, AStoreThatCannotBeWrittenFailsQuietly) {
    root.write("blocker", "a file where the store wants a folder");
    ScopedEnvironment blocked("XDG_CONFIG_HOME", root.file("blocker").c_str());
    EXPECT_NE(effect.storeMemoA(), 0);
    EXPECT_NE(effect.recallMemoA(), 0);
}

}  // namespace
