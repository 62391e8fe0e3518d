#include "platform/MessageBox.h"

namespace platform {

namespace {
thread_local WindowHandle innermostOwner = 0;
}  // namespace

MessageBoxOwner::MessageBoxOwner(WindowHandle owner) : previous(innermostOwner) {
    innermostOwner = owner;
}

MessageBoxOwner::~MessageBoxOwner() { innermostOwner = previous; }

WindowHandle MessageBoxOwner::current() { return innermostOwner; }

}  // namespace platform
