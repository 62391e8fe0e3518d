#include <deque>
#include <utility>

#include "platform/headless/HeadlessPasses.h"
#include "platform/headless/HeadlessServices.h"
#include "platform/headless/ServiceResets.h"

namespace platform {

namespace {

struct ScriptedDialogAnswer {
    std::string path;
    int passes = 0;
};

struct DialogScript {
    std::deque<ScriptedDialogAnswer> answers;
    std::optional<FileDialogOptions> last;
    int shown = 0;
    int open = 0;
    bool answerInsideOpen = false;
};

DialogScript& script() {
    static DialogScript instance;
    return instance;
}

using HeadlessFileDialog =
    headless::detail::EndsAtAPass<FileDialog, std::string, FileDialogEnded>;

}  // namespace

std::unique_ptr<FileDialog> FileDialog::open(const FileDialogOptions& options,
                                             const ModalPump& pump, FileDialogEnded ended) {
    DialogScript& s = script();
    ++s.shown;
    s.last = options;
    ScriptedDialogAnswer answer;
    if (!s.answers.empty()) {
        answer = s.answers.front();
        s.answers.pop_front();
    }
    if (!s.answerInsideOpen)
        return std::make_unique<HeadlessFileDialog>(answer.path, answer.passes,
                                                    std::move(ended), s.open);
    // As a system's modal dialog: the pump turns while it is open, and the editor may end.
    bool goOn = !pump || pump();
    if (ended) ended(goOn ? answer.path : std::string());
    return nullptr;
}

namespace headless {

void answerNextFileDialog(std::optional<std::string> path, int passes) {
    script().answers.push_back({path.value_or(std::string()), passes});
}
std::optional<FileDialogOptions> lastFileDialog() { return script().last; }
int fileDialogsShown() { return script().shown; }
int openFileDialogCount() { return script().open; }
void answerFileDialogsInsideOpen(bool inside) { script().answerInsideOpen = inside; }

void detail::resetFileDialogs() {
    int open = script().open;
    script() = DialogScript{};
    script().open = open;
}

}  // namespace headless
}  // namespace platform
