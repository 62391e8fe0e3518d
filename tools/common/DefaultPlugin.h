// Where the tools find our plug-in when none is named, in this order: beside the tool,
// and in vst/ there (the unpacked release);
// the installed layout (<prefix>/bin and <prefix>/lib/vst/krv-tarnwick, or lib/vst);
// ~/.vst; each folder of VST_PATH, then of LXVST_PATH; /usr/local/lib/vst and
// /usr/lib/vst. Each folder also with a krv-tarnwick subfolder. On Windows: beside the
// tool, the installed layout and VST_PATH (';'-separated).
#pragma once

#include <string>
#include <vector>

struct PluginSearch {
    std::string found;                  // empty when no folder holds the plug-in
    std::vector<std::string> searched;  // the folders, in the order looked in
};

PluginSearch findDefaultPlugin();

// The plug-in to load: the one named on the command line (made absolute, so that the
// system's library search never picks another), else the first found. False with a
// one-line reason naming every folder searched when there is none.
bool choosePlugin(const std::string& named, std::string& path, std::string& error);

// For the tools' help: the order above, in one line.
std::string pluginSearchSummary();
