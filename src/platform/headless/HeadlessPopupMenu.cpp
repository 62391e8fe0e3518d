#include <deque>

#include "platform/headless/HeadlessServices.h"
#include "platform/headless/ServiceResets.h"

namespace platform {

namespace {

struct MenuScript {
    std::deque<std::optional<int>> answers;
    std::optional<headless::ShownMenu> last;
    int shown = 0;
};

MenuScript& script() {
    static MenuScript instance;
    return instance;
}

}  // namespace

std::optional<int> showPopupMenu(const std::vector<MenuItem>& items,
                                 const PopupMenuOptions& options, const ModalPump& pump) {
    MenuScript& s = script();
    ++s.shown;
    s.last = headless::ShownMenu{items, options, 0};
    std::optional<int> answer;
    if (!s.answers.empty()) {
        answer = s.answers.front();
        s.answers.pop_front();
    }
    // The pump may end the editor; the record is re-read afterwards.
    bool goOn = !pump || pump();
    if (script().last) ++script().last->pumpTurns;
    if (!goOn) return std::nullopt;
    return answer;
}

namespace headless {

void answerNextMenu(std::optional<int> id) { script().answers.push_back(id); }
std::optional<ShownMenu> lastMenu() { return script().last; }
int menusShown() { return script().shown; }

void detail::resetMenus() { script() = MenuScript{}; }

}  // namespace headless
}  // namespace platform
