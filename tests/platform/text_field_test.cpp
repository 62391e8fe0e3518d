// The text field's editing model, the key de-duplication and the Latin-1 conversions,
// without any window.
#include <gtest/gtest.h>

#include <string>

#include "platform/common/KeyDeduplicator.h"
#include "platform/common/Latin1.h"
#include "platform/common/TextField.h"

using platform::applyKey;
using platform::Key;
using platform::KeyDeduplicator;
using platform::KeyName;
using platform::KeyPath;
using platform::TextField;
using platform::TextFieldKeyResult;

namespace {

Key named(KeyName name, int modifiers = 0) { return Key{0, name, modifiers}; }
Key typed(int character, int modifiers = 0) { return Key{character, KeyName::Unnamed, modifiers}; }

}  // namespace

TEST(TextField, StartsWithEverythingSelectedAndTypingReplacesIt) {
    TextField field("Init", 255);
    EXPECT_EQ(field.selectionStart(), 0u);
    EXPECT_EQ(field.selectionEnd(), 4u);
    EXPECT_EQ(applyKey(field, typed('x')), TextFieldKeyResult::Handled);
    EXPECT_EQ(field.text(), "x");
    EXPECT_FALSE(field.hasSelection());
    EXPECT_EQ(field.caret(), 1u);
}

TEST(TextField, ArrowsCollapseTheSelectionAndShiftExtendsIt) {
    TextField field("abcdef", 255);
    applyKey(field, named(KeyName::Left));
    EXPECT_EQ(field.caret(), 0u);  // to the selection's start, not one further
    EXPECT_FALSE(field.hasSelection());
    applyKey(field, named(KeyName::Right));
    applyKey(field, named(KeyName::Right, platform::kKeyShift));
    applyKey(field, named(KeyName::Right, platform::kKeyShift));
    EXPECT_EQ(field.selectionStart(), 1u);
    EXPECT_EQ(field.selectionEnd(), 3u);
    applyKey(field, typed('Z'));
    EXPECT_EQ(field.text(), "aZdef");
    applyKey(field, named(KeyName::End, platform::kKeyShift));
    EXPECT_EQ(field.selectionStart(), 2u);
    EXPECT_EQ(field.selectionEnd(), 5u);
    applyKey(field, named(KeyName::Home));
    EXPECT_EQ(field.caret(), 0u);
    applyKey(field, named(KeyName::Left));
    EXPECT_EQ(field.caret(), 0u);  // stays at the start
    applyKey(field, named(KeyName::End));
    applyKey(field, named(KeyName::Right));
    EXPECT_EQ(field.caret(), 5u);  // stays at the end
}

TEST(TextField, BackspaceAndDeleteRemoveOneByteOrTheSelection) {
    TextField field("abcd", 255);
    applyKey(field, named(KeyName::End));
    applyKey(field, named(KeyName::Back));
    EXPECT_EQ(field.text(), "abc");
    applyKey(field, named(KeyName::Home));
    applyKey(field, named(KeyName::Delete));
    EXPECT_EQ(field.text(), "bc");
    applyKey(field, named(KeyName::Back));  // nothing before the caret
    EXPECT_EQ(field.text(), "bc");
    applyKey(field, typed('a', platform::kKeyControl));
    applyKey(field, named(KeyName::Delete));
    EXPECT_EQ(field.text(), "");
    applyKey(field, named(KeyName::Delete));
    EXPECT_EQ(field.text(), "");
}

TEST(TextField, ControlAAsControlCharacterSelectsAllToo) {
    TextField field("abc", 255);
    applyKey(field, named(KeyName::End));
    EXPECT_EQ(applyKey(field, typed(0x01, platform::kKeyControl)), TextFieldKeyResult::Handled);
    EXPECT_EQ(field.selectionStart(), 0u);
    EXPECT_EQ(field.selectionEnd(), 3u);
}

TEST(TextField, TextIsCutAtTheLimitWhetherGivenTypedOrInserted) {
    TextField given(std::string(300, 'g'), 255);
    EXPECT_EQ(given.text().size(), 255u);

    TextField field(std::string(250, 'x'), 255);
    applyKey(field, named(KeyName::End));
    for (int i = 0; i < 10; ++i) applyKey(field, typed('y'));
    EXPECT_EQ(field.text(), std::string(250, 'x') + "yyyyy");

    applyKey(field, named(KeyName::Back));
    EXPECT_EQ(field.insert("12345"), 1u);
    EXPECT_EQ(field.text().size(), 255u);
    EXPECT_EQ(field.text().back(), '1');
}

TEST(TextField, ReplacingASelectionFreesItsRoomFirst) {
    TextField field(std::string(255, 'x'), 255);
    EXPECT_EQ(field.insert("abc"), 3u);  // everything was selected
    EXPECT_EQ(field.text(), "abc");
}

TEST(TextField, NonPrintableBytesAreNotTaken) {
    TextField field("", 255);
    EXPECT_EQ(field.insert(std::string("a\tb\nc\x7f" "d\x85" "e\xe9", 10)), 6u);
    EXPECT_EQ(field.text(), "abcde\xe9");
    EXPECT_EQ(applyKey(field, typed(0x07)), TextFieldKeyResult::Ignored);
    EXPECT_EQ(applyKey(field, named(KeyName::Tab)), TextFieldKeyResult::Ignored);
    EXPECT_EQ(applyKey(field, named(KeyName::Escape)), TextFieldKeyResult::Ignored);
    EXPECT_EQ(applyKey(field, typed('b', platform::kKeyControl)), TextFieldKeyResult::Ignored);
    EXPECT_EQ(field.text(), "abcde\xe9");
    EXPECT_EQ(applyKey(field, named(KeyName::Space)), TextFieldKeyResult::Handled);
    EXPECT_EQ(field.text(), "abcde\xe9 ");
}

TEST(TextField, ReturnAndPasteAreLeftToTheOwner) {
    TextField field("abc", 255);
    EXPECT_EQ(applyKey(field, named(KeyName::Return)), TextFieldKeyResult::Return);
    EXPECT_EQ(applyKey(field, typed('v', platform::kKeyControl)), TextFieldKeyResult::Paste);
    EXPECT_EQ(applyKey(field, typed(0x16, platform::kKeyControl)), TextFieldKeyResult::Paste);
    EXPECT_EQ(field.text(), "abc");
    EXPECT_TRUE(field.hasSelection());
}

TEST(KeyDeduplicator, APressDeliveredByBothPathsIsTakenOnce) {
    KeyDeduplicator keys;
    EXPECT_TRUE(keys.take(typed('a'), KeyPath::Window, 1000));
    EXPECT_FALSE(keys.take(typed('a'), KeyPath::Host, 1010));
    EXPECT_TRUE(keys.take(typed('b'), KeyPath::Host, 1020));
    EXPECT_FALSE(keys.take(typed('b'), KeyPath::Window, 1030));
}

TEST(KeyDeduplicator, RepeatedPressesOnOnePathAreAllTaken) {
    KeyDeduplicator keys;
    EXPECT_TRUE(keys.take(typed('o'), KeyPath::Host, 0));
    EXPECT_TRUE(keys.take(typed('o'), KeyPath::Host, 5));
    // Both copies of each press, the window's arriving late: two letters, not four.
    EXPECT_FALSE(keys.take(typed('o'), KeyPath::Window, 10));
    EXPECT_FALSE(keys.take(typed('o'), KeyPath::Window, 15));
    EXPECT_TRUE(keys.take(typed('o'), KeyPath::Window, 20));
}

TEST(KeyDeduplicator, ACopyArrivingAfterTheWindowIsANewPress) {
    KeyDeduplicator keys;
    EXPECT_TRUE(keys.take(named(KeyName::Left), KeyPath::Window, 0));
    long late = KeyDeduplicator::kWindowMilliseconds + 1;
    EXPECT_TRUE(keys.take(named(KeyName::Left), KeyPath::Host, late));
}

TEST(KeyDeduplicator, ControlLettersMatchTheirControlCharacters) {
    KeyDeduplicator keys;
    EXPECT_TRUE(keys.take(typed(0x16, platform::kKeyControl), KeyPath::Window, 0));
    EXPECT_FALSE(keys.take(typed('V', platform::kKeyControl), KeyPath::Host, 1));
    EXPECT_TRUE(keys.take(typed('v'), KeyPath::Host, 2));  // a plain v is another key
}

TEST(Latin1, RoundTripsThroughUtf8AndDropsWhatItCannotHold) {
    std::string latin1 = "Caf\xe9 \xff!";
    std::string utf8 = platform::latin1ToUtf8(latin1);
    EXPECT_EQ(utf8, "Caf\xc3\xa9 \xc3\xbf!");
    EXPECT_EQ(platform::utf8ToLatin1(utf8), latin1);
    // A euro sign (beyond Latin-1), a stray continuation byte and a cut-off sequence.
    EXPECT_EQ(platform::utf8ToLatin1("a\xe2\x82\xac" "b\x80" "c\xc3"), "abc");
    // Longer forms than needed of U+009A and U+00E9, and bytes that never lead.
    EXPECT_EQ(platform::utf8ToLatin1("x\xe0\x82\x9a" "y\xf0\x80\x83\xa9" "z\xf8\x80\x82\x80"),
              "xyz");
}
