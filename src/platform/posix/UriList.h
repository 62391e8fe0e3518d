// The items of a text/uri-list (RFC 2483): one URI a line, lines ended by CRLF (often
// just LF), '#' starting a comment line.
#pragma once

#include <string>

namespace platform::posix {

int countUriListItems(const std::string& list);

}  // namespace platform::posix
