// The OLE drop target object of our window, written by hand: a COM object that counts what
// is dragged and tells a DropListener. It may outlive the DropTarget that made it (OLE
// holds references of its own), so the DropTarget detaches the listener when it goes.
#pragma once

#include <windows.h>

#include <ole2.h>

#include "platform/DropTarget.h"

namespace platform::win32 {

// 1 for text, the number of files for a file list, else 0.
int dropItemCount(IDataObject* data);

class DropObject final : public IDropTarget {
public:
    // Starts with one reference, the creator's.
    explicit DropObject(DropListener& listener) : listener(&listener) {}
    void detach() { listener = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL where,
                                        DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL where, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL where,
                                   DWORD* effect) override;

private:
    ~DropObject() = default;
    // Copy when something countable is dragged and the source allows it.
    DWORD offered(DWORD allowed) const;

    LONG references = 1;
    DropListener* listener;
    bool dragging = false;
    int items = 0;
};

}  // namespace platform::win32
