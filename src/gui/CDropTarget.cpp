#include "gui/CDropTarget.h"

#include "gui/CDragContainer.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"

namespace {
CDragContainer* dragInProgress = nullptr;
}  // namespace

CDragContainer* currentDragContainer() { return dragInProgress; }

CDropTarget::CDropTarget(CFrame& frame, platform::NativeWindow& window)
    : frame(frame), registration(platform::DropTarget::create(window, *this)) {}

CDropTarget::~CDropTarget() {
    registration.reset();
    endDrag();
}

void CDropTarget::dragEntered(int items) {
    endDrag();
    if (dragInProgress) dragInProgress->forget();
    dragInProgress = new CDragContainer(items);
    dragging = true;
    dispatch(Event::Enter);
}

void CDropTarget::dragMoved() {
    if (dragInProgress) dispatch(Event::Move);
}

void CDropTarget::dragLeft() {
    if (!dragInProgress) return;
    dispatch(Event::Leave);
    endDrag();
}

void CDropTarget::dropped() {
    if (!dragInProgress) return;
    dispatch(Event::Drop);
    endDrag();
}

void CDropTarget::dispatch(Event event) {
    // The views get where the pointer is now, not where the platform saw it.
    CDrawContext* context = new CDrawContext(&frame, nullptr, frame.getNativeWindow());
    CPoint where;
    frame.getMouseLocation(context, where);
    CDragContainer* drag = dragInProgress;
    drag->remember();
    switch (event) {
        case Event::Enter: frame.onDragEnter(context, drag, where); break;
        case Event::Move: frame.onDragMove(context, drag, where); break;
        case Event::Leave: frame.onDragLeave(context, drag, where); break;
        case Event::Drop: frame.onDrop(context, drag, where); break;
    }
    drag->forget();
    context->forget();
}

void CDropTarget::endDrag() {
    if (!dragging) return;
    dragging = false;
    if (!dragInProgress) return;
    dragInProgress->forget();
    dragInProgress = nullptr;
}
