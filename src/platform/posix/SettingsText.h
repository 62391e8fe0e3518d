// The text form in which the file backend keeps one key: a line naming the key, then
// one line per value, like a registry export:
//
//   [SOFTWARE\Maker\Product\Key]
//   "param  0"=hex:00,00,80,3f
//   "name"="Kick"
//
// Names and strings are quoted; backslash, quote and every byte outside printable ASCII
// are escaped (\\, \", \xhh). Binary values are comma-separated hex bytes.
#pragma once

#include <string>

#include "platform/SettingsStore.h"

namespace platform {

std::string formatSettingsText(const std::string& keyPath, const SettingsKey& key);

// Reads the values of text, which may be anything. Lines that are not a well-formed
// value (and the key line, blank lines and lines starting with ';') are skipped; of two
// values with the same name the later one counts.
SettingsKey parseSettingsText(const std::string& text);

}  // namespace platform
