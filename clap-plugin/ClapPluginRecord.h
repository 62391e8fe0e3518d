// The records a CLAP host calls through: the plug-in's own and its extensions', each call
// leading to the instance behind the record. Every call checks its pointers first, so a
// host passing null gets a refusal, never a crash.
#pragma once

#include "clap/clap_abi.h"

namespace clapfront {

class ClapInstance;

void fillPluginRecord(clap_plugin& plugin, const clap_plugin_descriptor* descriptor,
                      ClapInstance* instance);

}  // namespace clapfront
