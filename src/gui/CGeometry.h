// Coordinates, rectangles and colours of the toolkit. Hit and overlap tests include
// every edge.
#pragma once

#include <cstdint>

using CCoord = int32_t;

struct CPoint {
    CPoint() = default;
    CPoint(CCoord h, CCoord v) : h(h), v(v) {}
    CPoint& offset(CCoord dh, CCoord dv) {
        h += dh;
        v += dv;
        return *this;
    }
    bool operator==(const CPoint& other) const { return h == other.h && v == other.v; }
    bool operator!=(const CPoint& other) const { return !(*this == other); }

    CCoord h = 0;
    CCoord v = 0;
};

struct CRect {
    CRect() = default;
    CRect(CCoord left, CCoord top, CCoord right, CCoord bottom)
        : left(left), top(top), right(right), bottom(bottom) {}

    CCoord width() const { return right - left; }
    CCoord height() const { return bottom - top; }
    CRect& offset(CCoord dh, CCoord dv) {
        left += dh;
        right += dh;
        top += dv;
        bottom += dv;
        return *this;
    }
    // Keeps the size and puts the top-left corner at (h, v).
    CRect& moveTo(CCoord h, CCoord v) { return offset(h - left, v - top); }
    bool pointInside(const CPoint& where) const {
        return where.h >= left && where.h <= right && where.v >= top && where.v <= bottom;
    }
    bool rectOverlap(const CRect& other) const {
        return !(other.right < left || other.left > right || other.bottom < top ||
                 other.top > bottom);
    }
    // Each edge clamped into bounds.
    CRect& bound(const CRect& bounds);
    bool operator==(const CRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const CRect& o) const { return !(*this == o); }

    CCoord left = 0;
    CCoord top = 0;
    CCoord right = 0;
    CCoord bottom = 0;
};

inline CRect& CRect::bound(const CRect& bounds) {
    auto clamp = [](CCoord value, CCoord low, CCoord high) {
        return value < low ? low : (value > high ? high : value);
    };
    left = clamp(left, bounds.left, bounds.right);
    right = clamp(right, bounds.left, bounds.right);
    top = clamp(top, bounds.top, bounds.bottom);
    bottom = clamp(bottom, bounds.top, bounds.bottom);
    return *this;
}

struct CColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 255;
    bool operator==(const CColor& o) const {
        return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha;
    }
    bool operator!=(const CColor& o) const { return !(*this == o); }
};

constexpr CColor kTransparentCColor{255, 255, 255, 0};
constexpr CColor kBlackCColor{0, 0, 0, 255};
constexpr CColor kWhiteCColor{255, 255, 255, 255};
constexpr CColor kGreyCColor{127, 127, 127, 255};
constexpr CColor kRedCColor{255, 0, 0, 255};
constexpr CColor kGreenCColor{0, 255, 0, 255};
constexpr CColor kBlueCColor{0, 0, 255, 255};
constexpr CColor kYellowCColor{255, 255, 0, 255};
constexpr CColor kMagentaCColor{255, 0, 255, 255};
constexpr CColor kCyanCColor{0, 255, 255, 255};

// Mouse buttons and modifiers, as every mouse handler receives them.
enum CButtonState : int32_t {
    kLButton = 1,
    kMButton = 2,
    kRButton = 4,
    kShift = 8,
    kControl = 16,
    kAlt = 32,
    kApple = 64,
};
