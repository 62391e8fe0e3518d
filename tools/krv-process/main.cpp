// krv-process: the offline host. Loads a plug-in through its entry point and shows
// what it offers.
#include <cstdio>
#include <cstring>
#include <string>

#include "hosting/RecordingHost.h"
#include "tools/common/DefaultPlugin.h"

namespace {

void printUsage(FILE* out) {
    std::fprintf(out,
                 "usage: krv-process [--plugin FILE] --list\n"
                 "  --plugin FILE  the plug-in library to load (default: %s)\n"
                 "  --list         print the effect's identity, programs and parameters\n",
                 defaultPluginPath().c_str());
}

int listEffect(HostedEffect& effect) {
    AEffect* record = effect.effect();
    std::printf("effect:   %s\n", effect.text(effGetEffectName).c_str());
    std::printf("product:  %s\n", effect.text(effGetProductString).c_str());
    std::printf("vendor:   %s, version %ld\n", effect.text(effGetVendorString).c_str(),
                static_cast<long>(effect.dispatch(effGetVendorVersion)));
    VstInt32 id = record->uniqueID;
    std::printf("id:       %c%c%c%c, %d in, %d out, %d parameters\n", (id >> 24) & 0xFF,
                (id >> 16) & 0xFF, (id >> 8) & 0xFF, id & 0xFF, record->numInputs,
                record->numOutputs, record->numParams);
    std::printf("program:  %s\n", effect.text(effGetProgramName).c_str());
    std::printf("parameters:\n");
    for (VstInt32 i = 0; i < record->numParams; ++i) {
        std::string name = effect.parameterName(i);
        if (name == " " || name.empty()) continue;
        std::printf("  %2d %-12s %-6s (%.4f)\n", i, name.c_str(),
                    effect.parameterDisplay(i).c_str(), effect.getParameter(i));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string pluginPath = defaultPluginPath();
    bool list = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--plugin" && i + 1 < argc) {
            pluginPath = argv[++i];
        } else if (arg == "--list") {
            list = true;
        } else if (arg == "-h" || arg == "--help") {
            printUsage(stdout);
            return 0;
        } else {
            std::fprintf(stderr, "krv-process: unknown option %s\n", arg.c_str());
            printUsage(stderr);
            return 2;
        }
    }
    if (!list) {
        printUsage(stderr);
        return 2;
    }
    std::string error;
    auto library = PluginLibrary::open(pluginPath, error);
    RecordingHost host;
    auto effect = library ? HostedEffect::create(*library, host, error) : nullptr;
    if (!effect) {
        std::fprintf(stderr, "krv-process: %s\n", error.c_str());
        return 1;
    }
    return listEffect(*effect);
}
