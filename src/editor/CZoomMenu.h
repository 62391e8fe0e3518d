// The editor's zoom: a right-click on the panel, where no control takes it, opens a menu of
// sizes (Auto follows the host and the desktop). The title area is left alone: a right click
// there changes nothing, though the about control under it takes only the left button.
#pragma once

#include <optional>

#include "gui/CControl.h"

class AEffGUIEditor;

// A control without a value (tag kZoomTag) so that it sits among the editor's controls.
class CZoomMenu : public CControl {
public:
    static constexpr int32_t kZoomTag = -2;

    CZoomMenu(const CRect& size, const CRect& titleArea, AEffGUIEditor* editor);

    // Only the right button: every other click goes past to what lies below.
    bool hitTest(const CPoint& where, int32_t buttons = -1) override;
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;
    void draw(CDrawContext*) override {}

private:
    void ended(std::optional<int> chosen);

    CRect titleArea;
    AEffGUIEditor* editor;
};
