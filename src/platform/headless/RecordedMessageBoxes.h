// The headless message box: instead of showing a box it records it, so tests can check
// what the user would have seen.
#pragma once

#include <string>
#include <vector>

#include "platform/MessageBox.h"

namespace platform {

struct RecordedMessageBox {
    std::string title;
    std::string text;
    MessageBoxIcon icon;
    WindowHandle owner = 0;  // MessageBoxOwner::current() when it was shown
};

// Every box shown since the last clear, oldest first.
const std::vector<RecordedMessageBox>& recordedMessageBoxes();
void clearRecordedMessageBoxes();

}  // namespace platform
