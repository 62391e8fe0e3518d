// Renders every bitmap of the editor, in id order.
#pragma once

#include <vector>

#include "SkinImage.h"

namespace skin {

std::vector<SkinImage> renderSkin();

}  // namespace skin
