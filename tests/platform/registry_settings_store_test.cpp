// The registry backend of the settings store, checked against the registry itself: what
// a write leaves (types, sizes), which key paths and values it refuses, values written by
// other programs, and the user's own copy where the machine's section may not be written.
#include <gtest/gtest.h>

#include "platform/SettingsStore.h"
#include "support/RegistryScratch.h"

namespace {

const char kTree[] = "SOFTWARE\\KRV-store-test";
const char kKey[] = "SOFTWARE\\KRV-store-test\\Product\\Key";

class RegistrySettingsStoreTest : public ::testing::Test {
protected:
    static platform::SettingsKey sampleValues() {
        platform::SettingsKey values;
        values.setBinary("bytes", "\x01\x00\x02", 3);
        values.setString("text", "Kick Drum");
        values.setString("empty", "");
        return values;
    }
    static std::map<std::string, RawRegistryValue> raw(HKEY root) {
        return RegistryScratch::values(root, kKey);
    }
    // Every value of key, by name.
    static std::map<std::string, platform::SettingsValue> byName(const platform::SettingsKey& key) {
        std::map<std::string, platform::SettingsValue> found;
        for (const platform::SettingsValue& value : key.values()) found[value.name] = value;
        return found;
    }

    RegistryScratch scratch{kTree};
};

TEST_F(RegistrySettingsStoreTest, WritesLandMachineWideAsBinaryAndTerminatedStrings) {
    ASSERT_TRUE(platform::writeSettingsValues(kKey, sampleValues()));
    std::map<std::string, RawRegistryValue> expected = {
        {"bytes", {REG_BINARY, std::string("\x01\x00\x02", 3)}},
        {"text", {REG_SZ, std::string("Kick Drum\0", 10)}},
        {"empty", {REG_SZ, std::string("\0", 1)}},
    };
    EXPECT_EQ(raw(HKEY_LOCAL_MACHINE), expected);
    EXPECT_FALSE(RegistryScratch::keyExists(HKEY_CURRENT_USER, kKey));

    platform::SettingsKey key;
    ASSERT_TRUE(platform::readSettingsKey(kKey, key));
    EXPECT_EQ(byName(key), byName(sampleValues()));
}

TEST_F(RegistrySettingsStoreTest, WritesMergeIntoTheKeyAndLeaveOtherValues) {
    ASSERT_TRUE(RegistryScratch::setRaw(HKEY_LOCAL_MACHINE, kKey, "other", REG_BINARY, "\x07"));
    ASSERT_TRUE(platform::writeSettingsValues(kKey, sampleValues()));
    platform::SettingsKey update;
    update.setString("bytes", "now a string");
    ASSERT_TRUE(platform::writeSettingsValues(kKey, update));

    std::map<std::string, RawRegistryValue> stored = raw(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(stored.size(), 4u);
    EXPECT_EQ(stored["other"], (RawRegistryValue{REG_BINARY, "\x07"}));
    EXPECT_EQ(stored["bytes"], (RawRegistryValue{REG_SZ, std::string("now a string\0", 13)}));
    EXPECT_EQ(stored["text"].data, std::string("Kick Drum\0", 10));
}

TEST_F(RegistrySettingsStoreTest, BadKeyPathsAndValuesAreRefusedBeforeAnythingIsWritten) {
    platform::SettingsKey values = sampleValues();
    for (const std::string& path :
         {std::string(""), std::string("SOFTWARE\\KRV-store-test\\"), std::string("\\SOFTWARE"),
          std::string("SOFTWARE\\\\KRV-store-test"), std::string(kKey) + "\\" + std::string(256, 'k'),
          std::string(kKey) + "\\new\nline", std::string(kKey) + std::string("\0x", 2)}) {
        EXPECT_FALSE(platform::writeSettingsValues(path, values)) << path;
        platform::SettingsKey key;
        EXPECT_FALSE(platform::readSettingsKey(path, key)) << path;
    }
    EXPECT_FALSE(RegistryScratch::keyExists(HKEY_LOCAL_MACHINE, kTree));

    // The registry takes "Text" and "text" for one value: the second would overwrite the
    // first, so the whole write is refused.
    values.setString("Text", "other");
    EXPECT_FALSE(platform::writeSettingsValues(kKey, values));
    platform::SettingsKey tooBig;
    tooBig.setBinary("big", std::string(64 * 1024 + 1, 'x').data(), 64 * 1024 + 1);
    tooBig.setString("fine", "x");
    EXPECT_FALSE(platform::writeSettingsValues(kKey, tooBig));
    EXPECT_FALSE(RegistryScratch::keyExists(HKEY_LOCAL_MACHINE, kKey));
    EXPECT_FALSE(RegistryScratch::keyExists(HKEY_CURRENT_USER, kKey));
}

TEST_F(RegistrySettingsStoreTest, ValuesOfOtherProgramsAreReadAsFarAsTheyAreOurs) {
    ASSERT_TRUE(RegistryScratch::setRaw(HKEY_LOCAL_MACHINE, kKey, "unterminated", REG_SZ, "abc"));
    ASSERT_TRUE(RegistryScratch::setRaw(HKEY_LOCAL_MACHINE, kKey, "zero inside", REG_SZ,
                                        std::string("ab\0cd\0", 6)));
    ASSERT_TRUE(RegistryScratch::setRaw(HKEY_LOCAL_MACHINE, kKey, "number", REG_DWORD,
                                        std::string("\x01\x00\x00\x00", 4)));
    ASSERT_TRUE(RegistryScratch::setRaw(HKEY_LOCAL_MACHINE, kKey, "huge", REG_BINARY,
                                        std::string(100 * 1024, 'h')));
    ASSERT_TRUE(RegistryScratch::setRaw(HKEY_LOCAL_MACHINE, kKey, "", REG_BINARY, "d"));

    platform::SettingsKey key;
    ASSERT_TRUE(platform::readSettingsKey(kKey, key));
    std::map<std::string, platform::SettingsValue> found = byName(key);
    EXPECT_EQ(found.size(), 3u);
    EXPECT_EQ(found["unterminated"].data, "abc");
    EXPECT_EQ(found["zero inside"].data, "ab");
    EXPECT_EQ(found[""].data, "d");
    EXPECT_EQ(key.find("number"), nullptr);  // not a type of this store
    EXPECT_EQ(key.find("huge"), nullptr);    // larger than anything this store writes
}

TEST_F(RegistrySettingsStoreTest, AnAbsentKeyReadsAsMissing) {
    platform::SettingsKey key;
    key.setString("stale", "x");
    EXPECT_FALSE(platform::readSettingsKey(kKey, key));
    EXPECT_TRUE(key.values().empty());
}

// A user without administrator rights may not write machine-wide: the key goes to the
// user's own section, and reads find it there before the machine's older copy.
TEST_F(RegistrySettingsStoreTest, WithoutMachineWideRightsTheUsersSectionTakesTheKey) {
    ASSERT_TRUE(RegistryScratch::setRaw(HKEY_LOCAL_MACHINE, kKey, "text", REG_SZ,
                                        std::string("old\0", 4)));
    ASSERT_TRUE(RegistryScratch::setRaw(HKEY_LOCAL_MACHINE, kKey, "other", REG_BINARY, "\x07"));
    platform::win32::denyMachineWideWritesForTesting(true);
    ASSERT_TRUE(platform::writeSettingsValues(kKey, sampleValues()));

    std::map<std::string, RawRegistryValue> user = raw(HKEY_CURRENT_USER);
    EXPECT_EQ(user.size(), 4u);
    EXPECT_EQ(user["text"].data, std::string("Kick Drum\0", 10));
    EXPECT_EQ(raw(HKEY_LOCAL_MACHINE).size(), 2u);  // untouched

    // Reads find the user's copy, which kept the value only the machine's key had.
    platform::SettingsKey key;
    ASSERT_TRUE(platform::readSettingsKey(kKey, key));
    platform::SettingsKey expected = sampleValues();
    expected.setBinary("other", "\x07", 1);
    EXPECT_EQ(byName(key), byName(expected));

    platform::SettingsKey update;
    update.setString("text", "Snare");
    ASSERT_TRUE(platform::writeSettingsValues(kKey, update));
    ASSERT_TRUE(platform::readSettingsKey(kKey, key));
    EXPECT_EQ(key.values().size(), 4u);
    EXPECT_EQ(key.find("text")->data, "Snare");
}

TEST_F(RegistrySettingsStoreTest, AMachineWideWriteTakesOverTheUsersCopy) {
    platform::win32::denyMachineWideWritesForTesting(true);
    platform::SettingsKey userOnly;
    userOnly.setString("kept", "from the user's copy");
    userOnly.setString("text", "old");
    ASSERT_TRUE(platform::writeSettingsValues(kKey, userOnly));
    platform::win32::denyMachineWideWritesForTesting(false);

    ASSERT_TRUE(platform::writeSettingsValues(kKey, sampleValues()));
    EXPECT_FALSE(RegistryScratch::keyExists(HKEY_CURRENT_USER, kKey));
    std::map<std::string, RawRegistryValue> stored = raw(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(stored.size(), 4u);
    EXPECT_EQ(stored["kept"].data, std::string("from the user's copy\0", 21));
    EXPECT_EQ(stored["text"].data, std::string("Kick Drum\0", 10));

    platform::SettingsKey key;
    ASSERT_TRUE(platform::readSettingsKey(kKey, key));
    EXPECT_EQ(key.values().size(), 4u);
    std::string text;
    EXPECT_TRUE(key.getString("text", text));
    EXPECT_EQ(text, "Kick Drum");
}

// A user's copy with subkeys of its own cannot be removed; it then takes the new values
// too, so that no read sees the older ones.
TEST_F(RegistrySettingsStoreTest, AUsersCopyThatCannotGoIsUpdatedAsWell) {
    ASSERT_TRUE(RegistryScratch::setRaw(HKEY_CURRENT_USER, kKey, "text", REG_SZ,
                                        std::string("old\0", 4)));
    ASSERT_TRUE(RegistryScratch::setRaw(HKEY_CURRENT_USER, std::string(kKey) + "\\Sub", "v",
                                        REG_BINARY, "s"));
    ASSERT_TRUE(platform::writeSettingsValues(kKey, sampleValues()));

    EXPECT_EQ(raw(HKEY_LOCAL_MACHINE)["text"].data, std::string("Kick Drum\0", 10));
    EXPECT_EQ(raw(HKEY_CURRENT_USER)["text"].data, std::string("Kick Drum\0", 10));
    EXPECT_TRUE(RegistryScratch::keyExists(HKEY_CURRENT_USER, std::string(kKey) + "\\Sub"));
    platform::SettingsKey key;
    ASSERT_TRUE(platform::readSettingsKey(kKey, key));
    EXPECT_EQ(byName(key), byName(sampleValues()));
}

}  // namespace
