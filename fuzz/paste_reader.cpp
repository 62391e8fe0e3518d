// Any bytes pasted into an edit box, as UTF-8 or as Latin-1 (the two types an X selection
// is asked for), into a field with any text, limit, caret and selection. The text taken
// from UTF-8 keeps every ASCII byte and holds no character that was not spelt in the
// bytes (its own UTF-8 is a subsequence of them); Latin-1 survives the trip through
// UTF-8; the field replaces exactly its selection with the first printable bytes that fit
// under its limit, and the caret ends after them.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "platform/common/Latin1.h"
#include "platform/common/TextField.h"

namespace {

// Neither a C0 nor a C1 control nor DEL.
bool printable(char c) {
    auto byte = static_cast<unsigned char>(c);
    return !(byte < 0x20 || (byte >= 0x7F && byte < 0xA0));
}

bool isSubsequence(const std::string& part, const std::string& whole) {
    std::size_t at = 0;
    for (char c : whole)
        if (at < part.size() && part[at] == c) ++at;
    return at == part.size();
}

std::string asciiOf(const std::string& text) {
    std::string ascii;
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x80) ascii += c;
    return ascii;
}

void checkDecoding(const std::string& bytes) {
    std::string latin1 = platform::utf8ToLatin1(bytes);
    require(asciiOf(latin1) == asciiOf(bytes), "every ASCII byte kept, none made up");
    require(isSubsequence(platform::latin1ToUtf8(latin1), bytes),
            "only characters spelt in the bytes");
    require(platform::utf8ToLatin1(platform::latin1ToUtf8(bytes)) == bytes,
            "Latin-1 through UTF-8 and back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return 0;
    bool utf8 = data[0] & 1;
    std::size_t limit = data[1] % 80;
    std::size_t initialLength = std::min<std::size_t>(data[4], size - 5);
    std::string initial(reinterpret_cast<const char*>(data + 5), initialLength);
    std::string bytes(reinterpret_cast<const char*>(data + 5 + initialLength),
                      size - 5 - initialLength);
    checkDecoding(bytes);
    std::string pasted = utf8 ? platform::utf8ToLatin1(bytes) : bytes;

    platform::TextField field(initial, limit);
    require(field.text().size() <= limit && field.anchor() == 0 &&
                field.caret() == field.text().size(),
            "a field starts with its text all selected");
    field.moveTo(data[2], false);
    field.moveTo(data[3], true);
    const std::string before = field.text();
    std::size_t start = field.selectionStart(), end = field.selectionEnd();
    require(end <= before.size(), "the selection lies in the text");

    std::string fitting;
    std::size_t room = limit - (before.size() - (end - start));
    for (char c : pasted)
        if (printable(c) && fitting.size() < room) fitting += c;
    require(field.insert(pasted) == fitting.size(), "as many taken as fit");
    require(field.text() == before.substr(0, start) + fitting + before.substr(end),
            "the selection replaced by the first printable bytes");
    require(field.caret() == start + fitting.size() && field.anchor() == field.caret(),
            "the caret after the pasted text");
    for (char c : field.text()) require(printable(c), "only printable bytes in a field");
    return 0;
}
