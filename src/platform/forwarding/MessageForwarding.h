// A message box backend without windows, for a library that has none of its own (the LV2
// DSP): a box shown on a thread goes to the sink of that thread's innermost scope (an
// editor in another library shows it), else its title and text go to standard error.
#pragma once

namespace platform {

using MessageSink = void (*)(void* context, const char* title, const char* text);

// While one lives, boxes shown on this thread go to sink (null: standard error). Scopes nest.
class ForwardedMessages {
public:
    ForwardedMessages(MessageSink sink, void* context);
    ~ForwardedMessages();
    ForwardedMessages(const ForwardedMessages&) = delete;
    ForwardedMessages& operator=(const ForwardedMessages&) = delete;

private:
    MessageSink previousSink;
    void* previousContext;
};

}  // namespace platform
