// Message boxes of the plug-in until it has windows of its own: the box goes to the
// host's standard error, where a user starting the host from a terminal sees it.
#include <cstdio>

#include "platform/MessageBox.h"

namespace {
const char* iconWord(MessageBoxIcon icon) {
    switch (icon) {
        case MessageBoxIcon::Error: return "error";
        case MessageBoxIcon::Warning: return "warning";
        case MessageBoxIcon::Information: return "information";
    }
    return "message";
}
}  // namespace

void showMessageBox(const char* title, const char* text, MessageBoxIcon icon) {
    std::fprintf(stderr, "[KRV tarnwick %s] %s: %s\n", iconWord(icon), title ? title : "",
                 text ? text : "");
    std::fflush(stderr);
}
