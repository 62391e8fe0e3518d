#include <cstring>

#include "platform/SettingsStore.h"

namespace platform {

void SettingsKey::set(const SettingsValue& value) {
    auto found = indexByName.find(value.name);
    if (found != indexByName.end()) {
        entries[found->second] = value;
        return;
    }
    indexByName.emplace(value.name, entries.size());
    entries.push_back(value);
}

void SettingsKey::setBinary(const std::string& name, const void* bytes, std::size_t size) {
    set({name, SettingsValueType::Binary, std::string(static_cast<const char*>(bytes), size)});
}

void SettingsKey::setString(const std::string& name, const std::string& text) {
    set({name, SettingsValueType::String, text.substr(0, text.find('\0'))});
}

void SettingsKey::merge(const SettingsKey& other) {
    for (const SettingsValue& value : other.entries) set(value);
}

const SettingsValue* SettingsKey::find(const std::string& name) const {
    auto found = indexByName.find(name);
    return found == indexByName.end() ? nullptr : &entries[found->second];
}

bool SettingsKey::getBinary(const std::string& name, void* out, std::size_t size) const {
    const SettingsValue* value = find(name);
    if (!value || value->type != SettingsValueType::Binary || value->data.size() != size)
        return false;
    std::memcpy(out, value->data.data(), size);
    return true;
}

bool SettingsKey::getString(const std::string& name, std::string& text) const {
    const SettingsValue* value = find(name);
    if (!value || value->type != SettingsValueType::String) return false;
    text = value->data;
    return true;
}

}  // namespace platform
