// Our texts are 8-bit Latin-1; the X selections and cairo speak UTF-8.
#pragma once

#include <string>

namespace platform {

std::string latin1ToUtf8(const std::string& latin1);
// Characters above U+00FF and malformed sequences (longer forms than needed too) are
// left out.
std::string utf8ToLatin1(const std::string& utf8);

}  // namespace platform
