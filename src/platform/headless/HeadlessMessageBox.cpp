#include "platform/headless/RecordedMessageBoxes.h"

namespace platform {

namespace {
std::vector<RecordedMessageBox>& boxes() {
    static std::vector<RecordedMessageBox> recorded;
    return recorded;
}
}  // namespace

void showMessageBox(const char* title, const char* text, MessageBoxIcon icon) {
    boxes().push_back({title ? title : "", text ? text : "", icon, MessageBoxOwner::current()});
}

const std::vector<RecordedMessageBox>& recordedMessageBoxes() { return boxes(); }

void clearRecordedMessageBoxes() { boxes().clear(); }

}  // namespace platform
