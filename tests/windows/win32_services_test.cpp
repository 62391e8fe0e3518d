// The message box and the standalone host's window under Wine, met as a user meets them.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "Win32TestWindows.h"
#include "platform/HostWindow.h"
#include "platform/MessageBox.h"

namespace {

struct SeenBox {
    bool found = false;
    std::string texts;  // the texts of its controls, one after another
    bool ownWindowEnabled = true;
    bool iconIsTheErrorIcon = false;
};

BOOL CALLBACK collectText(HWND control, LPARAM seen) {
    char text[256] = {};
    GetWindowTextA(control, text, sizeof(text));
    auto* box = reinterpret_cast<SeenBox*>(seen);
    box->texts += std::string(text) + "|";
    HICON icon = reinterpret_cast<HICON>(SendMessageA(control, STM_GETICON, 0, 0));
    if (icon && icon == LoadIconA(nullptr, IDI_ERROR)) box->iconIsTheErrorIcon = true;
    return TRUE;
}

// Waits on another thread for the box with title, notes what it shows and presses OK.
std::thread closeBoxWhenShown(const char* title, HWND ownWindow, SeenBox& seen) {
    return std::thread([title, ownWindow, &seen] {
        for (int attempt = 0; attempt < 500 && !seen.found; ++attempt) {
            HWND box = FindWindowA("#32770", title);
            if (!box || !IsWindowVisible(box)) {
                Sleep(20);
                continue;
            }
            seen.found = true;
            EnumChildWindows(box, collectText, reinterpret_cast<LPARAM>(&seen));
            seen.ownWindowEnabled = IsWindowEnabled(ownWindow);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
    });
}

TEST(Win32MessageBox, ShowsTheTextModallyForTheThreadUntilClosed) {
    TestParentWindow ownWindow(100, 100);
    SeenBox seen;
    std::thread closer = closeBoxWhenShown("Error...", ownWindow.hwnd(), seen);
    platform::showMessageBox("Error...", "Not a bank file of this plug-in.",
                             platform::MessageBoxIcon::Error);
    closer.join();
    ASSERT_TRUE(seen.found) << "no message box appeared";
    EXPECT_NE(seen.texts.find("Not a bank file of this plug-in."), std::string::npos) << seen.texts;
    EXPECT_FALSE(seen.ownWindowEnabled) << "the thread's windows must wait for the box";
    EXPECT_TRUE(seen.iconIsTheErrorIcon);
    EXPECT_TRUE(IsWindowEnabled(ownWindow.hwnd())) << "enabled again once it is closed";
}

TEST(Win32MessageBox, NullTextsShowAnEmptyBoxInsteadOfFailing) {
    SeenBox seen;
    TestParentWindow ownWindow(10, 10);
    std::thread closer = closeBoxWhenShown("", ownWindow.hwnd(), seen);
    platform::showMessageBox(nullptr, nullptr, platform::MessageBoxIcon::Information);
    closer.join();
    EXPECT_TRUE(seen.found);
    EXPECT_FALSE(seen.iconIsTheErrorIcon);
}

// Reads the PNG files our canvas writes (stored deflate blocks only) into RGB rows.
bool readStoredPng(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgb) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    auto bigEndian = [&](size_t at) {
        return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 |
               uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
    };
    if (bytes.size() < 33) return false;
    width = int(bigEndian(16));
    height = int(bigEndian(20));
    size_t at = 8;
    std::vector<uint8_t> stream;
    while (at + 8 <= bytes.size()) {
        uint32_t length = bigEndian(at);
        std::string type(bytes.begin() + long(at + 4), bytes.begin() + long(at + 8));
        if (type == "IDAT") stream.insert(stream.end(), bytes.begin() + long(at + 8),
                                          bytes.begin() + long(at + 8 + length));
        at += 12 + length;
    }
    std::vector<uint8_t> raw;
    size_t pos = 2;  // the zlib header
    for (bool last = false; !last && pos + 5 <= stream.size();) {
        last = stream[pos] & 1;
        size_t length = stream[pos + 1] | size_t(stream[pos + 2]) << 8;
        auto block = stream.begin() + long(pos + 5);
        raw.insert(raw.end(), block, block + long(length));
        pos += 5 + length;
    }
    size_t row = 1 + 3 * size_t(width);
    if (raw.size() != row * size_t(height)) return false;
    rgb.clear();
    for (int y = 0; y < height; ++y)
        rgb.insert(rgb.end(), raw.begin() + long(y * row + 1), raw.begin() + long((y + 1) * row));
    return true;
}

TEST(Win32HostWindow, IsATitledTopLevelWindowOfTheAskedClientSize) {
    std::string error;
    auto host = platform::HostWindow::create("krv-host test", 320, 240, error, 30, 40);
    ASSERT_TRUE(host) << error;
    HWND window = reinterpret_cast<HWND>(host->handle());
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow());
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 240);
    char title[64] = {};
    GetWindowTextA(window, title, sizeof(title));
    EXPECT_STREQ(title, "krv-host test");

    host->setTitle("KRV tarnwick");
    GetWindowTextA(window, title, sizeof(title));
    EXPECT_STREQ(title, "KRV tarnwick");
    host->resize(400, 309);
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 309);
    EXPECT_TRUE(host->processEvents());

    // The user closes it.
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(host->processEvents());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(host->processEvents());
    host->setTitle("gone");
    EXPECT_FALSE(host->saveScreenshot("unused.png"));
}

TEST(Win32HostWindow, ScreenshotsShowTheEmbeddedEditorWindow) {
    std::string error;
    auto host = platform::HostWindow::create("screenshot", 120, 80, error, 10, 10);
    ASSERT_TRUE(host) << error;
    RecordingListener listener;
    auto editor = platform::NativeWindow::createChild(host->handle(), 60, 40, listener);
    ASSERT_TRUE(editor);
    listener.onExpose = [&] {
        auto canvas = editor->createCanvas();
        canvas->fillRect(platform::Rect{0, 0, 60, 40}, platform::Color{0, 160, 255, 255});
        canvas->fillRect(platform::Rect{10, 10, 20, 20}, platform::Color{255, 255, 0, 255});
    };
    host->processEvents();
    ASSERT_FALSE(listener.exposed.empty());
    host->sync();

    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + "krv-host-screenshot.png";
    ASSERT_TRUE(host->saveScreenshot(path));
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(readStoredPng(path, width, height, rgb));
    std::remove(path.c_str());
    ASSERT_EQ(width, 120);
    ASSERT_EQ(height, 80);
    auto at = [&](int x, int y) {
        const uint8_t* p = &rgb[(size_t(y) * 120 + size_t(x)) * 3];
        return platform::Color{p[0], p[1], p[2], 255};
    };
    EXPECT_EQ(at(2, 2), (platform::Color{0, 160, 255, 255}));
    EXPECT_EQ(at(15, 15), (platform::Color{255, 255, 0, 255}));
    EXPECT_EQ(at(100, 60), (platform::Color{0, 0, 0, 255})) << "the host's own background";
    EXPECT_FALSE(host->saveScreenshot(std::string(folder) + "no-such-folder\\shot.png"));
}

}  // namespace
