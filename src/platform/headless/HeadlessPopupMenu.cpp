#include <deque>
#include <utility>

#include "platform/headless/HeadlessPasses.h"
#include "platform/headless/HeadlessServices.h"
#include "platform/headless/ServiceResets.h"

namespace platform {

namespace {

struct ScriptedMenuAnswer {
    std::optional<int> id;
    int passes = 0;
};

struct MenuScript {
    std::deque<ScriptedMenuAnswer> answers;
    std::optional<headless::ShownMenu> last;
    int shown = 0;
    int open = 0;
    bool answerInsideOpen = false;
};

MenuScript& script() {
    static MenuScript instance;
    return instance;
}

using HeadlessPopupMenu =
    headless::detail::EndsAtAPass<PopupMenu, std::optional<int>, MenuEnded>;

}  // namespace

std::unique_ptr<PopupMenu> PopupMenu::open(const std::vector<MenuItem>& items,
                                           const PopupMenuOptions& options, const ModalPump& pump,
                                           MenuEnded ended) {
    MenuScript& s = script();
    ++s.shown;
    s.last = headless::ShownMenu{items, options, 0};
    ScriptedMenuAnswer answer;
    if (!s.answers.empty()) {
        answer = s.answers.front();
        s.answers.pop_front();
    }
    if (!s.answerInsideOpen)
        return std::make_unique<HeadlessPopupMenu>(answer.id, answer.passes, std::move(ended),
                                                   s.open);
    // As a system's modal menu: the pump turns while it is open, and the editor may end.
    bool goOn = !pump || pump();
    if (script().last) ++script().last->pumpTurns;
    if (ended) ended(goOn ? answer.id : std::nullopt);
    return nullptr;
}

namespace headless {

void answerNextMenu(std::optional<int> id, int passes) {
    script().answers.push_back({id, passes});
}
std::optional<ShownMenu> lastMenu() { return script().last; }
int menusShown() { return script().shown; }
int openMenuCount() { return script().open; }
void answerMenusInsideOpen(bool inside) { script().answerInsideOpen = inside; }

void detail::resetMenus() {
    int open = script().open;
    script() = MenuScript{};
    script().open = open;
}

}  // namespace headless
}  // namespace platform
