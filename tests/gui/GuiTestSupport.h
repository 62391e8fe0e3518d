// Shared pieces of the toolkit tests on the headless backend: a frame in a headless
// window, a recording listener and editor, and image-backed draw contexts.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/CControl.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/CFrameEditor.h"
#include "platform/Canvas.h"
#include "platform/headless/HeadlessPlatform.h"

class RecordingListener : public CControlListener {
public:
    void valueChanged(CDrawContext*, CControl* control) override {
        values.push_back(control->getValue());
    }
    int32_t controlModifierClicked(CDrawContext*, CControl*, int32_t buttons) override {
        modifierClicks.push_back(buttons);
        return modifierAnswer;
    }
    std::vector<float> values;
    std::vector<int32_t> modifierClicks;
    int32_t modifierAnswer = 0;
};

class RecordingFrameEditor : public CFrameEditor {
public:
    void doIdleStuff() override { ++idles; }
    void beginEdit(int32_t index) override { edits.push_back("begin " + std::to_string(index)); }
    void endEdit(int32_t index) override { edits.push_back("end " + std::to_string(index)); }
    bool sizeWindowThroughHost(int32_t, int32_t) override { return false; }
    int idles = 0;
    std::vector<std::string> edits;
};

// A draw context on an image of its own, released with the holder.
struct ImageContext {
    ImageContext(int width, int height, CFrame* frame = nullptr)
        : image(platform::Canvas::createImage(width, height)),
          context(new CDrawContext(frame, image.get(), nullptr)) {}
    ~ImageContext() { context->forget(); }
    platform::Color at(int x, int y) const { return image->pixel(x, y); }

    std::unique_ptr<platform::Canvas> image;
    CDrawContext* context;
};

inline bool operator==(const platform::Color& a, const CColor& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// A frame of 200 x 150 in a headless window, at knob mode 0.
class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::reset();
        knobMode = 0;
        frame = new CFrame(CRect(0, 0, 200, 150), reinterpret_cast<void*>(0x42), &editor);
    }
    void TearDown() override { frame->forget(); }

    RecordingFrameEditor editor;
    RecordingListener listener;
    CFrame* frame = nullptr;
};

#include "gui/CBitmap.h"

// A bitmap made in memory, every pixel from colorAt(x, y).
template <typename ColorAt>
CBitmap* makeBitmap(int width, int height, ColorAt colorAt) {
    std::vector<unsigned char> rgb(size_t(width) * size_t(height) * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            CColor c = colorAt(x, y);
            unsigned char* p = &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3];
            p[0] = c.red;
            p[1] = c.green;
            p[2] = c.blue;
        }
    return new CBitmap(platform::Canvas::createFromRgb(width, height, rgb.data()));
}
