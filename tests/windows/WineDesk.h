// The built DLL's editor in a Windows host window under Wine: what the screen shows, read
// back through the screen's device context, and the user's hand, played by SendInput from
// a second thread while this one runs the host (the editor's drag loops and modal menus
// and dialogs block the thread that runs them, as in any host).
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "hosting/RecordingHost.h"
#include "platform/HostWindow.h"
#include "skin/SkinLayout.h"

namespace wine {

// Pixels of a screen area as 0xRRGGBB, read from the screen's device context.
std::vector<uint32_t> screenPixels(int left, int top, int width, int height);
// Pixels of one bitmap of the 1x skin (its whole size), as 0xRRGGBB, top row first: the
// same packed skin the DLL embeds.
std::vector<uint32_t> skinPixels(int id, int& width, int& height);
// Pixels of the strip above the title of a 1x editor window (a strip that holds no control)
// that differ from the background bitmap; -1 when the screen or the skin cannot be read.
int titleStripMismatches(HWND editor);

// Input as a user makes it, through the system's input queue.
void movePointer(int screenX, int screenY);
void pressLeft();
void releaseLeft();
void pressKey(WORD virtualKey);
void typeText(const std::string& text);

// The first visible top-level window of class name that belongs to this process, else null.
HWND findOwnWindow(const char* className);

}  // namespace wine

class WineDesk : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) {
        return plugin->dispatch(opcode, index, value, ptr, opt);
    }
    void openEditor();
    void closeEditor();
    // Host turns: the window's messages and one editor idle each, about 50 a second.
    void pump(int turns);
    bool waitFor(const std::function<bool()>& done, int milliseconds = 8000);
    // Runs the user's hand in the background until it is done; the test thread keeps
    // hosting meanwhile.
    void inBackground(std::function<void()> hand);
    void joinBackground();

    // Screen position of a point of the editor.
    POINT onScreen(double x, double y) const;
    void click(double x, double y);
    std::string programName() { return plugin->text(effGetProgramName); }

    RecordingHost host;
    std::unique_ptr<PluginLibrary> library;
    std::unique_ptr<HostedEffect> plugin;
    std::unique_ptr<platform::HostWindow> window;
    HWND editorWindow = nullptr;
    bool editorOpen = false;

private:
    std::thread hand;
    std::atomic<bool> handDone{true};
};
