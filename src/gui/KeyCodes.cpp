#include "gui/KeyCodes.h"

namespace {

using platform::KeyName;

static_assert(static_cast<int>(KeyName::Back) == VKEY_BACK &&
                  static_cast<int>(KeyName::Return) == VKEY_RETURN &&
                  static_cast<int>(KeyName::Escape) == VKEY_ESCAPE &&
                  static_cast<int>(KeyName::PageDown) == VKEY_PAGEDOWN,
              "platform key names follow the host's virtual keys");

constexpr int kLastHostKeyName = VKEY_PAGEDOWN;

}  // namespace

VstKeyCode toVstKeyCode(const platform::Key& key) {
    VstKeyCode code{};
    int name = static_cast<int>(key.name);
    if (name <= kLastHostKeyName) code.virt = static_cast<unsigned char>(name);
    if (key.name == KeyName::Unnamed) code.character = key.character;
    if (key.modifiers & platform::kKeyShift) code.modifier |= MODIFIER_SHIFT;
    if (key.modifiers & platform::kKeyAlt) code.modifier |= MODIFIER_ALTERNATE;
    if (key.modifiers & platform::kKeyControl) code.modifier |= MODIFIER_CONTROL;
    return code;
}

platform::Key toPlatformKey(const VstKeyCode& code) {
    platform::Key key;
    if (code.virt >= VKEY_BACK && code.virt <= kLastHostKeyName)
        key.name = static_cast<KeyName>(code.virt);
    else
        key.character = code.character;
    if (code.modifier & MODIFIER_SHIFT) key.modifiers |= platform::kKeyShift;
    if (code.modifier & MODIFIER_ALTERNATE) key.modifiers |= platform::kKeyAlt;
    if (code.modifier & MODIFIER_CONTROL) key.modifiers |= platform::kKeyControl;
    return key;
}
