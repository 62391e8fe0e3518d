// Logical pixels (the layout every view speaks in) and device pixels (the screen's), for a
// window or image drawn at a factor. Everything above the platform layer is logical.
#pragma once

#include <cmath>

#include "platform/Types.h"

namespace platform {

// One rule for every edge: each is rounded on its own, so rectangles that meet in
// logical pixels still meet on the screen.
inline int toDevice(int logical, double scale) {
    return static_cast<int>(std::lround(logical * scale));
}

inline Rect toDevice(const Rect& logical, double scale) {
    return Rect{toDevice(logical.left, scale), toDevice(logical.top, scale),
                toDevice(logical.right, scale), toDevice(logical.bottom, scale)};
}

// The logical pixel a device position lies in.
inline int toLogical(int device, double scale) {
    return static_cast<int>(std::floor(device / scale));
}

inline Point toLogical(Point device, double scale) {
    return Point{toLogical(device.x, scale), toLogical(device.y, scale)};
}

// The logical rectangle that covers a device one (the damage to repaint).
inline Rect coveringLogical(const Rect& device, double scale) {
    return Rect{toLogical(device.left, scale), toLogical(device.top, scale),
                static_cast<int>(std::ceil(device.right / scale)),
                static_cast<int>(std::ceil(device.bottom / scale))};
}

}  // namespace platform
