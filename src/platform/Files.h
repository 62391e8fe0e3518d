// Whole-file access for the files the user names and for the settings store, and where
// the process stands. Every reader of outside bytes gets them through readFileStart, so a
// reader never looks past the end of a file, and every writer through replaceFile, so a
// failed write never leaves a half-written file behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Reads at most maxBytes from the start of a regular file into bytes and reports the
// file's whole length (so bytes.size() == min(length, maxBytes)). False when the path
// cannot be opened for reading or is not a regular file (a folder, a pipe, a device).
bool readFileStart(const std::string& path, std::size_t maxBytes, std::string& bytes,
                   std::uint64_t& length);

// Replaces the file at path with data, all or nothing: the data goes into a temporary
// file in the same folder, which is renamed over the target only once everything was
// written. An existing target keeps its permissions; one that may not be written (or
// is not a regular file) is left alone and the call fails.
bool replaceFile(const std::string& path, const void* data, std::size_t size);

// Creates the folder and any missing parents; true when it exists afterwards.
bool makeFolders(const std::string& path);

// The path of name inside folder.
std::string joinPath(const std::string& folder, const std::string& name);

// Where the last folder separator of path stands ('/', and on Windows also '\\');
// std::string::npos when there is none.
std::size_t lastSeparator(const std::string& path);

// The process's current directory; empty when it cannot be told.
std::string currentDirectory();

// The full path of the running program's file; empty when it cannot be told.
std::string executablePath();

// path itself when absolute, else path in the current directory.
std::string absolutePath(const std::string& path);

// What separates the folders of a search list such as PATH: ':', on Windows ';'.
char pathListSeparator();

// Where this system's hosts look for plug-ins whose folder under lib is named kind
// ("vst"): the user's own (~/.vst; empty without a home folder) and those shared by all
// users (/usr/local/lib/vst, /usr/lib/vst). Neither on Windows, where each host keeps
// its own list.
std::string userPluginFolder(const std::string& kind);
std::vector<std::string> sharedPluginFolders(const std::string& kind);

}  // namespace platform
