#include "editor/CZoomMenu.h"

#include <string>
#include <vector>

#include "editor/AEffGUIEditor.h"
#include "editor/ScaleChoice.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "platform/PopupMenu.h"

namespace {

// Menu ids: Auto, then each zoom by its place in the list.
constexpr int kAutoId = 1;
constexpr int kFirstZoomId = 2;

}  // namespace

CZoomMenu::CZoomMenu(const CRect& size, const CRect& titleArea, AEffGUIEditor* editor)
    : CControl(size, nullptr, kZoomTag), titleArea(titleArea), editor(editor) {}

bool CZoomMenu::hitTest(const CPoint& where, int32_t buttons) {
    return buttons != -1 && (buttons & kRButton) && !titleArea.pointInside(where) &&
           CControl::hitTest(where, buttons);
}

void CZoomMenu::mouse(CDrawContext* context, CPoint& where, int32_t buttons) {
    CFrame* frame = getFrame();
    if (!frame || !context || !(buttons & kRButton)) return;
    const std::optional<double> stored = editor_scale::storedZoom();
    std::vector<platform::MenuItem> items;
    platform::MenuItem title;
    title.kind = platform::MenuItemKind::Title;
    title.label = "Editor size";
    items.push_back(title);
    platform::MenuItem automatic;
    automatic.label = "Auto";
    automatic.id = kAutoId;
    automatic.checked = !stored;
    items.push_back(automatic);
    const std::vector<int>& zooms = editor_scale::zoomChoices();
    for (size_t i = 0; i < zooms.size(); ++i) {
        platform::MenuItem zoom;
        zoom.label = std::to_string(zooms[i]) + " %";
        zoom.id = kFirstZoomId + int(i);
        zoom.checked = stored && int(*stored * 100.0 + 0.5) == zooms[i];
        items.push_back(zoom);
    }
    platform::PopupMenuOptions options;
    CPoint screen = context->screenFromOffsetScreen(where);
    options.position = platform::Point{screen.h, screen.v};
    if (frame->getNativeWindow()) options.owner = frame->getNativeWindow()->handle();
    options.trackRightButton = true;
    options.font = standardFontSpec(kNormalFont);
    frame->openPopupMenu(this, items, options,
                         [this](std::optional<int> chosen) { ended(chosen); });
}

void CZoomMenu::ended(std::optional<int> chosen) {
    if (!chosen || !editor) return;
    if (*chosen == kAutoId) {
        editor->chooseZoom(std::nullopt);
        return;
    }
    const std::vector<int>& zooms = editor_scale::zoomChoices();
    const int index = *chosen - kFirstZoomId;
    if (index >= 0 && index < int(zooms.size())) editor->chooseZoom(zooms[size_t(index)] / 100.0);
}
