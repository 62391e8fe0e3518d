// Pieces shared by the text control tests: a listener that records which control
// reported, and a container that records what its children tell it.
#pragma once

#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "gui/CViewContainer.h"

class ControlRecorder : public CControlListener {
public:
    void valueChanged(CDrawContext* context, CControl* control) override {
        controls.push_back(control);
        values.push_back(control->getValue());
        contexts.push_back(context);
    }
    int32_t controlModifierClicked(CDrawContext*, CControl*, int32_t buttons) override {
        modifierClicks.push_back(buttons);
        return modifierAnswer;
    }
    std::vector<CControl*> controls;
    std::vector<float> values;
    std::vector<CDrawContext*> contexts;
    std::vector<int32_t> modifierClicks;
    int32_t modifierAnswer = 0;
};

class NotedContainer : public CViewContainer {
public:
    NotedContainer(const CRect& size, CFrame* frame) : CViewContainer(size, frame) {}
    int32_t notify(CView* sender, const char* message) override {
        if (message != kMsgCheckIfViewContainer) notes.push_back({sender, message});
        return CViewContainer::notify(sender, message);
    }
    struct Note {
        CView* sender;
        std::string message;
    };
    std::vector<Note> notes;
};

// A frame test whose window lies at (100, 200) on the screen.
class TextControlsTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        window = frame->getNativeWindow()->handle();
        platform::headless::setWindowScreenOrigin(window, platform::Point{100, 200});
    }
    // A left click at where (frame coordinates) through the frame, as the window
    // delivers it, and the rest of that event pass (where popup menus end).
    void click(CPoint where, int32_t buttons = kLButton) {
        {
            ImageContext context(1, 1, frame);
            context.context->offsetScreen = CPoint(100, 200);
            frame->mouse(context.context, where, buttons);
        }
        platform::processPendingEvents();
    }

    ControlRecorder recorder;
    platform::WindowHandle window = 0;
};
