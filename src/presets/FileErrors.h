// What the file readers tell the user when they refuse a file.
#pragma once

#include "platform/MessageBox.h"

constexpr const char* kInvalidFileMessage = "Error #01: Invalid preset file!";
constexpr const char* kNotABankMessage = "Not a bank file!";
constexpr const char* kNotAPresetMessage = "Error #02: Not a preset file!";

inline void showFileError(const char* text) {
    platform::showMessageBox("Error...", text, platform::MessageBoxIcon::Error);
}
