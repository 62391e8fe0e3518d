// A CLAP bundle file loaded as a host loads it: its exported clap_entry, initialised with
// the file's path, and the plug-in factory it offers. deinit and unloading on destruction.
#pragma once

#include <memory>
#include <string>

#include "platform/DynamicLibrary.h"
#include "clap/clap_abi.h"

class ClapLibrary {
public:
    // Null with a one-line reason when the file is not a usable CLAP plug-in.
    static std::unique_ptr<ClapLibrary> open(const std::string& path, std::string& error);
    ~ClapLibrary();
    ClapLibrary(const ClapLibrary&) = delete;
    ClapLibrary& operator=(const ClapLibrary&) = delete;

    const clap_plugin_factory& factory() const { return *pluginFactory; }
    const clap_plugin_entry& entryPoint() const { return *entry; }
    const std::string& path() const { return libraryPath; }

private:
    ClapLibrary(std::unique_ptr<platform::DynamicLibrary> library, const clap_plugin_entry* entry,
                const clap_plugin_factory* factory, std::string path)
        : library(std::move(library)), entry(entry), pluginFactory(factory), libraryPath(std::move(path)) {}

    std::unique_ptr<platform::DynamicLibrary> library;
    const clap_plugin_entry* entry;
    const clap_plugin_factory* pluginFactory;
    std::string libraryPath;
};
