#include "hosting/PluginLibrary.h"

std::unique_ptr<PluginLibrary> PluginLibrary::open(const std::string& path, std::string& error) {
    std::unique_ptr<platform::DynamicLibrary> loaded = platform::DynamicLibrary::open(path, error);
    if (!loaded) return nullptr;
    std::unique_ptr<PluginLibrary> library(new PluginLibrary(std::move(loaded), path));
    if (!library->defaultEntry()) {
        error = path + " is not a plug-in: it exports neither VSTPluginMain nor main";
        return nullptr;
    }
    return library;
}

PluginEntryProc PluginLibrary::entry(const char* name) const {
    return reinterpret_cast<PluginEntryProc>(library->symbol(name));
}

PluginEntryProc PluginLibrary::defaultEntry() const {
    if (PluginEntryProc found = entry("VSTPluginMain")) return found;
    return entry("main");
}
