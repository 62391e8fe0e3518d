// The file backend of the settings store: each key is a text file (see SettingsText.h)
// under the desktop's configuration folder. "A\B\C" lives in <root>/A/B/C.key; the
// extension keeps a key's file apart from the folder of its subkeys.
#pragma once

#include <string>

namespace platform {

// $XDG_CONFIG_HOME when it is set to an absolute path, else ~/.config; empty when not
// even a home folder is known. Read at every call, so tests can point it elsewhere.
std::string settingsRootFolder();

// The file that holds the key, or empty when keyPath is not a valid key path: its
// components must be non-empty, must not be "." or "..", must not end in ".key" and
// may hold letters, digits, space and "-_.+@" only.
std::string settingsKeyFile(const std::string& keyPath);

}  // namespace platform
