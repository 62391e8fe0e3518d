// The LV2 bundle's editor on a private Xvfb, as an LV2 host runs it beside the DSP in one
// process: instantiated in a parent window, idled, clicked (a touched and written port), a
// program chosen from the menu (every changed value written back to the ports, so the
// DSP's next run keeps it), cleaned up, twenty times over; without the instance, an editor
// without programs.
#include <gtest/gtest.h>
#include <lv2/core/lv2.h>
#include <lv2/data-access/data-access.h>
#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "effect/HostValues.h"
#include "lv2-plugin/Lv2Ports.h"
#include "lv2-plugin/StoreAccess.h"
#include "platform/DynamicLibrary.h"
#include "platform/HostWindow.h"
#include "skin/SkinLayout.h"
#include "support/DeskObservation.h"
#include "support/TemporaryFolder.h"
#include "support/XvfbSettingsSuite.h"

namespace {

using namespace lv2front;

// The host's side of one plug-in: its port buffers, and what the editor asked of it.
struct HostSide {
    float ports[kNumPorts] = {};
    std::vector<std::pair<uint32_t, float>> writes;
    std::vector<std::pair<uint32_t, bool>> touches;
    std::vector<std::pair<int, int>> resizes;

    static void write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format,
                      const void* buffer) {
        auto* self = static_cast<HostSide*>(controller);
        if (port >= kNumPorts || size != sizeof(float) || format != 0) return;
        self->ports[port] = *static_cast<const float*>(buffer);
        self->writes.emplace_back(port, self->ports[port]);
    }
    static void touch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
        static_cast<HostSide*>(handle)->touches.emplace_back(port, grabbed);
    }
    static int resize(LV2UI_Feature_Handle handle, int width, int height) {
        static_cast<HostSide*>(handle)->resizes.emplace_back(width, height);
        return 0;
    }
};

// The host's URI map: each URI its own number.
struct UriMap {
    std::vector<std::string> uris;
    static LV2_URID map(LV2_URID_Map_Handle handle, const char* uri) {
        auto& uris = static_cast<UriMap*>(handle)->uris;
        for (size_t i = 0; i < uris.size(); ++i)
            if (uris[i] == uri) return LV2_URID(i + 1);
        uris.emplace_back(uri);
        return LV2_URID(uris.size());
    }
};

class Lv2UiTest : public XvfbSettingsSuite {
protected:
    void SetUp() override {
        ASSERT_TRUE(serverError.empty()) << serverError;
        std::string error;
        dspLibrary = platform::DynamicLibrary::open(std::string(KRV_LV2_BUNDLE) + "krv-tarnwick_dsp.so", error);
        ASSERT_TRUE(dspLibrary) << error;
        uiLibrary = platform::DynamicLibrary::open(std::string(KRV_LV2_BUNDLE) + "krv-tarnwick_ui.so", error);
        ASSERT_TRUE(uiLibrary) << error;
        auto dspEntry = reinterpret_cast<LV2_Descriptor_Function>(dspLibrary->symbol("lv2_descriptor"));
        auto uiEntry = reinterpret_cast<LV2UI_DescriptorFunction>(uiLibrary->symbol("lv2ui_descriptor"));
        ASSERT_TRUE(dspEntry && uiEntry);
        dsp = dspEntry(0);
        ui = uiEntry(0);
        ASSERT_TRUE(dsp && ui);
        EXPECT_STREQ(ui->URI, kUiUri);
        observer = XOpenDisplay(nullptr);
        ASSERT_TRUE(observer);
    }
    void TearDown() override {
        std::system("PATH=/usr/bin:/bin xdotool mousemove 700 700");
        if (observer) XCloseDisplay(observer);
    }

    static void xdotool(const std::string& arguments) {
        ASSERT_EQ(std::system(("PATH=/usr/bin:/bin xdotool " + arguments).c_str()), 0) << arguments;
    }
    static void click(int x, int y) {
        xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
    }
    void pump(int turns = 1) {
        for (int i = 0; i < turns; ++i) {
            if (window) window->processEvents();
            if (idle) {
                EXPECT_EQ(idle->idle(handle), 0);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    bool waitFor(const std::function<bool()>& done) {
        for (int i = 0; i < 300 && !done(); ++i) pump();
        return done();
    }
    int childWindows() { return desk::childWindowCount(observer, Window(window->handle())); }
    int openMenus() { return desk::openMenuCount(observer); }
    // A run of the DSP as the host makes one: its port buffers as they are now.
    void run(LV2_Handle instance, HostSide& side) {
        float in[64] = {}, out[2][64] = {};
        dsp->connect_port(instance, kInLeft, in);
        dsp->connect_port(instance, kInRight, in);
        dsp->connect_port(instance, kOutLeft, out[0]);
        dsp->connect_port(instance, kOutRight, out[1]);
        for (uint32_t port = kFirstControl; port <= kMeter; ++port)
            dsp->connect_port(instance, port, &side.ports[port]);
        dsp->run(instance, 64);
    }

    std::unique_ptr<platform::DynamicLibrary> dspLibrary, uiLibrary;
    const LV2_Descriptor* dsp = nullptr;
    const LV2UI_Descriptor* ui = nullptr;
    const LV2UI_Idle_Interface* idle = nullptr;
    LV2UI_Handle handle = nullptr;
    std::unique_ptr<platform::HostWindow> window;
    Display* observer = nullptr;
};

TEST_F(Lv2UiTest, TwentyTimesOpenedClickedAndCleanedUpLeavingNothingBehind) {
    const auto& process = skin::kProcessSwitch.rect;
    const int offX = process.right - 10, switchY = (process.top + process.bottom) / 2;
    const auto& menu = skin::kProgramMenu;
    int descriptorsAfterFirst = -1;
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        // Every other round the host keeps the instance to itself, as a host running the
        // editor in another process must.
        const bool withStore = round % 2 == 0;
        LV2_Handle instance = dsp->instantiate(dsp, 48000.0, KRV_LV2_BUNDLE, nullptr);
        ASSERT_TRUE(instance);
        const auto* store = static_cast<const KrvStoreAccess*>(dsp->extension_data(kStoreAccessUri));
        ASSERT_TRUE(store);
        HostSide side;
        for (const ControlPort& control : kControls)
            side.ports[control.port] = static_cast<float>(parameters::hostValue(
                control.parameter, store->parameterValue(instance, control.parameter)));
        if (dsp->activate) dsp->activate(instance);
        run(instance, side);

        std::string error;
        window = platform::HostWindow::create("lv2 host", 400, 309, error);
        ASSERT_TRUE(window) << error;
        LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(window->handle())};
        LV2UI_Touch touch{&side, HostSide::touch};
        LV2_Feature touchFeature{LV2_UI__touch, &touch};
        LV2UI_Resize resize{&side, HostSide::resize};
        LV2_Feature resizeFeature{LV2_UI__resize, &resize};
        LV2_Feature instanceFeature{LV2_INSTANCE_ACCESS_URI, instance};
        LV2_Extension_Data_Feature access{dsp->extension_data};
        LV2_Feature accessFeature{LV2_DATA_ACCESS_URI, &access};
        std::vector<const LV2_Feature*> features = {&parent, &touchFeature, &resizeFeature};
        if (withStore) {
            features.push_back(&instanceFeature);
            features.push_back(&accessFeature);
        }
        // One round at the host's factor 2, given as the UI's scale factor option.
        const bool doubled = round == 3;
        UriMap uris;
        LV2_URID_Map map{&uris, UriMap::map};
        LV2_Feature mapFeature{LV2_URID__map, &map};
        const float factor = 2.0f;
        LV2_Options_Option options[] = {
            {LV2_OPTIONS_INSTANCE, 0, UriMap::map(&uris, LV2_UI__scaleFactor), sizeof(float),
             UriMap::map(&uris, LV2_ATOM__Float), &factor},
            {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
        LV2_Feature optionsFeature{LV2_OPTIONS__options, options};
        if (doubled) {
            features.push_back(&mapFeature);
            features.push_back(&optionsFeature);
        }
        features.push_back(nullptr);
        LV2UI_Widget widget = nullptr;
        handle = ui->instantiate(ui, kPluginUri, KRV_LV2_BUNDLE, HostSide::write, &side, &widget,
                                 features.data());
        ASSERT_TRUE(handle);
        ASSERT_TRUE(widget);
        EXPECT_EQ(childWindows(), 1);
        ASSERT_EQ(side.resizes.size(), 1u);
        EXPECT_EQ(side.resizes[0], doubled ? std::make_pair(800, 618) : std::make_pair(400, 309));
        // Not listed as a feature by every host, but always there.
        idle = static_cast<const LV2UI_Idle_Interface*>(ui->extension_data(LV2_UI__idleInterface));
        ASSERT_TRUE(idle);
        for (uint32_t port = kFirstControl; port <= kMeter; ++port)
            ui->port_event(handle, port, sizeof(float), 0, &side.ports[port]);
        pump(5);

        if (round < 2) {
            // A click on the process switch's Off end: touched, written, released.
            ASSERT_EQ(side.ports[4], 2.0f);
            click(offX, switchY);
            ASSERT_TRUE(waitFor([&] { return side.touches.size() >= 2; }));
            EXPECT_EQ(side.touches.front(), std::make_pair(4u, true));
            EXPECT_EQ(side.touches.back(), std::make_pair(4u, false));
            ASSERT_FALSE(side.writes.empty());
            EXPECT_EQ(side.writes.back(), std::make_pair(4u, 0.0f));
            run(instance, side);
            EXPECT_EQ(store->parameterValue(instance, 0), 0.0f);
        }
        if (round == 0) {
            // A program chosen from the menu: the DSP has it at once, and every value it
            // changed is written back, so the next run keeps the program.
            side.writes.clear();
            click((menu.left + menu.right) / 2, (menu.top + menu.bottom) / 2);
            ASSERT_TRUE(waitFor([&] { return openMenus() > 0; }));
            xdotool("mousemove 700 700");
            for (int i = 0; i <= 16; ++i) xdotool("key Down");
            xdotool("key Return");
            ASSERT_TRUE(waitFor([&] { return openMenus() == 0 && !side.writes.empty(); }));
            EXPECT_GT(store->selectedProgram(instance), 0);
            run(instance, side);
            for (const ControlPort& control : kControls) {
                const float kept = store->parameterValue(instance, control.parameter);
                EXPECT_EQ(side.ports[control.port],
                          static_cast<float>(parameters::hostValue(control.parameter, kept)))
                    << control.symbol;
            }
        }

        if (round == 1) {
            // Without the store the preset row is covered: its menu never opens.
            side.writes.clear();
            click((menu.left + menu.right) / 2, (menu.top + menu.bottom) / 2);
            pump(20);
            EXPECT_EQ(openMenus(), 0);
            EXPECT_TRUE(side.writes.empty());
        }

        ui->cleanup(handle);
        handle = nullptr;
        idle = nullptr;
        EXPECT_EQ(childWindows(), 0);
        window.reset();
        if (dsp->deactivate) dsp->deactivate(instance);
        dsp->cleanup(instance);
        if (round == 0) descriptorsAfterFirst = desk::openFileDescriptors();
    }
    EXPECT_EQ(desk::openFileDescriptors(), descriptorsAfterFirst);
}

// A host may hide its window around the editor without closing the editor (Ardour does).
TEST_F(Lv2UiTest, HiddenByItsHostItKeepsATypedNameGivesTheFocusBackAndKeepsItsErrorBox) {
    LV2_Handle instance = dsp->instantiate(dsp, 48000.0, KRV_LV2_BUNDLE, nullptr);
    ASSERT_TRUE(instance);
    const auto* store = static_cast<const KrvStoreAccess*>(dsp->extension_data(kStoreAccessUri));
    HostSide side;
    std::string error;
    auto hostMain = platform::HostWindow::create("host main", 300, 200, error, 500, 400);
    window = platform::HostWindow::create("lv2 host", 400, 309, error);
    ASSERT_TRUE(hostMain && window) << error;
    LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(window->handle())};
    LV2_Feature instanceFeature{LV2_INSTANCE_ACCESS_URI, instance};
    LV2_Extension_Data_Feature access{dsp->extension_data};
    LV2_Feature accessFeature{LV2_DATA_ACCESS_URI, &access};
    const LV2_Feature* features[] = {&parent, &instanceFeature, &accessFeature, nullptr};
    LV2UI_Widget widget = nullptr;
    handle = ui->instantiate(ui, kPluginUri, KRV_LV2_BUNDLE, HostSide::write, &side, &widget,
                             features);
    ASSERT_TRUE(handle);
    idle = static_cast<const LV2UI_Idle_Interface*>(ui->extension_data(LV2_UI__idleInterface));
    pump(5);
    const Window hostWindow = Window(window->handle());
    auto shown = [&](Window which) {
        XWindowAttributes attributes{};
        return XGetWindowAttributes(observer, which, &attributes) &&
               attributes.map_state == IsViewable;
    };
    auto focus = [&] {
        Window now = 0;
        int revert = 0;
        XGetInputFocus(observer, &now, &revert);
        return now;
    };
    auto programName = [&] {
        char name[32] = "";
        store->programName(instance, 0, name);
        return std::string(name);
    };

    // A rename under way when the host hides the editor: the name is kept, and the focus
    // goes back to the host's window that had it.
    XSetInputFocus(observer, Window(hostMain->handle()), RevertToParent, CurrentTime);
    XSync(observer, False);
    const auto& name = skin::kNameField;
    click((name.left + name.right) / 2, (name.top + name.bottom) / 2);
    auto editBoxes = [&] { return desk::childWindowCount(observer, Window(widget)); };
    ASSERT_TRUE(waitFor([&] { return editBoxes() == 1 && focus() != Window(hostMain->handle()); }));
    xdotool("type --delay 20 'Hidden away'");
    XUnmapWindow(observer, hostWindow);
    XSync(observer, False);
    EXPECT_TRUE(waitFor([&] { return editBoxes() == 0; }));
    EXPECT_EQ(programName(), "Hidden away");
    EXPECT_EQ(focus(), Window(hostMain->handle()));

    // A file the store refuses: its box shows over the editor, leaves with the hidden
    // editor and comes back with it.
    XMapWindow(observer, hostWindow);
    XSync(observer, False);
    ASSERT_TRUE(waitFor([&] { return shown(hostWindow); }));
    TemporaryFolder files;
    std::ofstream(files.file("bad.krv")) << std::string(77, 'x');
    std::ofstream(files.file("zenity")) << "#!/bin/sh\necho '" << files.file("bad.krv") << "'\n";
    std::filesystem::permissions(files.file("zenity"), std::filesystem::perms::owner_all);
    ScopedEnvironment path("PATH", (files.path() + ":/usr/bin:/bin").c_str());
    const auto& load = skin::kLoadPreset.rect;
    click((load.left + load.right) / 2, (load.top + load.bottom) / 2);
    Window box = 0;
    auto errorBox = [&] {
        box = 0;
        Window root = 0, up = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(observer, DefaultRootWindow(observer), &root, &up, &children, &count);
        for (unsigned i = 0; i < count; ++i) {
            char* title = nullptr;
            if (XFetchName(observer, children[i], &title) && title) {
                if (std::string(title) == "Error...") box = children[i];
                XFree(title);
            }
        }
        if (children) XFree(children);
        return box;
    };
    ASSERT_TRUE(waitFor([&] { return errorBox() && shown(box); }));
    XUnmapWindow(observer, hostWindow);
    XSync(observer, False);
    EXPECT_TRUE(waitFor([&] { return !shown(box); }));
    XMapWindow(observer, hostWindow);
    XSync(observer, False);
    EXPECT_TRUE(waitFor([&] { return shown(box); }));

    ui->cleanup(handle);
    handle = nullptr;
    idle = nullptr;
    XSync(observer, False);
    EXPECT_FALSE(errorBox()) << "the box closes with its editor";
    window.reset();
    dsp->cleanup(instance);
}

TEST_F(Lv2UiTest, RefusesToStartWithoutAParentWindowOrForAnotherPlugin) {
    HostSide side;
    LV2UI_Widget widget = nullptr;
    const LV2_Feature* none[] = {nullptr};
    EXPECT_EQ(ui->instantiate(ui, kPluginUri, KRV_LV2_BUNDLE, HostSide::write, &side, &widget, none),
              nullptr);
    std::string error;
    window = platform::HostWindow::create("lv2 host", 400, 309, error);
    ASSERT_TRUE(window) << error;
    LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(window->handle())};
    const LV2_Feature* features[] = {&parent, nullptr};
    EXPECT_EQ(ui->instantiate(ui, "urn:another:plugin", KRV_LV2_BUNDLE, HostSide::write, &side,
                              &widget, features),
              nullptr);
    EXPECT_EQ(childWindows(), 0);
    EXPECT_EQ(ui->extension_data("urn:nothing"), nullptr);
}

}  // namespace
