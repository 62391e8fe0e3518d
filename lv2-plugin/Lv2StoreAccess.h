// The program store's table for the editor (StoreAccess.h), over an Lv2Instance.
#pragma once

#include "lv2-plugin/StoreAccess.h"

namespace lv2front {

const KrvStoreAccess* storeAccess();

}  // namespace lv2front
