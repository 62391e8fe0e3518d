// A window listener for tests that only need a window of ours to exist.
#pragma once

#include "platform/NativeWindow.h"

class SilentWindow : public platform::WindowListener {
public:
    void windowExposed(const platform::Rect&) override {}
    void buttonPressed(platform::Point, int) override {}
    void wheelTurned(platform::Point, float) override {}
    void keyPressed(const platform::Key&) override {}
    void keyReleased(const platform::Key&) override {}
    void windowDestroyed() override {}
};
