// The CLAP library's only export, clap_entry: the factory of its one plug-in.
#include <atomic>
#include <cstring>
#include <new>

#include "KrvVersion.h"
#include "clap-plugin/ClapInstance.h"
#include "clap/clap_abi.h"
#include "effect/PlugInIdentity.h"

#ifdef _WIN32
#define KRV_EXPORT __declspec(dllexport)
#else
#define KRV_EXPORT __attribute__((visibility("default")))
#endif

namespace {

// Kept by hosts in their sessions: never changes.
constexpr char kPluginId[] = "com.krv-soundlab.tarnwick";

const char* const kFeatures[] = {"audio-effect", "compressor", "stereo", nullptr};

const clap_plugin_descriptor kDescriptor{
    kClapVersion,
    kPluginId,
    identity::kName,
    identity::kMaker,
    "",
    "",
    "",
    KRV_VERSION_TEXT,
    "Stereo opto compressor with a valve-style saturation stage",
    kFeatures,
};

// init may come again after deinit, and more than once: only the count matters here.
std::atomic<int> initCount{0};

uint32_t pluginCount(const clap_plugin_factory* factory) { return factory ? 1 : 0; }

const clap_plugin_descriptor* pluginDescriptor(const clap_plugin_factory* factory,
                                               uint32_t index) {
    return factory && index == 0 ? &kDescriptor : nullptr;
}

const clap_plugin* createPlugin(const clap_plugin_factory* factory, const clap_host* host,
                                const char* pluginId) {
    if (!factory || !host || !pluginId || std::strcmp(pluginId, kPluginId) != 0) return nullptr;
    if (!clapVersionIsCompatible(host->clap_version) || initCount.load() <= 0) return nullptr;
    try {
        clapfront::ClapInstance* instance = clapfront::ClapInstance::create(host, &kDescriptor);
        return instance ? instance->record() : nullptr;
    } catch (...) {
        // Nothing may unwind into the host.
        return nullptr;
    }
}

const clap_plugin_factory kFactory{pluginCount, pluginDescriptor, createPlugin};

bool entryInit(const char*) {
    initCount.fetch_add(1);
    return true;
}

void entryDeinit() {
    int count = initCount.load();
    while (count > 0 && !initCount.compare_exchange_weak(count, count - 1)) {
    }
}

const void* entryFactory(const char* id) {
    return id && std::strcmp(id, CLAP_PLUGIN_FACTORY_ID) == 0 ? &kFactory : nullptr;
}

}  // namespace

extern "C" {
KRV_EXPORT extern const clap_plugin_entry clap_entry;
const clap_plugin_entry clap_entry{kClapVersion, entryInit, entryDeinit, entryFactory};
}
