// Reading the text of an X selection (CLIPBOARD or PRIMARY) for a paste.
#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string>

namespace platform::x11 {

// Asks the selection's owner for its text and waits a bounded time for the answer; our
// windows keep painting meanwhile, and every other event stays queued in its order.
// The text comes back as Latin-1; nothing when there is no owner, no text, no answer in
// time, or the owner sends it in pieces (INCR).
std::optional<std::string> readSelectionText(Display* display, Window requestor, Atom selection,
                                             Time time);

}  // namespace platform::x11
