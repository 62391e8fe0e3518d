#include "platform/common/KeyDeduplicator.h"

namespace platform {

namespace {

// Ctrl+letter arrives as a control character from one path and as the letter from the other.
int comparableCharacter(const Key& key) {
    int c = key.character;
    if (!(key.modifiers & kKeyControl)) return c;
    if (c >= 1 && c <= 26) return 'a' + c - 1;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 'a';
    return c;
}

}  // namespace

bool KeyDeduplicator::take(const Key& key, KeyPath path, long now) {
    while (!pending.empty() && now - pending.front().time > kWindowMilliseconds)
        pending.pop_front();
    // Modifiers are left out of the match: hosts report them in their own way.
    int character = comparableCharacter(key);
    for (auto it = pending.begin(); it != pending.end(); ++it) {
        if (it->path != path && it->character == character && it->name == key.name) {
            pending.erase(it);
            return false;
        }
    }
    pending.push_back(Pending{character, key.name, path, now});
    return true;
}

}  // namespace platform
