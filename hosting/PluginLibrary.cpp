#include "hosting/PluginLibrary.h"

#include <dlfcn.h>

std::unique_ptr<PluginLibrary> PluginLibrary::open(const std::string& path, std::string& error) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        error = "cannot load " + path + ": " + (reason ? reason : "unknown error");
        return nullptr;
    }
    std::unique_ptr<PluginLibrary> library(new PluginLibrary(handle, path));
    if (!library->defaultEntry()) {
        error = path + " is not a plug-in: it exports neither VSTPluginMain nor main";
        return nullptr;
    }
    return library;
}

PluginLibrary::~PluginLibrary() { dlclose(handle); }

PluginEntryProc PluginLibrary::entry(const char* name) const {
    return reinterpret_cast<PluginEntryProc>(dlsym(handle, name));
}

PluginEntryProc PluginLibrary::defaultEntry() const {
    if (PluginEntryProc found = entry("VSTPluginMain")) return found;
    return entry("main");
}
