// The text form of a settings key: what is written, and that reading takes exactly the
// well-formed values of any text.
#include <gtest/gtest.h>

#include "platform/posix/SettingsText.h"

namespace {

TEST(SettingsTextTest, EveryNameAndValueSurvivesARoundTrip) {
    platform::SettingsKey key;
    key.setString("plain", "Kick 2");
    key.setString("quotes \"and\" \\slashes\\", "tab\there \"q\" \\ end");
    key.setString("high bytes \xe4\xff", std::string("\x01\x7f\x80\xfe", 4));
    key.setString("empty string", "");
    key.setBinary("empty binary", "", 0);
    key.setBinary("zeros", std::string(3, '\0').data(), 3);
    key.setBinary("", "\xff\x10", 2);

    std::string text = platform::formatSettingsText("A\\B", key);
    EXPECT_EQ(platform::parseSettingsText(text), key);
    EXPECT_NE(text.find("\"quotes \\\"and\\\" \\\\slashes\\\\\"=\"tab\\x09here"), std::string::npos)
        << text;
    EXPECT_NE(text.find("\"high bytes \\xe4\\xff\"=\"\\x01\\x7f\\x80\\xfe\""), std::string::npos);
    EXPECT_NE(text.find("\"empty binary\"=hex:\n"), std::string::npos);
    EXPECT_NE(text.find("\"zeros\"=hex:00,00,00\n"), std::string::npos);
    EXPECT_EQ(text.rfind("[A\\B]\n", 0), 0u);
}

TEST(SettingsTextTest, ReaderTakesWellFormedLinesOnly) {
    platform::SettingsKey key = platform::parseSettingsText(
        "; a comment\r\n"
        "[Whatever\\Key]\n"
        "\n"
        "\"ok\"=hex:0A,ff\r\n"
        "\"str\"=\"v\\x41\"\n"
        "\"bad escape\"=\"\\q\"\n"
        "\"zero escape\"=\"a\\x00b\"\n"
        "\"short escape\"=\"\\x4\"\n"
        "\"open quote\"=\"abc\n"
        "\"junk after\"=\"abc\" x\n"
        "\"odd hex\"=hex:0\n"
        "\"spaced hex\"=hex:00, 01\n"
        "\"no equals\" hex:00\n"
        "\"other type\"=dword:00000001\n"
        "   \"indented\"=hex:00\n"
        "\"str\"=\"later wins\"");
    ASSERT_EQ(key.values().size(), 2u);
    std::string text;
    unsigned char bytes[2];
    EXPECT_TRUE(key.getBinary("ok", bytes, 2));
    EXPECT_EQ(bytes[0], 0x0A);
    EXPECT_EQ(bytes[1], 0xFF);
    EXPECT_TRUE(key.getString("str", text));
    EXPECT_EQ(text, "later wins");
}

TEST(SettingsTextTest, ValuesAreTypedAndSized) {
    platform::SettingsKey key = platform::parseSettingsText("\"b\"=hex:01,02,03,04\n\"s\"=\"1234\"\n");
    unsigned char four[4] = {9, 9, 9, 9};
    EXPECT_FALSE(key.getBinary("s", four, 4));
    EXPECT_FALSE(key.getBinary("b", four, 3));
    EXPECT_FALSE(key.getBinary("missing", four, 4));
    EXPECT_EQ(four[0], 9);
    std::string text = "unchanged";
    EXPECT_FALSE(key.getString("b", text));
    EXPECT_TRUE(key.getBinary("b", four, 4));
    EXPECT_EQ(four[3], 4);
}

}  // namespace
