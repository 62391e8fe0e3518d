// The Windows CLAP file's editor under Wine, as a CLAP host embeds it: in the host's window
// through the "win32" API, idled by the host's timer, drawn as the skin, and a click on
// the switch reaching the host as a whole gesture; destroyed, it leaves the host's window
// empty.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "WineDesk.h"
#include "support/ClapTestHost.h"

namespace {

class ClapEditorUnderWine : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        library = ClapLibrary::open(KRV_CLAP_PATH, error);
        ASSERT_TRUE(library) << error;
        window = platform::HostWindow::create("KRV tarnwick CLAP under Wine", skin::kEditorWidth,
                                              skin::kEditorHeight, error, 60, 60);
        ASSERT_TRUE(window) << error;
        plugin = host.create(*library);
        ASSERT_TRUE(plugin);
        gui = static_cast<const clap_plugin_gui*>(plugin->get_extension(plugin, CLAP_EXT_GUI));
        timers = static_cast<const clap_plugin_timer_support*>(
            plugin->get_extension(plugin, CLAP_EXT_TIMER_SUPPORT));
        ASSERT_TRUE(gui && timers);
    }
    void TearDown() override {
        if (plugin) plugin->destroy(plugin);
        window.reset();
    }
    void pump(int turns) {
        for (int i = 0; i < turns; ++i) {
            window->processEvents();
            for (const auto& [id, period] : host.timers) timers->on_timer(plugin, id);
            Sleep(20);
        }
    }
    HWND child() const {
        return GetWindow(reinterpret_cast<HWND>(window->handle()), GW_CHILD);
    }
    std::vector<ClapEventList::Sent> flushed() {
        const auto* params =
            static_cast<const clap_plugin_params*>(plugin->get_extension(plugin, CLAP_EXT_PARAMS));
        ClapEventList events;
        params->flush(plugin, events.input(), events.output());
        return events.sent;
    }

    ClapTestHost host;
    std::unique_ptr<ClapLibrary> library;
    std::unique_ptr<platform::HostWindow> window;
    const clap_plugin* plugin = nullptr;
    const clap_plugin_gui* gui = nullptr;
    const clap_plugin_timer_support* timers = nullptr;
};

TEST_F(ClapEditorUnderWine, EmbeddedDrawnClickedAndDestroyed) {
    EXPECT_FALSE(gui->is_api_supported(plugin, CLAP_WINDOW_API_X11, false));
    ASSERT_TRUE(gui->create(plugin, CLAP_WINDOW_API_WIN32, false));
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(gui->get_size(plugin, &width, &height));
    EXPECT_EQ(width, 400u);
    EXPECT_EQ(height, 309u);
    clap_window parent{CLAP_WINDOW_API_WIN32, {}};
    parent.win32 = reinterpret_cast<void*>(window->handle());
    ASSERT_TRUE(gui->set_parent(plugin, &parent));
    ASSERT_EQ(host.timers.size(), 1u);
    EXPECT_TRUE(host.descriptors.empty());  // messages come through the host's own loop
    pump(10);
    HWND editor = child();
    ASSERT_TRUE(editor);

    // The strip above the title holds no control: the background as it is.
    EXPECT_EQ(wine::titleStripMismatches(editor), 0);

    // The switch's right end is Off: begin, value 0, end.
    flushed();
    const skin::Rect& area = skin::kProcessSwitch.rect;
    POINT at{area.right - 5, LONG(area.centerY())};
    ClientToScreen(editor, &at);
    std::thread hand([at] {
        wine::movePointer(at.x, at.y);
        wine::pressLeft();
        wine::releaseLeft();
    });
    std::vector<ClapEventList::Sent> sent;
    for (int i = 0; i < 200; ++i) {
        pump(1);
        for (const auto& event : flushed()) sent.push_back(event);
        if (!sent.empty() && sent.back().type == CLAP_EVENT_PARAM_GESTURE_END) break;
    }
    hand.join();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].type, CLAP_EVENT_PARAM_GESTURE_BEGIN);
    EXPECT_EQ(sent[1].type, CLAP_EVENT_PARAM_VALUE);
    EXPECT_EQ(sent[1].value, 0.0);
    EXPECT_EQ(sent[2].type, CLAP_EVENT_PARAM_GESTURE_END);

    gui->destroy(plugin);
    EXPECT_TRUE(host.timers.empty());
    pump(2);
    EXPECT_EQ(child(), nullptr);
}

}  // namespace
