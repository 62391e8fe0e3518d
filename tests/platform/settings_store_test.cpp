// The file backend of the settings store: where keys live, which key paths it takes,
// merging writes, and files it did not write itself.
#include <gtest/gtest.h>

#include "platform/SettingsStore.h"
#include "platform/posix/FileSettingsStore.h"
#include "support/TemporaryFolder.h"

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    TemporaryFolder root;
    ScopedEnvironment configHome{"XDG_CONFIG_HOME", root.path().c_str()};
};

TEST_F(SettingsStoreTest, RootFollowsTheDesktopConvention) {
    EXPECT_EQ(platform::settingsRootFolder(), root.path());
    EXPECT_EQ(platform::settingsKeyFile("SOFTWARE\\Maker\\Key"), root.path() + "/SOFTWARE/Maker/Key.key");
    ScopedEnvironment home("HOME", "/home/someone");
    {
        ScopedEnvironment unset("XDG_CONFIG_HOME", nullptr);
        EXPECT_EQ(platform::settingsRootFolder(), "/home/someone/.config");
    }
    ScopedEnvironment relative("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(platform::settingsRootFolder(), "/home/someone/.config");
}

TEST_F(SettingsStoreTest, KeyPathsThatCouldLeaveTheRootAreRefused) {
    platform::SettingsKey values;
    values.setString("v", "x");
    for (const char* path : {"", "A\\", "\\A", "A\\\\B", "A\\..\\B", "..", ".", "A/B",
                             "A\\B.key", "A\\B\\C:D", "A\\new\nline"}) {
        EXPECT_EQ(platform::settingsKeyFile(path), "") << path;
        EXPECT_FALSE(platform::writeSettingsValues(path, values)) << path;
        platform::SettingsKey key;
        EXPECT_FALSE(platform::readSettingsKey(path, key)) << path;
    }
    EXPECT_EQ(root.entryCount(), 0u);
}

TEST_F(SettingsStoreTest, WritesCreateTheKeyAndMergeIntoIt) {
    platform::SettingsKey first;
    first.setString("a", "one");
    first.setBinary("b", "\x01\x02", 2);
    ASSERT_TRUE(platform::writeSettingsValues("X\\Y\\Z", first));
    platform::SettingsKey second;
    second.setBinary("a", "\x03", 1);
    second.setString("c", "three");
    ASSERT_TRUE(platform::writeSettingsValues("X\\Y\\Z", second));

    platform::SettingsKey key;
    ASSERT_TRUE(platform::readSettingsKey("X\\Y\\Z", key));
    platform::SettingsKey expected;
    expected.setBinary("a", "\x03", 1);
    expected.setBinary("b", "\x01\x02", 2);
    expected.setString("c", "three");
    EXPECT_EQ(key, expected);
    // A subkey's folder lives beside its parent's file.
    ASSERT_TRUE(platform::writeSettingsValues("X\\Y\\Z\\Sub", first));
    EXPECT_TRUE(platform::readSettingsKey("X\\Y\\Z", key));
    EXPECT_EQ(key, expected);
    EXPECT_EQ(root.entryCount(), 1u);
    EXPECT_TRUE(root.exists("X/Y/Z.key"));
    EXPECT_TRUE(root.exists("X/Y/Z/Sub.key"));
}

TEST_F(SettingsStoreTest, AnOversizedKeyFileReadsAsEmptyAndIsReplacedOnWrite) {
    std::string huge = "\"a\"=\"" + std::string(70000, 'x') + "\"\n\"b\"=hex:01\n";
    root.write("Big.key", huge);
    platform::SettingsKey key;
    EXPECT_TRUE(platform::readSettingsKey("Big", key));
    EXPECT_TRUE(key.values().empty());

    platform::SettingsKey values;
    values.setBinary("c", "\x02", 1);
    ASSERT_TRUE(platform::writeSettingsValues("Big", values));
    ASSERT_TRUE(platform::readSettingsKey("Big", key));
    EXPECT_EQ(key, values);
}

}  // namespace
