// Our window as a target of drags from other applications. Nothing is taken from a drop;
// the listener learns how many items are dragged and where the drag is.
#pragma once

#include <memory>

#include "platform/NativeWindow.h"

namespace platform {

class DropListener {
public:
    virtual ~DropListener() = default;
    // items: 1 for text, the number of files for a file list, else 0.
    virtual void dragEntered(int items) = 0;
    virtual void dragMoved() = 0;
    virtual void dragLeft() = 0;
    virtual void dropped() = 0;
};

class DropTarget {
public:
    // Registers window for drops (and, where the platform needs it, the host's top-level
    // window around it, without ever disturbing a host that takes drops itself); null
    // when the platform offers no drops.
    static std::unique_ptr<DropTarget> create(NativeWindow& window, DropListener& listener);
    // Unregisters, undoing what create set on other windows while it is still ours.
    virtual ~DropTarget() = default;
};

}  // namespace platform
