// Loads a plug-in library from disk and finds its entry point, as any host does.
#pragma once

#include <memory>
#include <string>

#include "host/vst_abi.h"
#include "platform/DynamicLibrary.h"

using PluginEntryProc = AEffect* (*)(audioMasterCallback);

class PluginLibrary {
public:
    // Null with a one-line reason in error when the file is not a loadable plug-in.
    static std::unique_ptr<PluginLibrary> open(const std::string& path, std::string& error);
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // The exported entry by name ("VSTPluginMain" or "main"); null when absent.
    PluginEntryProc entry(const char* name) const;
    // VSTPluginMain, else main.
    PluginEntryProc defaultEntry() const;
    const std::string& path() const { return libraryPath; }

private:
    PluginLibrary(std::unique_ptr<platform::DynamicLibrary> library, std::string path)
        : library(std::move(library)), libraryPath(std::move(path)) {}
    std::unique_ptr<platform::DynamicLibrary> library;
    std::string libraryPath;
};
