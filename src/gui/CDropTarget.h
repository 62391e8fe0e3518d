// The frame's window as a drop target: routes the enter, move, leave and drop of a drag
// to the view under the pointer, with the pointer position read live.
#pragma once

#include <memory>

#include "platform/DropTarget.h"

class CDragContainer;
class CFrame;

// The container of the drag in progress anywhere in the process; null between drags.
CDragContainer* currentDragContainer();

class CDropTarget : public platform::DropListener {
public:
    // Registers window for drops on behalf of frame.
    CDropTarget(CFrame& frame, platform::NativeWindow& window);
    // Revokes the registration and ends a drag of ours still in progress.
    ~CDropTarget() override;
    CDropTarget(const CDropTarget&) = delete;
    CDropTarget& operator=(const CDropTarget&) = delete;

    void dragEntered(int items) override;
    void dragMoved() override;
    void dragLeft() override;
    void dropped() override;

private:
    enum class Event { Enter, Move, Leave, Drop };
    // Sends one event to the frame's views with a context of the frame's window.
    void dispatch(Event event);
    // Releases the container of the drag when it is ours.
    void endDrag();

    CFrame& frame;
    std::unique_ptr<platform::DropTarget> registration;
    bool dragging = false;
};
