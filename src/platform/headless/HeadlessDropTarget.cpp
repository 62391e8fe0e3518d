#include <map>

#include "platform/PointerState.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/HeadlessServices.h"

namespace platform {

namespace {

std::map<WindowHandle, DropListener*>& targets() {
    static std::map<WindowHandle, DropListener*> registered;
    return registered;
}

class HeadlessDropTarget : public DropTarget {
public:
    HeadlessDropTarget(WindowHandle window, DropListener& listener)
        : window(window), listener(&listener) {
        targets()[window] = &listener;
    }
    // A later registration of the same window stays.
    ~HeadlessDropTarget() override {
        auto found = targets().find(window);
        if (found != targets().end() && found->second == listener) targets().erase(found);
    }

private:
    WindowHandle window;
    DropListener* listener;
};

DropListener* targetOf(WindowHandle window) {
    auto found = targets().find(window);
    return found == targets().end() ? nullptr : found->second;
}

Point pointerNow() {
    Point where{0, 0};
    queryPointerScreenPosition(where);
    return where;
}

}  // namespace

std::unique_ptr<DropTarget> DropTarget::create(NativeWindow& window, DropListener& listener) {
    if (!window.exists()) return nullptr;
    return std::make_unique<HeadlessDropTarget>(window.handle(), listener);
}

namespace headless {

DragData DragData::text(std::string text) {
    DragData data;
    data.textItem = std::move(text);
    return data;
}

DragData DragData::files(std::vector<std::string> paths) {
    DragData data;
    data.filePaths = std::move(paths);
    return data;
}

int DragData::itemCount() const {
    if (textItem) return 1;
    return static_cast<int>(filePaths.size());
}

bool isDropTarget(WindowHandle window) { return targetOf(window) != nullptr; }

bool dragEnter(WindowHandle window, const DragData& data, Point screen) {
    DropListener* listener = targetOf(window);
    if (!listener) return false;
    setPointer(screen, kPointerLeft);
    listener->dragEntered(data.itemCount());
    return true;
}

bool dragMove(WindowHandle window, Point screen) {
    DropListener* listener = targetOf(window);
    if (!listener) return false;
    setPointer(screen, kPointerLeft);
    listener->dragMoved();
    return true;
}

bool dragLeave(WindowHandle window) {
    DropListener* listener = targetOf(window);
    if (!listener) return false;
    setPointer(pointerNow(), 0);
    listener->dragLeft();
    return true;
}

bool drop(WindowHandle window) {
    DropListener* listener = targetOf(window);
    if (!listener) return false;
    setPointer(pointerNow(), 0);
    listener->dropped();
    return true;
}

}  // namespace headless
}  // namespace platform
