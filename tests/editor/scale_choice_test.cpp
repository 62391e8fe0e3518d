// Where the editor's factor comes from and how it is rounded: one table, run through the
// editor on the headless backend as a host drives it (size before opening, the window, the
// size after), with the desktop's factor read from what desktops publish.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "editor/ADEditor.h"
#include "editor/ScaleChoice.h"
#include "platform/common/DesktopScale.h"
#include "platform/headless/HeadlessPlatform.h"
#include "support/InProcessEffect.h"
#include "support/TemporaryFolder.h"

namespace {

void* const kHostWindow = reinterpret_cast<void*>(0x77);

// An _XSETTINGS_SETTINGS blob in either byte order: a string first (to be skipped), then
// the integers given.
std::vector<unsigned char> xsettings(bool bigEndian,
                                     const std::vector<std::pair<std::string, int>>& integers) {
    std::vector<unsigned char> out;
    auto card = [&](uint32_t value, int width) {
        for (int i = 0; i < width; ++i) {
            int shift = 8 * (bigEndian ? width - 1 - i : i);
            out.push_back(static_cast<unsigned char>(value >> shift));
        }
    };
    auto name = [&](const std::string& text) {
        card(uint32_t(text.size()), 2);
        out.insert(out.end(), text.begin(), text.end());
        while (out.size() % 4) out.push_back(0);
        card(0, 4);  // last change
    };
    out.push_back(bigEndian ? 1 : 0);
    out.insert(out.end(), 3, 0);
    card(7, 4);                               // serial
    card(uint32_t(integers.size() + 1), 4);  // settings
    out.push_back(1);                         // a string
    out.push_back(0);
    name("Net/ThemeName");
    card(5, 4);
    for (char c : std::string("Adwai")) out.push_back(static_cast<unsigned char>(c));
    while (out.size() % 4) out.push_back(0);
    for (const auto& [key, value] : integers) {
        out.push_back(0);
        out.push_back(0);
        name(key);
        card(uint32_t(value), 4);
    }
    return out;
}

double fromXSettings(bool bigEndian, const std::vector<std::pair<std::string, int>>& integers) {
    std::vector<unsigned char> blob = xsettings(bigEndian, integers);
    return platform::x11DesktopFactor(std::nullopt, platform::readXSettings(blob.data(), blob.size()));
}

double fromXftDpi(int dpi) {
    std::string resources = "Xcursor.size:\t24\nXft.dpi:\t" + std::to_string(dpi) + "\nXft.hinting:\t1\n";
    return platform::x11DesktopFactor(platform::xftDpiOf(resources), platform::XSettingsScale{});
}

struct Row {
    const char* what;
    double desktop;
    std::optional<float> hostBeforeOpen;
    std::optional<float> hostAfterOpen;
    std::optional<double> storedZoom;  // none: Auto
    const char* environment;           // KRV_UI_SCALE, or null
    double expected;
};

class ScaleChoiceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        config = new TemporaryFolder;
        ::setenv("XDG_CONFIG_HOME", config->path().c_str(), 1);
    }
    static void TearDownTestSuite() {
        delete config;
        config = nullptr;
    }
    inline static TemporaryFolder* config = nullptr;
};

TEST_F(ScaleChoiceTest, EveryFactorComesFromTheFirstSourceThatNamesOneRoundedToAQuarter) {
    const double xft120 = fromXftDpi(120), xft144 = fromXftDpi(144), xft192 = fromXftDpi(192);
    const Row rows[] = {
        {"nothing names a factor", fromXftDpi(96), {}, {}, {}, nullptr, 1.0},
        {"Xft.dpi 120", xft120, {}, {}, {}, nullptr, 1.25},
        {"Xft.dpi 144", xft144, {}, {}, {}, nullptr, 1.5},
        {"Xft.dpi 192", xft192, {}, {}, {}, nullptr, 2.0},
        {"XSETTINGS Xft/DPI in 1024ths", fromXSettings(false, {{"Xft/DPI", 144 * 1024}}), {}, {}, {}, nullptr, 1.5},
        {"XSETTINGS big-endian", fromXSettings(true, {{"Xft/DPI", 192 * 1024}}), {}, {}, {}, nullptr, 2.0},
        {"Xft/DPI before Gdk/WindowScalingFactor",
         fromXSettings(false, {{"Gdk/WindowScalingFactor", 1}, {"Xft/DPI", 147456}}), {}, {}, {}, nullptr, 1.5},
        {"Gdk/WindowScalingFactor alone", fromXSettings(false, {{"Gdk/WindowScalingFactor", 2}}), {}, {}, {}, nullptr, 2.0},
        {"a DPI-aware window at 144", platform::windowsDesktopFactor(144, true), {}, {}, {}, nullptr, 1.5},
        {"a DPI-unaware window: the system stretches it", platform::windowsDesktopFactor(192, false), {}, {}, {}, nullptr, 1.0},
        {"the host's factor before opening, absolute", xft144, 2.0f, {}, {}, nullptr, 2.0},
        {"the host's factor after opening", xft192, {}, 1.25f, {}, nullptr, 1.25},
        {"the host's 1.1 is 1", 1.0, 1.1f, {}, {}, nullptr, 1.0},
        {"the host's 1.3 rounds to 1.25", 1.0, 1.3f, {}, {}, nullptr, 1.25},
        {"the host's 4 is at most 3", 1.0, 4.0f, {}, {}, nullptr, 3.0},
        {"the host's NaN is refused", 1.0, std::numeric_limits<float>::quiet_NaN(), {}, {}, nullptr, 1.0},
        {"the user's zoom over the host's", xft192, 2.0f, {}, 1.5, nullptr, 1.5},
        {"KRV_UI_SCALE over everything", xft192, 2.0f, {}, 1.5, "2.5", 2.5},
        {"KRV_UI_SCALE that is no number is left out", xft144, {}, {}, {}, "big", 1.5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        platform::headless::reset();
        platform::headless::setDesktopScale(row.desktop);
        if (row.environment)
            ::setenv("KRV_UI_SCALE", row.environment, 1);
        else
            ::unsetenv("KRV_UI_SCALE");
        ASSERT_TRUE(editor_scale::storeZoom(row.storedZoom));
        InProcessEffect fixture;
        auto* editor = new ADEditor(&fixture.effect());  // owned by the effect
        fixture.host.sizeWindowAnswer = 1;
        fixture.host.canDoAnswers["sizeWindow"] = 1;
        AEffect* record = fixture.record();
        auto dispatch = [&](VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
            return record->dispatcher(record, opcode, index, value, ptr, opt);
        };
        if (row.hostBeforeOpen) {
            EXPECT_EQ(dispatch(effVendorSpecific, kContentScaleIndex, kContentScaleValue, nullptr,
                               *row.hostBeforeOpen),
                      std::isnan(*row.hostBeforeOpen) ? 0 : 1);
        }
        ERect* rect = nullptr;
        ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect, 0), 1);
        if (!row.hostAfterOpen) {
            EXPECT_EQ(rect->right - rect->left, std::lround(400 * row.expected));
            EXPECT_EQ(rect->bottom - rect->top, std::lround(309 * row.expected));
        }
        ASSERT_EQ(dispatch(effEditOpen, 0, 0, kHostWindow, 0), 1);
        if (row.hostAfterOpen)
            dispatch(effVendorSpecific, kContentScaleIndex, kContentScaleValue, nullptr,
                     *row.hostAfterOpen);
        EXPECT_EQ(editor->getFrame()->getScale(), row.expected);
        const platform::Canvas* window =
            platform::headless::windowImage(platform::headless::lastWindow());
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->deviceWidth(), std::lround(400 * row.expected));
        EXPECT_EQ(window->deviceHeight(), std::lround(309 * row.expected));
        ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect, 0), 1);
        EXPECT_EQ(rect->right - rect->left, window->deviceWidth());
        EXPECT_EQ(rect->bottom - rect->top, window->deviceHeight());
        if (row.hostAfterOpen) {
            // The host is told the new size in device pixels.
            std::vector<HostCall> sized = fixture.host.callsOf(audioMasterSizeWindow);
            ASSERT_EQ(sized.size(), 1u);
            EXPECT_EQ(sized[0].index, window->deviceWidth());
            EXPECT_EQ(sized[0].value, window->deviceHeight());
        }
        dispatch(effEditClose, 0, 0, nullptr, 0);
    }
    ::unsetenv("KRV_UI_SCALE");
    ASSERT_TRUE(editor_scale::storeZoom(std::nullopt));
}

TEST_F(ScaleChoiceTest, WhatDesktopsPublishIsReadWithinItsBytes) {
    EXPECT_FALSE(platform::xftDpiOf("Xft.antialias:\t1\n"));
    EXPECT_FALSE(platform::xftDpiOf("Xft.dpi:\tlarge\n"));
    std::vector<unsigned char> blob = xsettings(false, {{"Xft/DPI", 147456}});
    // Every cut of the blob is read without going past it; only the whole one names the dpi.
    for (size_t size = 0; size < blob.size(); ++size)
        EXPECT_FALSE(platform::readXSettings(blob.data(), size).dpi1024) << size;
    EXPECT_EQ(platform::readXSettings(blob.data(), blob.size()).dpi1024, 147456);
}

}  // namespace
