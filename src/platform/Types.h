// The plain values every platform service speaks in: geometry, colours, fonts and keys.
// No service header includes the plug-in interface; the toolkit converts at its edge.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

namespace platform {

struct Color {
    uint8_t red, green, blue, alpha;
    bool operator==(const Color& other) const {
        return red == other.red && green == other.green && blue == other.blue &&
               alpha == other.alpha;
    }
    bool operator!=(const Color& other) const { return !(*this == other); }
};

// Pixel rectangle, right and bottom exclusive.
struct Rect {
    int left, top, right, bottom;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
};

// The smallest rectangle holding both; an empty one adds nothing.
inline Rect unite(const Rect& a, const Rect& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

struct Point {
    int x, y;
};

enum class TextAlign { Left, Center, Right };

struct FontSpec {
    std::string face;
    int pixelHeight = 12;  // character height, as the font size in pixels
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const FontSpec& o) const {
        return face == o.face && pixelHeight == o.pixelHeight && bold == o.bold &&
               italic == o.italic && underline == o.underline;
    }
};

// Keys that carry no character. The toolkit maps them one to one onto the host's codes.
enum class KeyName : uint8_t {
    Unnamed,  // a character key
    Back,
    Tab,
    Clear,
    Return,
    Pause,
    Escape,
    Space,
    Next,
    End,
    Home,
    Left,
    Up,
    Right,
    Down,
    PageUp,
    PageDown,
    Delete,
    Insert,
};

enum KeyModifierBits : int {
    kKeyShift = 1,
    kKeyAlt = 2,
    kKeyControl = 4,
};

// One key as a window reports it: a character (a byte of the Latin-1 range) or a name,
// with the modifiers held.
struct Key {
    int character = 0;
    KeyName name = KeyName::Unnamed;
    int modifiers = 0;
    bool operator==(const Key& o) const {
        return character == o.character && name == o.name && modifiers == o.modifiers;
    }
};

}  // namespace platform
