// Objects told of something one after the other, any of which may add or remove watchers
// while it is told: each is told once, also one added meanwhile, and never one removed
// meanwhile.
#pragma once

#include <algorithm>
#include <vector>

namespace platform {

template <typename Watcher>
class WatcherList {
public:
    void add(Watcher* watcher) {
        if (watcher && std::find(watchers.begin(), watchers.end(), watcher) == watchers.end())
            watchers.push_back(watcher);
    }
    void remove(Watcher* watcher) {
        watchers.erase(std::remove(watchers.begin(), watchers.end(), watcher), watchers.end());
    }
    void clear() { watchers.clear(); }

    // Calls tell(watcher) for each, until one answers true.
    template <typename Tell>
    void tellEach(Tell tell) {
        std::vector<Watcher*> told;
        for (;;) {
            auto next = std::find_if(watchers.begin(), watchers.end(), [&](Watcher* watcher) {
                return std::find(told.begin(), told.end(), watcher) == told.end();
            });
            if (next == watchers.end()) return;
            Watcher* watcher = *next;
            told.push_back(watcher);
            if (tell(watcher)) return;
        }
    }

private:
    std::vector<Watcher*> watchers;
};

}  // namespace platform
