// Modal message boxes, the only way failures reach the user. Each backend (x11, headless
// for tests, later win32) defines showMessageBox; a program links exactly one.
#pragma once

namespace platform {

enum class MessageBoxIcon { Error, Warning, Information };

// Shows text under title in a modal box without an owner window and returns when the
// user has closed it.
void showMessageBox(const char* title, const char* text, MessageBoxIcon icon);

}  // namespace platform
