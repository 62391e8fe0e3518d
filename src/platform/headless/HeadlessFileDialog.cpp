#include <deque>

#include "platform/headless/HeadlessServices.h"
#include "platform/headless/ServiceResets.h"

namespace platform {

namespace {

struct DialogScript {
    std::deque<std::optional<std::string>> answers;
    std::optional<FileDialogOptions> last;
    int shown = 0;
};

DialogScript& script() {
    static DialogScript instance;
    return instance;
}

}  // namespace

std::string showFileDialog(const FileDialogOptions& options, const ModalPump& pump) {
    DialogScript& s = script();
    ++s.shown;
    s.last = options;
    std::optional<std::string> answer;
    if (!s.answers.empty()) {
        answer = s.answers.front();
        s.answers.pop_front();
    }
    if (pump && !pump()) return std::string();
    return answer.value_or(std::string());
}

namespace headless {

void answerNextFileDialog(std::optional<std::string> path) {
    script().answers.push_back(std::move(path));
}
std::optional<FileDialogOptions> lastFileDialog() { return script().last; }
int fileDialogsShown() { return script().shown; }

void detail::resetFileDialogs() { script() = DialogScript{}; }

}  // namespace headless
}  // namespace platform
