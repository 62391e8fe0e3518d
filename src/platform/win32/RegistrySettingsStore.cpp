#include "platform/win32/RegistrySettingsStore.h"

#include <windows.h>

#include <atomic>
#include <cctype>
#include <set>

#include "platform/SettingsStore.h"

namespace platform {

namespace {

std::atomic<bool> machineWideWritesDenied{false};

// The registry's own limits for key and value names.
constexpr std::size_t kMaxKeyNameLength = 255;
constexpr std::size_t kMaxValueNameLength = 16383;
// Far beyond any value this program writes; a larger value is not ours and is skipped.
constexpr std::size_t kMaxValueSize = 64 * 1024;

// A key handle closed on every path out.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY* out() { return &handle; }
    HKEY get() const { return handle; }
    LSTATUS close() {
        LSTATUS status = handle ? ::RegCloseKey(handle) : ERROR_SUCCESS;
        handle = nullptr;
        return status;
    }

private:
    HKEY handle = nullptr;
};

bool isValidKeyPath(const std::string& keyPath) {
    std::size_t start = 0;
    for (;;) {
        std::size_t end = keyPath.find('\\', start);
        std::size_t length = (end == std::string::npos ? keyPath.size() : end) - start;
        if (length == 0 || length > kMaxKeyNameLength) return false;
        for (std::size_t i = start; i < start + length; ++i)
            if (static_cast<unsigned char>(keyPath[i]) < 0x20) return false;  // a zero, too
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

std::string foldedCase(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

// Everything is checked before the first write, so a refusal changes nothing. The
// registry does not tell value names apart by case: two such names would write one value.
bool areValidValues(const SettingsKey& values) {
    std::set<std::string> names;
    for (const SettingsValue& value : values.values()) {
        if (value.name.size() > kMaxValueNameLength ||
            value.name.find('\0') != std::string::npos || value.data.size() > kMaxValueSize)
            return false;
        if (value.type == SettingsValueType::String && value.data.find('\0') != std::string::npos)
            return false;
        if (!names.insert(foldedCase(value.name)).second) return false;
    }
    return true;
}

LSTATUS setValue(HKEY key, const SettingsValue& value) {
    // A string is stored with its terminating zero, as the registry expects.
    const bool isString = value.type == SettingsValueType::String;
    return ::RegSetValueExA(key, value.name.c_str(), 0, isString ? REG_SZ : REG_BINARY,
                            reinterpret_cast<const BYTE*>(value.data.c_str()),
                            static_cast<DWORD>(value.data.size() + (isString ? 1 : 0)));
}

// Binary and string values; values of other types are not this store's and are left out.
bool readValues(HKEY key, SettingsKey& out) {
    std::string name(kMaxValueNameLength + 1, '\0');
    std::string data(kMaxValueSize + 1, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = REG_NONE;
        LSTATUS status = ::RegEnumValueA(key, index, &name[0], &nameLength, nullptr, &type,
                                         reinterpret_cast<BYTE*>(&data[0]), &size);
        if (status == ERROR_NO_MORE_ITEMS) return true;
        if (status == ERROR_MORE_DATA) continue;  // larger than any value of ours
        if (status != ERROR_SUCCESS) return false;
        std::string valueName(name.data(), nameLength);
        if (type == REG_BINARY)
            out.setBinary(valueName, data.data(), size);
        else if (type == REG_SZ)
            out.setString(valueName, std::string(data.data(), size));  // cut at its zero
    }
}

bool readKeyUnder(HKEY root, const std::string& keyPath, SettingsKey& key) {
    key = SettingsKey();
    RegistryKey opened;
    if (::RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_QUERY_VALUE, opened.out()) !=
        ERROR_SUCCESS)
        return false;
    if (readValues(opened.get(), key)) return true;
    key = SettingsKey();
    return false;
}

// Puts back what the key held before a write that failed half-way.
void restoreValues(HKEY key, const SettingsKey& written, const SettingsKey& before) {
    for (const SettingsValue& value : written.values()) {
        if (const SettingsValue* old = before.find(value.name))
            setValue(key, *old);
        else
            ::RegDeleteValueA(key, value.name.c_str());
    }
}

// Sets the values on the key under root, creating it and its parents; on a failure the
// values are put back as they were and a key created here is removed again.
LSTATUS writeValuesUnder(HKEY root, const std::string& keyPath, const SettingsKey& values) {
    if (root == HKEY_LOCAL_MACHINE && machineWideWritesDenied) return ERROR_ACCESS_DENIED;
    SettingsKey before;
    readKeyUnder(root, keyPath, before);  // an absent or unreadable key starts empty

    RegistryKey key;
    DWORD disposition = 0;
    LSTATUS status = ::RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr,
                                       REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.out(),
                                       &disposition);
    if (status != ERROR_SUCCESS) return status;
    for (const SettingsValue& value : values.values()) {
        status = setValue(key.get(), value);
        if (status == ERROR_SUCCESS) continue;
        restoreValues(key.get(), values, before);
        key.close();
        if (disposition == REG_CREATED_NEW_KEY) ::RegDeleteKeyA(root, keyPath.c_str());
        return status;
    }
    return key.close();
}

}  // namespace

namespace win32 {

void denyMachineWideWritesForTesting(bool deny) { machineWideWritesDenied = deny; }

}  // namespace win32

bool readSettingsKey(const std::string& keyPath, SettingsKey& key) {
    key = SettingsKey();
    if (!isValidKeyPath(keyPath)) return false;
    try {
        // The user's own copy exists only where the machine's could not be written.
        return readKeyUnder(HKEY_CURRENT_USER, keyPath, key) ||
               readKeyUnder(HKEY_LOCAL_MACHINE, keyPath, key);
    } catch (...) {
        key = SettingsKey();
        return false;  // out of memory
    }
}

bool writeSettingsValues(const std::string& keyPath, const SettingsKey& values) {
    if (!isValidKeyPath(keyPath) || !areValidValues(values)) return false;
    try {
        // What the user saw in their own copy moves machine-wide with the new values.
        SettingsKey machineWide;
        const bool hasUserCopy = readKeyUnder(HKEY_CURRENT_USER, keyPath, machineWide);
        machineWide.merge(values);
        if (writeValuesUnder(HKEY_LOCAL_MACHINE, keyPath, machineWide) == ERROR_SUCCESS) {
            // The user's older copy would hide the new values from every read. A key that
            // cannot go (it has subkeys) takes the new values as well.
            if (!hasUserCopy || ::RegDeleteKeyA(HKEY_CURRENT_USER, keyPath.c_str()) ==
                                    ERROR_SUCCESS)
                return true;
        }
        // The user's first copy starts from what reads found so far: the machine's key.
        SettingsKey userValues;
        if (!hasUserCopy) readKeyUnder(HKEY_LOCAL_MACHINE, keyPath, userValues);
        userValues.merge(values);
        return writeValuesUnder(HKEY_CURRENT_USER, keyPath, userValues) == ERROR_SUCCESS;
    } catch (...) {
        return false;  // out of memory before anything was written
    }
}

}  // namespace platform
