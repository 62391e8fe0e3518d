// A native single-line text field over a rectangle of one of our windows, for editing a
// text in place. It opens with all text selected and the keyboard focus, and reports
// Return and the loss of focus; whoever listens decides when it closes.
#pragma once

#include <memory>
#include <string>

#include "platform/NativeWindow.h"
#include "platform/Types.h"

namespace platform {

struct EditBoxStyle {
    FontSpec font;
    Color text{0, 0, 0, 255};
    Color background{255, 255, 255, 255};
    TextAlign align = TextAlign::Left;
};

// The listener may destroy the edit box from inside either call.
class EditBoxListener {
public:
    virtual ~EditBoxListener() = default;
    virtual void editBoxReturnPressed() = 0;
    virtual void editBoxFocusLost() = 0;
};

class EditBox {
public:
    // Longest text the box holds; typing and pasting stop there, and bytes that are not
    // printable are not taken.
    static constexpr int kMaxLength = 255;

    // A box over area (in parent's coordinates) holding text; null when it cannot be made.
    static std::unique_ptr<EditBox> create(NativeWindow& parent, const Rect& area,
                                           const std::string& text, const EditBoxStyle& style,
                                           EditBoxListener& listener);
    // Destroys the box's window.
    virtual ~EditBox() = default;

    virtual std::string text() const = 0;
    // A key the host forwarded (effEditKeyDown/effEditKeyUp) while the box is open. Hosts
    // and the window system may both deliver the same key press; the box takes each press
    // once, whichever way it came first. True when the key was for the box.
    virtual bool forwardKey(const Key& key, bool pressed) = 0;
};

}  // namespace platform
