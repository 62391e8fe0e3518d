// One physical key press may reach a field twice: as a window-system event on the field
// and as a key the host forwards after seeing the same press in its own window. Each
// press is taken from whichever path delivers it first; the copy from the other path,
// arriving within a short window, is dropped. Presses on one path are never merged, so
// a doubled letter typed quickly stays doubled.
#pragma once

#include <deque>

#include "platform/Types.h"

namespace platform {

enum class KeyPath { Window, Host };

class KeyDeduplicator {
public:
    static constexpr long kWindowMilliseconds = 400;

    // True when the press is new and should be taken; now in milliseconds of any clock
    // that only moves forward.
    bool take(const Key& key, KeyPath path, long now);

private:
    struct Pending {
        int character;
        KeyName name;
        KeyPath path;
        long time;
    };
    std::deque<Pending> pending;
};

}  // namespace platform
