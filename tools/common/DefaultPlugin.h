// Where the tools find our plug-in when none is named: next to the tool, else ~/.vst when
// there is a home folder.
#pragma once

#include <string>

std::string defaultPluginPath();
