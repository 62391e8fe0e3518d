// Windows only: the registry as the settings store leaves it, checked with the system's
// own calls. The tree given (a key under SOFTWARE) is removed from both roots when the
// object is made and when it goes, and machine-wide writes are allowed again. The
// registry is shared by every test of a Wine prefix: tests using it must not run at once.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "platform/win32/RegistrySettingsStore.h"

struct RawRegistryValue {
    DWORD type = REG_NONE;
    std::string data;  // as stored, a string's terminating zero included
    bool operator==(const RawRegistryValue& other) const {
        return type == other.type && data == other.data;
    }
};

class RegistryScratch {
public:
    explicit RegistryScratch(std::string tree) : tree(std::move(tree)) { clear(); }
    ~RegistryScratch() { clear(); }
    RegistryScratch(const RegistryScratch&) = delete;
    RegistryScratch& operator=(const RegistryScratch&) = delete;

    static bool keyExists(HKEY root, const std::string& path) {
        HKEY key;
        if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        ::RegCloseKey(key);
        return true;
    }

    // Every value of the key by name; empty when the key is absent.
    static std::map<std::string, RawRegistryValue> values(HKEY root, const std::string& path) {
        std::map<std::string, RawRegistryValue> found;
        HKEY key;
        if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return found;
        for (DWORD index = 0;; ++index) {
            char name[256];
            DWORD nameLength = sizeof(name);
            std::string data(256 * 1024, '\0');
            DWORD size = static_cast<DWORD>(data.size());
            RawRegistryValue value;
            if (::RegEnumValueA(key, index, name, &nameLength, nullptr, &value.type,
                                reinterpret_cast<BYTE*>(&data[0]), &size) != ERROR_SUCCESS)
                break;
            value.data = data.substr(0, size);
            found[std::string(name, nameLength)] = value;
        }
        ::RegCloseKey(key);
        return found;
    }

    // Writes one value as another program (or an earlier install) would.
    static bool setRaw(HKEY root, const std::string& path, const std::string& name, DWORD type,
                       const std::string& data) {
        HKEY key;
        if (::RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                              nullptr, &key, nullptr) != ERROR_SUCCESS)
            return false;
        LSTATUS status = ::RegSetValueExA(key, name.c_str(), 0, type,
                                          reinterpret_cast<const BYTE*>(data.data()),
                                          static_cast<DWORD>(data.size()));
        ::RegCloseKey(key);
        return status == ERROR_SUCCESS;
    }

private:
    void clear() const {
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, tree.c_str());
        ::RegDeleteTreeA(HKEY_CURRENT_USER, tree.c_str());
        platform::win32::denyMachineWideWritesForTesting(false);
    }

    std::string tree;
};
