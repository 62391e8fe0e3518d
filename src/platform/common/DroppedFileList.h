// The file list of a Windows drop (CF_HDROP): a DROPFILES header, then the names, each
// ended by a zero character (8 or 16 bits), the list by an empty name. The bytes come
// from another program, and the system's reader trusts that the list ends where the
// source said; this one reads only within their size. Portable, so it is fuzzed anywhere.
#pragma once

#include <cstddef>

namespace platform {

// The number of names; 0 when the header or the end of the list lies outside size.
int countDroppedFiles(const unsigned char* bytes, std::size_t size);

}  // namespace platform
