// One rendered bitmap of the skin: its resource id, size and packed RGB rows.
#pragma once

#include <cstdint>
#include <vector>

#include "Canvas.h"

namespace skin {

struct SkinImage {
  int id;
  int width;  // in device pixels
  int height;
  std::vector<std::uint8_t> rgb;  // rows top to bottom, red, green, blue
};

inline SkinImage imageOf(int id, const Canvas& canvas) {
  return {id, canvas.deviceWidth(), canvas.deviceHeight(), canvas.rgb()};
}

}  // namespace skin
