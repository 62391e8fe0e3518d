// Where the tools find our plug-in when none is named: next to the tool, else ~/.vst.
#pragma once

#include <string>

std::string defaultPluginPath();
