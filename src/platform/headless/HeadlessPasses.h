// The headless event pass's end, where open menus and dialogs give their scripted answers,
// as the X11 ones end at the end of a pass.
#pragma once

#include <utility>

namespace platform::headless::detail {

class PassWatcher {
public:
    virtual ~PassWatcher() = default;
    virtual void passEnded() = 0;
};

// Watchers may add and remove watchers from passEnded.
void addPassWatcher(PassWatcher* watcher);
void removePassWatcher(PassWatcher* watcher);
void endPass();

// An open headless menu or dialog (Contract): it ends with its scripted answer at the end
// of the pass `passes` passes after the one it opened in, and counts itself in openCount
// while it lives.
template <typename Contract, typename Answer, typename Ended>
class EndsAtAPass : public Contract, public PassWatcher {
public:
    EndsAtAPass(Answer answer, int passes, Ended ended, int& openCount)
        : answer(std::move(answer)), passes(passes), ended(std::move(ended)),
          openCount(openCount) {
        ++openCount;
        addPassWatcher(this);
    }
    ~EndsAtAPass() override {
        removePassWatcher(this);
        --openCount;
    }
    EndsAtAPass(const EndsAtAPass&) = delete;
    EndsAtAPass& operator=(const EndsAtAPass&) = delete;

    void passEnded() override {
        if (passes-- > 0) return;
        removePassWatcher(this);
        // Last: the owner may destroy this.
        Ended tell = std::move(ended);
        Answer told = answer;
        if (tell) tell(told);
    }

private:
    Answer answer;
    int passes;
    Ended ended;
    int& openCount;
};

}  // namespace platform::headless::detail
