// Keys between the platform and the host's key codes. The platform names the same keys as
// the host, in the same order, so a name converts by its position.
#pragma once

#include "host/vst_abi.h"
#include "platform/Types.h"

// The host's code of a platform key; keys the host cannot name (Delete, Insert) carry none.
VstKeyCode toVstKeyCode(const platform::Key& key);
// The platform key of a code the host forwarded.
platform::Key toPlatformKey(const VstKeyCode& code);
