#include "WineDesk.h"

#include "skin/SkinBitmaps.h"

namespace wine {

std::vector<uint32_t> screenPixels(int left, int top, int width, int height) {
    std::vector<uint32_t> pixels;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY)) {
            GdiFlush();
            const uint32_t* source = static_cast<const uint32_t*>(bits);
            pixels.assign(source, source + size_t(width) * size_t(height));
            for (uint32_t& p : pixels) p &= 0xFFFFFF;
        }
        SelectObject(memory, old);
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::vector<uint32_t> skinPixels(int id, int& width, int& height) {
    std::vector<uint32_t> pixels;
    const SkinBitmap* bitmap = findSkinBitmap(id);
    if (!bitmap) return pixels;
    width = bitmap->width;
    height = bitmap->height;
    pixels.resize(size_t(width) * size_t(height));
    for (size_t i = 0; i < pixels.size(); ++i) {
        const unsigned char* p = bitmap->rgb + i * 3;
        pixels[i] = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    }
    return pixels;
}

int titleStripMismatches(HWND editor) {
    int width = 0, height = 0;
    const auto background = skinPixels(skin::kBackground.id, width, height);
    if (width != skin::kEditorWidth || height != skin::kEditorHeight) return -1;
    POINT origin{0, 0};
    ClientToScreen(editor, &origin);
    const int rows = skin::kTitleArea.top;
    const auto shown = screenPixels(origin.x, origin.y, width, rows);
    if (shown.size() != size_t(width) * size_t(rows)) return -1;
    int mismatches = 0;
    for (size_t i = 0; i < shown.size(); ++i) mismatches += shown[i] != background[i];
    return mismatches;
}

namespace {

void send(INPUT input) { SendInput(1, &input, sizeof(INPUT)); }

void mouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    send(input);
}

void key(WORD virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    send(input);
}

}  // namespace

// A move as the mouse makes it (not a warp), so that every window sees it as input.
void movePointer(int screenX, int screenY) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = LONG((screenX * 65535.0) / (GetSystemMetrics(SM_CXSCREEN) - 1) + 0.5);
    input.mi.dy = LONG((screenY * 65535.0) / (GetSystemMetrics(SM_CYSCREEN) - 1) + 0.5);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    send(input);
    Sleep(30);
}

// Held a while: the editor's loops poll the button state and must see it down.
void pressLeft() {
    mouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(150);
}

void releaseLeft() {
    mouse(MOUSEEVENTF_LEFTUP);
    Sleep(100);
}

void pressKey(WORD virtualKey) {
    key(virtualKey, false);
    Sleep(30);
    key(virtualKey, true);
    Sleep(60);
}

void typeText(const std::string& text) {
    for (char c : text) {
        const SHORT scan = VkKeyScanA(c);
        const bool shift = (scan >> 8) & 1;
        if (shift) key(VK_SHIFT, false);
        pressKey(WORD(scan & 0xFF));
        if (shift) key(VK_SHIFT, true);
    }
}

HWND findOwnWindow(const char* className) {
    struct Search {
        const char* className;
        HWND found;
    } search{className, nullptr};
    EnumWindows(
        [](HWND candidate, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            char name[64] = {};
            DWORD process = 0;
            GetWindowThreadProcessId(candidate, &process);
            if (process == GetCurrentProcessId() && IsWindowVisible(candidate) &&
                GetClassNameA(candidate, name, sizeof name) && lstrcmpA(name, s->className) == 0) {
                s->found = candidate;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace wine

void WineDesk::SetUp() {
    std::string error;
    library = PluginLibrary::open(KRV_PLUGIN_PATH, error);
    ASSERT_TRUE(library) << error;
    plugin = HostedEffect::create(*library, host, error);
    ASSERT_TRUE(plugin) << error;
    window = platform::HostWindow::create("KRV tarnwick under Wine", skin::kEditorWidth,
                                          skin::kEditorHeight, error, 60, 60);
    ASSERT_TRUE(window) << error;
    pump(5);
    host.clear();
}

void WineDesk::TearDown() {
    joinBackground();
    if (plugin && editorOpen) closeEditor();
    plugin.reset();
    window.reset();
    library.reset();
}

void WineDesk::openEditor() {
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(window->handle())), 1);
    editorOpen = true;
    editorWindow = GetWindow(reinterpret_cast<HWND>(window->handle()), GW_CHILD);
    ASSERT_NE(editorWindow, nullptr);
    SetForegroundWindow(reinterpret_cast<HWND>(window->handle()));
    pump(15);
}

void WineDesk::closeEditor() {
    dispatch(effEditClose);
    editorOpen = false;
    pump(3);
}

void WineDesk::pump(int turns) {
    for (int i = 0; i < turns; ++i) {
        window->processEvents();
        if (editorOpen) dispatch(effEditIdle);
        Sleep(20);
    }
}

bool WineDesk::waitFor(const std::function<bool()>& done, int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        pump(1);
    }
    return done();
}

void WineDesk::inBackground(std::function<void()> work) {
    joinBackground();
    handDone = false;
    hand = std::thread([this, work] {
        work();
        handDone = true;
    });
}

void WineDesk::joinBackground() {
    // The hand may wait for something only the host's turns bring about.
    while (hand.joinable() && !handDone) pump(1);
    if (hand.joinable()) hand.join();
}

POINT WineDesk::onScreen(double x, double y) const {
    POINT point{LONG(x), LONG(y)};
    ClientToScreen(editorWindow, &point);
    return point;
}

void WineDesk::click(double x, double y) {
    const POINT at = onScreen(x, y);
    inBackground([at] {
        wine::movePointer(at.x, at.y);
        wine::pressLeft();
        wine::releaseLeft();
    });
    joinBackground();
    pump(5);
}

