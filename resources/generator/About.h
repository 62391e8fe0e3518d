// The about picture shown over the editor; the editor writes "v. 1.1.6" into the
// dark area kept free at kVersionText.
#pragma once

#include "SkinImage.h"

namespace skin {

SkinImage renderAbout();

}  // namespace skin
