// Renders every bitmap of the editor at `scale` device pixels per logical pixel, in id
// order. Each scale is drawn natively, never enlarged from another.
#pragma once

#include <vector>

#include "SkinImage.h"

namespace skin {

std::vector<SkinImage> renderSkin(double scale);

}  // namespace skin
