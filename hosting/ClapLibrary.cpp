#include "hosting/ClapLibrary.h"

std::unique_ptr<ClapLibrary> ClapLibrary::open(const std::string& path, std::string& error) {
    std::unique_ptr<platform::DynamicLibrary> loaded = platform::DynamicLibrary::open(path, error);
    if (!loaded) return nullptr;
    // A data symbol: the address is the record itself.
    auto* entry = static_cast<const clap_plugin_entry*>(loaded->symbol("clap_entry"));
    if (!entry) {
        error = path + " is not a CLAP plug-in: it exports no clap_entry";
        return nullptr;
    }
    const clap_version_t& version = entry->clap_version;
    if (!clapVersionIsCompatible(version) || !entry->init || !entry->deinit || !entry->get_factory) {
        error = path + " declares CLAP " + std::to_string(version.major) + "." +
                std::to_string(version.minor) + "." + std::to_string(version.revision) +
                ", which this host cannot load";
        return nullptr;
    }
    if (!entry->init(path.c_str())) {
        error = path + " refused to initialise";
        return nullptr;
    }
    auto* factory = static_cast<const clap_plugin_factory*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
    if (!factory || !factory->get_plugin_count || !factory->get_plugin_descriptor || !factory->create_plugin ||
        factory->get_plugin_count(factory) == 0) {
        entry->deinit();
        error = path + " offers no plug-in";
        return nullptr;
    }
    return std::unique_ptr<ClapLibrary>(new ClapLibrary(std::move(loaded), entry, factory, path));
}

ClapLibrary::~ClapLibrary() { entry->deinit(); }
