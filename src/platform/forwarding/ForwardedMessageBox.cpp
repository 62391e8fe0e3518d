#include <cstdio>

#include "platform/MessageBox.h"
#include "platform/forwarding/MessageForwarding.h"

namespace platform {
namespace {
// Per thread: each host thread that reads a file answers to its own caller.
thread_local MessageSink currentSink = nullptr;
thread_local void* currentContext = nullptr;
}  // namespace

ForwardedMessages::ForwardedMessages(MessageSink sink, void* context)
    : previousSink(currentSink), previousContext(currentContext) {
    currentSink = sink;
    currentContext = context;
}

ForwardedMessages::~ForwardedMessages() {
    currentSink = previousSink;
    currentContext = previousContext;
}

void showMessageBox(const char* title, const char* text, MessageBoxIcon) {
    if (!title) title = "";
    if (!text) text = "";
    if (currentSink) {
        currentSink(currentContext, title, text);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", title, text);
}

}  // namespace platform
