// A desktop at 192 dots per inch (desktop_scale_test.sh gives this program a Wine prefix of its
// own set so): the factor the platform reads for windows aware of it and for one that is not,
// and the DLL's editor drawn at that factor in a host's window.
#include <algorithm>

#include "Win32TestWindows.h"
#include "WineDesk.h"
#include "platform/DisplayScale.h"
#include "skin/SkinBitmaps.h"

namespace {

// Windows 10's way to make the windows a thread creates unaware of dots per inch.
using SetThreadAwarenessFunction = HANDLE(WINAPI*)(HANDLE);
const HANDLE kAwarenessContextUnaware = reinterpret_cast<HANDLE>(LONG_PTR(-1));

TEST(DesktopScale, IsTheDotsPerInchOver96WhereTheWindowIsAwareOfThemElseOne) {
    TestParentWindow host(300, 200);
    RecordingListener listener;
    auto child = platform::NativeWindow::createChild(host.handle(), 100, 100, listener);
    ASSERT_TRUE(child);
    EXPECT_EQ(platform::desktopScaleFactor(host.handle()), 2.0);
    EXPECT_EQ(platform::desktopScaleFactor(child->handle()), 2.0);
    EXPECT_EQ(platform::desktopScaleFactor(0), 2.0);

    auto setAwareness = reinterpret_cast<SetThreadAwarenessFunction>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext")));
    ASSERT_TRUE(setAwareness);
    HANDLE before = setAwareness(kAwarenessContextUnaware);
    TestParentWindow stretched(300, 200);
    setAwareness(before);
    EXPECT_EQ(platform::desktopScaleFactor(stretched.handle()), 1.0)
        << "the system enlarges a window that is not aware itself";
}

using EditorAtTwiceTheDotsPerInch = WineDesk;

TEST_F(EditorAtTwiceTheDotsPerInch, OpensAt800By618AndShowsTheBackgroundAtTwiceItsSize) {
    ERect* rect = nullptr;
    ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 800);
    EXPECT_EQ(rect->bottom - rect->top, 618);
    // As a host does: its window takes the size the editor asks for, then the editor opens.
    window->resize(rect->right - rect->left, rect->bottom - rect->top);
    openEditor();
    RECT client{};
    GetClientRect(editorWindow, &client);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 618);

    // The strip above the title holds no control: it shows the 2x set's background, 1 : 1.
    std::shared_ptr<const SkinSet> doubled = openSkinSet(2);
    ASSERT_TRUE(doubled);
    const SkinBitmap* background = doubled->find(skin::kBackground.id);
    ASSERT_NE(background, nullptr);
    ASSERT_EQ(background->width, 800);
    const POINT origin = onScreen(0, 0);
    const int rows = 2 * skin::kTitleArea.top;
    const auto shown = wine::screenPixels(origin.x, origin.y, 800, rows);
    ASSERT_EQ(shown.size(), size_t(800 * rows));
    int mismatches = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
        const unsigned char* rgb = background->rgb + i * 3;
        mismatches += shown[i] != (uint32_t(rgb[0]) << 16 | uint32_t(rgb[1]) << 8 | rgb[2]);
    }
    EXPECT_EQ(mismatches, 0) << "of " << shown.size() << " pixels";
}

}  // namespace
