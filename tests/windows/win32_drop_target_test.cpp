// Drops through OLE: the drop object counting what data objects offer, the registration
// of our window, and a real DoDragDrop session of two files dropped on it.
#include "DialogsDesk.h"

#include <ole2.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <thread>
#include <string>
#include <vector>

#include "platform/DropTarget.h"
#include "platform/win32/Win32DropObject.h"

namespace {

struct RecordingDropListener : platform::DropListener {
    void dragEntered(int count) override {
        ++enters;
        items = count;
    }
    void dragMoved() override { ++moves; }
    void dragLeft() override { ++leaves; }
    void dropped() override { ++drops; }
    int enters = 0, moves = 0, leaves = 0, drops = 0;
    int items = -1;
};

// A data object offering either a file list or a text, in global memory.
class OfferedData : public IDataObject {
public:
    // ended: false leaves out the empty name and the last name's zero.
    static OfferedData* files(const std::vector<std::string>& names, bool wide = false,
                              bool ended = true) {
        std::string list;
        for (const std::string& name : names) list += name + '\0';
        list += '\0';
        if (!ended) list.resize(list.size() - 2);
        auto* data = new OfferedData(CF_HDROP);
        data->bytes.resize(sizeof(DROPFILES));
        auto* header = reinterpret_cast<DROPFILES*>(data->bytes.data());
        header->pFiles = sizeof(DROPFILES);
        header->fWide = wide;
        for (char c : list) {
            data->bytes.push_back(c);
            if (wide) data->bytes.push_back('\0');
        }
        return data;
    }
    static OfferedData* text(const std::string& text) {
        auto* data = new OfferedData(CF_TEXT);
        data->bytes.assign(text.begin(), text.end());
        data->bytes.push_back('\0');
        return data;
    }
    static OfferedData* nothing() { return new OfferedData(0); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDataObject)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++references); }
    ULONG STDMETHODCALLTYPE Release() override {
        if (--references > 0) return ULONG(references);
        delete this;
        return 0;
    }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        if (!memory) return E_OUTOFMEMORY;
        std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
        GlobalUnlock(memory);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return format && offered && format->cfFormat == offered &&
                       (format->tymed & TYMED_HGLOBAL)
                   ? S_OK
                   : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    explicit OfferedData(CLIPFORMAT offered) : offered(offered) {}
    virtual ~OfferedData() = default;
    CLIPFORMAT offered;
    std::vector<char> bytes;
    LONG references = 1;
};

// Drops on the first check once the drag has had a few looks at where the pointer is.
class DroppingSource : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropSource)) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override {
        return ++checks >= 3 ? DRAGDROP_S_DROP : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override {
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }
    int checks = 0;
};

// A release that leaves no reference behind answers 0.
ULONG releaseAll(IUnknown* object) {
    ULONG left = 0;
    do left = object->Release();
    while (left > 0);
    return left;
}

}  // namespace

TEST(Win32DropObject, CountsFilesOfBothWidthsTextAndNothing) {
    using platform::win32::dropItemCount;
    OfferedData* twoFiles = OfferedData::files({"C:\\a.krb", "C:\\b.krv"});
    EXPECT_EQ(dropItemCount(twoFiles), 2);
    twoFiles->Release();
    OfferedData* wide = OfferedData::files({"C:\\a.krb", "C:\\b.krv", "C:\\c"}, true);
    EXPECT_EQ(dropItemCount(wide), 3);
    wide->Release();
    // A list whose end is missing is not read past its memory, and counts nothing.
    OfferedData* cut = OfferedData::files({"C:\\a.krb", "C:\\b.krv"}, false, false);
    EXPECT_EQ(dropItemCount(cut), 0);
    cut->Release();
    OfferedData* text = OfferedData::text("Kick");
    EXPECT_EQ(dropItemCount(text), 1);
    text->Release();
    OfferedData* nothing = OfferedData::nothing();
    EXPECT_EQ(dropItemCount(nothing), 0);
    nothing->Release();
    EXPECT_EQ(dropItemCount(nullptr), 0);
}

TEST(Win32DropObject, AnswersItsInterfacesAndCountsReferences) {
    RecordingDropListener listener;
    auto* object = new platform::win32::DropObject(listener);
    void* found = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IDropTarget, &found), S_OK);
    EXPECT_EQ(found, static_cast<IDropTarget*>(object));
    ASSERT_EQ(object->QueryInterface(IID_IUnknown, &found), S_OK);
    EXPECT_EQ(object->QueryInterface(IID_IDataObject, &found), E_NOINTERFACE);
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(object->AddRef(), 4u);  // the creator's, two answers, this one
    EXPECT_EQ(releaseAll(object), 0u);
}

TEST(Win32DropObject, ReportsTheDragAndTakesNothingFromTheDrop) {
    RecordingDropListener listener;
    auto* object = new platform::win32::DropObject(listener);
    OfferedData* files = OfferedData::files({"C:\\a.krb", "C:\\b.krb", "C:\\c.krb"});
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    object->DragEnter(files, 0, POINTL{0, 0}, &effect);
    EXPECT_EQ(listener.items, 3);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
    effect = DROPEFFECT_MOVE;  // a source that only moves gets no copy
    object->DragOver(0, POINTL{1, 1}, &effect);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
    EXPECT_EQ(listener.moves, 1);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    object->Drop(files, 0, POINTL{1, 1}, &effect);
    // Nothing was taken: a source that moved must not delete its files.
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
    EXPECT_EQ(listener.drops, 1);

    OfferedData* nothing = OfferedData::nothing();
    effect = DROPEFFECT_COPY;
    object->DragEnter(nothing, 0, POINTL{0, 0}, &effect);
    EXPECT_EQ(listener.items, 0);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
    object->DragLeave();
    EXPECT_EQ(listener.leaves, 1);

    // Detached (its DropTarget gone), it tells nobody.
    object->detach();
    object->DragEnter(files, 0, POINTL{0, 0}, &effect);
    object->DragLeave();
    EXPECT_EQ(listener.enters, 2);
    EXPECT_EQ(listener.leaves, 1);
    files->Release();
    nothing->Release();
    object->Release();
}

class Win32DropTargetTest : public DialogsDesk {
protected:
    // Moves the pointer as input does, and waits until the system sees it there.
    static bool pointerTo(POINT where) {
        INPUT move{};
        move.type = INPUT_MOUSE;
        move.mi.dx = LONG(where.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1));
        move.mi.dy = LONG(where.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
        move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &move, sizeof move);
        return settle([where] {
            POINT at{};
            GetCursorPos(&at);
            return std::abs(at.x - where.x) <= 1 && std::abs(at.y - where.y) <= 1;
        });
    }
    RecordingDropListener listener;
};

TEST_F(Win32DropTargetTest, RegistersOnceAndRevokesWhenDestroyed) {
    auto target = platform::DropTarget::create(*window, listener);
    ASSERT_TRUE(target);
    // Registered: OLE refuses a second registration of the same window.
    IDropTarget* other = new platform::win32::DropObject(listener);
    EXPECT_EQ(RegisterDragDrop(editor, other), DRAGDROP_E_ALREADYREGISTERED);
    EXPECT_FALSE(platform::DropTarget::create(*window, listener));
    target.reset();
    // Revoked: the window is free again.
    EXPECT_EQ(RegisterDragDrop(editor, other), S_OK);
    EXPECT_EQ(RevokeDragDrop(editor), S_OK);
    other->Release();
}

TEST_F(Win32DropTargetTest, NotCreatedForAGoneWindow) {
    DestroyWindow(editor);
    EXPECT_FALSE(platform::DropTarget::create(*window, listener));
}

TEST_F(Win32DropTargetTest, NoDropsOnAThreadOfTheMultiThreadedApartment) {
    bool created = true;
    HRESULT apartment = E_FAIL;
    std::thread host([&] {
        apartment = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        created = platform::DropTarget::create(*window, listener) != nullptr;
        if (SUCCEEDED(apartment)) CoUninitialize();
    });
    host.join();
    ASSERT_TRUE(SUCCEEDED(apartment));
    EXPECT_FALSE(created);
    // The window was left unregistered, so the host's own thread can still take drops.
    EXPECT_TRUE(platform::DropTarget::create(*window, listener));
}

TEST_F(Win32DropTargetTest, TwoFilesDraggedOntoTheWindowAreCountedAndDropped) {
    auto target = platform::DropTarget::create(*window, listener);
    ASSERT_TRUE(target);
    POINT middle{kWidth / 2, kHeight / 2};
    ClientToScreen(editor, &middle);
    ASSERT_TRUE(pointerTo(middle));

    OfferedData* files = OfferedData::files({"C:\\mix.krb", "C:\\kick.krv"});
    DroppingSource source;
    DWORD effect = DROPEFFECT_NONE;
    HRESULT result = DoDragDrop(files, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    files->Release();
    EXPECT_EQ(result, DRAGDROP_S_DROP);
    EXPECT_EQ(listener.enters, 1);
    EXPECT_EQ(listener.items, 2);
    EXPECT_EQ(listener.drops, 1);
    EXPECT_EQ(listener.leaves, 0);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));  // nothing taken
}
