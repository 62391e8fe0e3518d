// The CLAP file's editor on a private Xvfb, as a CLAP host drives it: created, embedded in
// the host's window, idled by the host's timer and our connection's descriptor, clicked,
// and destroyed, twenty times over; a click reaches the host as a gesture, a memory recall
// as value events.
#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/HostWindow.h"
#include "skin/SkinLayout.h"
#include "support/ClapTestHost.h"
#include "support/DeskObservation.h"
#include "support/XvfbSettingsSuite.h"

namespace {

class ClapEditorTest : public XvfbSettingsSuite {
protected:
    void SetUp() override {
        ASSERT_TRUE(serverError.empty()) << serverError;
        std::string error;
        library = ClapLibrary::open(KRV_CLAP_PATH, error);
        ASSERT_TRUE(library) << error;
        observer = XOpenDisplay(nullptr);
        ASSERT_TRUE(observer);
    }
    void TearDown() override {
        std::system("PATH=/usr/bin:/bin xdotool mousemove 700 700");
        if (observer) XCloseDisplay(observer);
    }

    // What the host does between its other work: its window's events, our descriptor when
    // it is readable, our timer when due.
    void pump(const clap_plugin* plugin, int turns = 1) {
        const auto* timers = static_cast<const clap_plugin_timer_support*>(
            plugin->get_extension(plugin, CLAP_EXT_TIMER_SUPPORT));
        const auto* descriptors = static_cast<const clap_plugin_posix_fd_support*>(
            plugin->get_extension(plugin, CLAP_EXT_POSIX_FD_SUPPORT));
        for (int i = 0; i < turns; ++i) {
            if (window) window->processEvents();
            for (int fd : host->descriptors) {
                pollfd ready{fd, POLLIN, 0};
                if (poll(&ready, 1, 0) > 0) descriptors->on_fd(plugin, fd, CLAP_POSIX_FD_READ);
            }
            for (const auto& [id, period] : host->timers) timers->on_timer(plugin, id);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    bool waitFor(const clap_plugin* plugin, const std::function<bool()>& done) {
        for (int i = 0; i < 300 && !done(); ++i) pump(plugin);
        return done();
    }
    static void click(int x, int y) {
        ASSERT_EQ(std::system(("PATH=/usr/bin:/bin xdotool mousemove " + std::to_string(x) + " " +
                               std::to_string(y) + " click 1")
                                  .c_str()),
                  0);
    }
    int childWindows() { return desk::childWindowCount(observer, Window(window->handle())); }
    // The events the plug-in has for the host, as a flush hands them over.
    std::vector<ClapEventList::Sent> flushed(const clap_plugin* plugin) {
        const auto* params =
            static_cast<const clap_plugin_params*>(plugin->get_extension(plugin, CLAP_EXT_PARAMS));
        ClapEventList events;
        params->flush(plugin, events.input(), events.output());
        return events.sent;
    }
    double value(const clap_plugin* plugin, uint32_t id) {
        const auto* params =
            static_cast<const clap_plugin_params*>(plugin->get_extension(plugin, CLAP_EXT_PARAMS));
        double v = -1;
        params->get_value(plugin, id, &v);
        return v;
    }

    std::unique_ptr<ClapLibrary> library;
    std::unique_ptr<ClapTestHost> host;
    std::unique_ptr<platform::HostWindow> window;
    Display* observer = nullptr;
};

TEST_F(ClapEditorTest, TwentyTimesOpenedClickedAndClosedLeavingNothingBehind) {
    // The switch's right end is Off, its left end Valve; a fresh instance runs Valve.
    const int offX = skin::kProcessSwitch.rect.right - 10;
    const int valveX = skin::kProcessSwitch.rect.left + 10;
    const int switchY = (skin::kProcessSwitch.rect.top + skin::kProcessSwitch.rect.bottom) / 2;
    int descriptorsAfterFirst = -1;
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        host = std::make_unique<ClapTestHost>();
        const clap_plugin* plugin = host->create(*library);
        ASSERT_TRUE(plugin);
        const auto* gui =
            static_cast<const clap_plugin_gui*>(plugin->get_extension(plugin, CLAP_EXT_GUI));
        ASSERT_TRUE(gui);
        const char* api = nullptr;
        bool floating = true;
        ASSERT_TRUE(gui->get_preferred_api(plugin, &api, &floating));
        EXPECT_STREQ(api, CLAP_WINDOW_API_X11);
        EXPECT_FALSE(floating);
        ASSERT_TRUE(gui->is_api_supported(plugin, CLAP_WINDOW_API_X11, false));
        ASSERT_TRUE(gui->create(plugin, CLAP_WINDOW_API_X11, false));
        // The last round at the host's factor 2.
        const bool doubled = round == 19;
        if (doubled) {
            ASSERT_TRUE(gui->set_scale(plugin, 2.0));
        }
        uint32_t width = 0, height = 0;
        ASSERT_TRUE(gui->get_size(plugin, &width, &height));
        EXPECT_EQ(width, doubled ? 800u : 400u);
        EXPECT_EQ(height, doubled ? 618u : 309u);
        EXPECT_FALSE(gui->can_resize(plugin));
        EXPECT_TRUE(gui->set_size(plugin, width, height));
        EXPECT_FALSE(gui->set_size(plugin, width + 1, height));
        std::string error;
        window = platform::HostWindow::create("clap host", int(width), int(height), error);
        ASSERT_TRUE(window) << error;
        clap_window parent{CLAP_WINDOW_API_X11, {}};
        parent.x11 = static_cast<unsigned long>(window->handle());
        ASSERT_TRUE(gui->set_parent(plugin, &parent));
        EXPECT_FALSE(gui->set_parent(plugin, &parent));  // once
        ASSERT_TRUE(gui->show(plugin));
        ASSERT_EQ(host->timers.size(), 1u);
        EXPECT_EQ(host->timers.begin()->second, 30u);
        ASSERT_EQ(host->descriptors.size(), 1u);
        EXPECT_EQ(childWindows(), 1);
        pump(plugin, 5);

        if (round == 0 || doubled) {
            // A click on the process switch: the host hears a whole gesture.
            const int scale = doubled ? 2 : 1;
            flushed(plugin);
            const int requests = host->flushRequests;
            ASSERT_EQ(value(plugin, 0), 2.0);
            click(offX * scale, switchY * scale);
            ASSERT_TRUE(waitFor(plugin, [&] { return host->flushRequests > requests; }));
            std::vector<ClapEventList::Sent> sent;
            ASSERT_TRUE(waitFor(plugin, [&] {
                for (const auto& event : flushed(plugin)) sent.push_back(event);
                return !sent.empty() && sent.back().type == CLAP_EVENT_PARAM_GESTURE_END;
            }));
            ASSERT_EQ(sent.size(), 3u);
            EXPECT_EQ(sent[0].type, CLAP_EVENT_PARAM_GESTURE_BEGIN);
            EXPECT_EQ(sent[1].type, CLAP_EVENT_PARAM_VALUE);
            EXPECT_EQ(sent[2].type, CLAP_EVENT_PARAM_GESTURE_END);
            for (const auto& event : sent) EXPECT_EQ(event.id, 0u);
            EXPECT_EQ(sent[1].value, 0.0);
            EXPECT_EQ(value(plugin, 0), 0.0);
        }
        if (round == 0) {
            // A memory recalled: the program store's change reaches the host the same way.
            const auto& storeA = skin::kStoreA.rect;
            const auto& recallA = skin::kRecallA.rect;
            click((storeA.left + storeA.right) / 2, (storeA.top + storeA.bottom) / 2);
            pump(plugin, 10);
            click(valveX, switchY);
            ASSERT_TRUE(waitFor(plugin, [&] { return value(plugin, 0) == 2.0; }));
            flushed(plugin);
            click((recallA.left + recallA.right) / 2, (recallA.top + recallA.bottom) / 2);
            ASSERT_TRUE(waitFor(plugin, [&] { return value(plugin, 0) == 0.0; }));
            const auto sent = flushed(plugin);
            ASSERT_GE(sent.size(), 3u);
            // Every parameter takes the memory's value; Process its Off.
            ASSERT_EQ(sent.size(), 5u);
            for (size_t i = 0; i < sent.size(); ++i) {
                EXPECT_EQ(sent[i].type, CLAP_EVENT_PARAM_VALUE);
                EXPECT_EQ(sent[i].value, value(plugin, sent[i].id));
            }
            EXPECT_EQ(sent[0].id, 0u);
            EXPECT_EQ(sent[0].value, 0.0);
            EXPECT_GT(host->dirtyMarks, 0);
        }

        gui->hide(plugin);
        gui->destroy(plugin);
        EXPECT_TRUE(host->timers.empty());
        EXPECT_TRUE(host->descriptors.empty());
        EXPECT_EQ(childWindows(), 0);
        plugin->destroy(plugin);
        window.reset();
        host.reset();
        if (round == 0) descriptorsAfterFirst = desk::openFileDescriptors();
    }
    // No connection, file or pipe stays open round after round.
    EXPECT_EQ(desk::openFileDescriptors(), descriptorsAfterFirst);
}

}  // namespace
