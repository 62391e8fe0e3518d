// The editor background: the faceplate with every printed part. Control frames cut
// their backdrop from it, so it is rendered once and shared.
#pragma once

#include "Canvas.h"

namespace skin {

void drawPanel(Canvas& panel);

}  // namespace skin
