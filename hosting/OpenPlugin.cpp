#include "hosting/ClapHostedPlugin.h"
#include "hosting/HostedPlugin.h"
#include "hosting/VstHostedPlugin.h"

namespace {

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::unique_ptr<HostedPlugin> openPlugin(const std::string& path, const HostServices& services,
                                         std::string& error) {
    if (endsWith(path, ".clap")) return ClapHostedPlugin::open(path, services, error);
    if (!services.vst) {
        error = path + " is a VST library, which this host does not load";
        return nullptr;
    }
    return VstHostedPlugin::open(path, *services.vst, error);
}
