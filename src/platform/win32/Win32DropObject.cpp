#include "platform/win32/Win32DropObject.h"

#include "platform/common/DroppedFileList.h"

namespace platform::win32 {

namespace {

FORMATETC formatOf(CLIPFORMAT format) {
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

}  // namespace

int dropItemCount(IDataObject* data) {
    if (!data) return 0;
    // Text is counted before files, as one item.
    FORMATETC text = formatOf(CF_TEXT);
    if (data->QueryGetData(&text) == S_OK) return 1;
    FORMATETC files = formatOf(CF_HDROP);
    STGMEDIUM medium{};
    if (data->GetData(&files, &medium) != S_OK) return 0;
    int count = 0;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
        if (const void* bytes = GlobalLock(medium.hGlobal)) {
            count = countDroppedFiles(static_cast<const unsigned char*>(bytes),
                                      GlobalSize(medium.hGlobal));
            GlobalUnlock(medium.hGlobal);
        }
    }
    ReleaseStgMedium(&medium);
    return count;
}

HRESULT DropObject::QueryInterface(REFIID id, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG DropObject::AddRef() { return ULONG(InterlockedIncrement(&references)); }

ULONG DropObject::Release() {
    LONG left = InterlockedDecrement(&references);
    if (left <= 0) {
        delete this;
        return 0;
    }
    return ULONG(left);
}

DWORD DropObject::offered(DWORD allowed) const {
    return items > 0 && (allowed & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
}

HRESULT DropObject::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    items = dropItemCount(data);
    dragging = listener != nullptr;
    if (effect) *effect = offered(*effect);
    if (dragging) listener->dragEntered(items);
    return S_OK;
}

HRESULT DropObject::DragOver(DWORD, POINTL, DWORD* effect) {
    if (effect) *effect = offered(*effect);
    if (dragging && listener) listener->dragMoved();
    return S_OK;
}

HRESULT DropObject::DragLeave() {
    bool wasDragging = dragging;
    dragging = false;
    if (wasDragging && listener) listener->dragLeft();
    return S_OK;
}

HRESULT DropObject::Drop(IDataObject*, DWORD, POINTL, DWORD* effect) {
    // Nothing is taken, so the source must not delete what it moved.
    if (effect) *effect = DROPEFFECT_NONE;
    bool wasDragging = dragging;
    dragging = false;
    if (wasDragging && listener) listener->dropped();
    return S_OK;
}

}  // namespace platform::win32
