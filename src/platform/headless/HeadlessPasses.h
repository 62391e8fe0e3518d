// The headless event pass's end, where open menus and dialogs give their scripted answers,
// as the X11 ones end at the end of a pass.
#pragma once

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

}  // namespace platform::headless::detail
