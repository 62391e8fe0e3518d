// Drops from other programs through OLE. Our window is a child of the host's, and OLE looks
// up the registered target of the child window under the pointer itself, so nothing is
// set on the host's windows.
#include "platform/DropTarget.h"
#include "platform/win32/Win32DropObject.h"

namespace platform {

namespace {

class Win32DropTarget : public DropTarget {
public:
    Win32DropTarget(HWND window, win32::DropObject* object) : window(window), object(object) {}
    ~Win32DropTarget() override {
        RevokeDragDrop(window);
        object->detach();
        object->Release();
        OleUninitialize();
    }
    Win32DropTarget(const Win32DropTarget&) = delete;
    Win32DropTarget& operator=(const Win32DropTarget&) = delete;

private:
    HWND window;
    win32::DropObject* object;
};

}  // namespace

std::unique_ptr<DropTarget> DropTarget::create(NativeWindow& window, DropListener& listener) {
    HWND handle = reinterpret_cast<HWND>(window.handle());
    if (!window.exists() || !IsWindow(handle)) return nullptr;
    // A host thread already in the multi-threaded apartment (RPC_E_CHANGED_MODE) cannot
    // take drops; S_FALSE (already initialised) still needs its OleUninitialize.
    HRESULT initialised = OleInitialize(nullptr);
    if (FAILED(initialised)) return nullptr;
    auto* object = new win32::DropObject(listener);
    if (RegisterDragDrop(handle, object) != S_OK) {
        object->Release();
        OleUninitialize();
        return nullptr;
    }
    return std::make_unique<Win32DropTarget>(handle, object);
}

}  // namespace platform
