// The settings store: keys named by backslash-separated paths ("SOFTWARE\Maker\Key"),
// each holding named values that are either raw bytes or a zero-terminated string, as
// in a registry. Each backend (files on POSIX systems, later the registry on Windows)
// defines the two operations; a program links exactly one.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace platform {

enum class SettingsValueType { Binary, String };

struct SettingsValue {
    std::string name;
    SettingsValueType type = SettingsValueType::Binary;
    // Binary: the bytes. String: the characters without the terminating zero (a string
    // never holds a zero byte, so its stored size is data.size() + 1).
    std::string data;

    bool operator==(const SettingsValue& other) const {
        return name == other.name && type == other.type && data == other.data;
    }
};

// The values of one key, in the order they were first set; names are unique.
class SettingsKey {
public:
    // Sets the value, replacing one of the same name.
    void set(const SettingsValue& value);
    void setBinary(const std::string& name, const void* bytes, std::size_t size);
    // The text is taken up to its first zero byte.
    void setString(const std::string& name, const std::string& text);
    // Sets every value of other on this key.
    void merge(const SettingsKey& other);

    const SettingsValue* find(const std::string& name) const;
    // Copies a binary value of exactly size bytes; false for a missing value, a string
    // or another size, and then out is left alone.
    bool getBinary(const std::string& name, void* out, std::size_t size) const;
    // False for a missing value or one that is not a string.
    bool getString(const std::string& name, std::string& text) const;

    const std::vector<SettingsValue>& values() const { return entries; }
    bool operator==(const SettingsKey& other) const { return entries == other.entries; }

private:
    std::vector<SettingsValue> entries;
    std::map<std::string, std::size_t> indexByName;
};

// Reads every value of the key into key. False when the key does not exist or cannot
// be read; key is then empty.
bool readSettingsKey(const std::string& keyPath, SettingsKey& key);

// Creates the key and its missing parents and sets the given values on it; values of
// other names under the key stay. All or nothing: a failed write changes nothing.
bool writeSettingsValues(const std::string& keyPath, const SettingsKey& values);

}  // namespace platform
