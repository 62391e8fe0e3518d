#include "gui/CFrame.h"

#include <algorithm>
#include <cstdlib>

#include "gui/CDrawContext.h"
#include "gui/CDropTarget.h"
#include "gui/CFrameEditor.h"
#include "gui/CParamDisplay.h"
#include "gui/KeyCodes.h"
#include "platform/Clock.h"
#include "platform/DeviceScale.h"
#include "platform/PointerState.h"

int32_t knobMode = 0;

namespace {

platform::CursorStyle cursorShapeOf(CCursorType type) {
    switch (type) {
        case kCursorWait: return platform::CursorStyle::Wait;
        case kCursorHSize: return platform::CursorStyle::SizeHorizontal;
        case kCursorVSize: return platform::CursorStyle::SizeVertical;
        case kCursorSizeAll: return platform::CursorStyle::SizeAll;
        case kCursorNESWSize: return platform::CursorStyle::SizeNortheastSouthwest;
        case kCursorNWSESize: return platform::CursorStyle::SizeNorthwestSoutheast;
        case kCursorNotAllowed: return platform::CursorStyle::NotAllowed;
        case kCursorHand: return platform::CursorStyle::Hand;
        default: return platform::CursorStyle::Default;
    }
}

// Twice a dialog frame's thickness: the walk below stops once the windows around ours
// add exactly that much.
constexpr int kFrameThickness = 6;
// Windows more than this much larger than ours belong to the host and are left alone.
constexpr int kHostWindowMargin = 80;
constexpr int kDecorationMargin = 60;

}  // namespace

// Events of the frame's window. The frame stays alive while one is handled, even when the
// host closes the editor from inside a control's drag loop.
class CFrame::WindowEvents : public platform::WindowListener {
public:
    explicit WindowEvents(CFrame& frame) : frame(frame) {}

    void windowExposed(const platform::Rect& damaged) override {
        Guard guard(frame);
        CDrawContext* context = frame.createWindowContext();
        frame.drawRect(context, CRect(damaged.left, damaged.top, damaged.right, damaged.bottom));
        context->forget();
    }
    void buttonPressed(platform::Point where, int buttons) override {
        Guard guard(frame);
        CDrawContext* context = frame.createWindowContext();
        CPoint point(where.x, where.y);
        frame.mouse(context, point, buttons);
        context->forget();
    }
    void wheelTurned(platform::Point where, float distance) override {
        Guard guard(frame);
        CDrawContext* context = frame.createWindowContext();
        frame.onWheel(context, CPoint(where.x, where.y), distance);
        context->forget();
    }
    void keyPressed(const platform::Key& key) override {
        Guard guard(frame);
        VstKeyCode code = toVstKeyCode(key);
        frame.onKeyDown(code);
    }
    void keyReleased(const platform::Key& key) override {
        Guard guard(frame);
        VstKeyCode code = toVstKeyCode(key);
        frame.onKeyUp(code);
    }
    void scaleMayHaveChanged() override {
        Guard guard(frame);
        if (frame.pEditor) frame.pEditor->scaleMayHaveChanged();
    }
    void windowDestroyed() override {
        frame.bOpenFlag = false;
        frame.parentSystemWindow = 0;
    }

private:
    // The frame, and the editor that owns it, outlive the event being handled.
    struct Guard {
        explicit Guard(CFrame& frame) : frame(frame), editor(frame.pEditor) {
            frame.remember();
            if (editor) editor->holdForEvent();
        }
        ~Guard() {
            // Releasing the editor may close it, which lets the frame go: frame last.
            if (editor) editor->releaseAfterEvent();
            frame.forget();
        }
        CFrame& frame;
        CFrameEditor* editor;
    };
    CFrame& frame;
};

CFrame::CFrame(const CRect& size, void* parentWindow, CFrameEditor* editor, double scale)
    : CViewContainer(size, this, nullptr), pEditor(editor),
      parentSystemWindow(reinterpret_cast<platform::WindowHandle>(parentWindow)),
      events(std::make_unique<WindowEvents>(*this)), scale(scale > 0.0 ? scale : 1.0) {
    if (parentSystemWindow)
        window = platform::NativeWindow::createChild(parentSystemWindow, size.width(),
                                                     size.height(), *events, this->scale);
    setDropActive(true);
}

CFrame::~CFrame() {
    if (pModalView) {
        if (pFocusView == pModalView) setFocusView(nullptr);
        CView* modal = pModalView;
        pModalView = nullptr;
        removeView(modal, false);
    }
    pFocusView = nullptr;
    // An open text field, menu or dialog goes first, silently: its owner may report to
    // nobody now, and none must outlive the window it belongs to.
    closeEditBox(editBoxOwner);
    closeMenuAndDialog();
    if (window && defaultCursorSaved) window->setCursor(platform::CursorStyle::Default);
    setDropActive(false);
    window.reset();
    // Children leave while this is still a frame: their removal may ask it for its focus.
    removeAll(true);
}

CDrawContext* CFrame::createWindowContext() { return new CDrawContext(this, nullptr, window.get()); }

bool CFrame::open(CPoint*) { return false; }
bool CFrame::close() { return false; }

void CFrame::idle() {
    if (!bOpenFlag || bFirstDraw || !isDirty()) return;
    // The host may have destroyed its window (and ours) since the last event pass.
    platform::DrawingOutsidePass drawing;
    CDrawContext* context = createWindowContext();
    update(context);
    context->forget();
}

void CFrame::doIdleStuff() {
    if (pEditor) pEditor->doIdleStuff();
}

int32_t CFrame::getTicks() const { return pEditor ? platform::tickCount() : 0; }

int32_t CFrame::getKnobMode() const { return knobMode; }

bool CFrame::setPosition(CCoord, CCoord) { return false; }

bool CFrame::getPosition(CCoord& x, CCoord& y) const {
    if (!bOpenFlag || !window) return false;
    platform::WindowHandle current = window->handle();
    for (;;) {
        platform::WindowHandle parent = platform::parentWindow(current);
        if (!parent || platform::isTopLevelWindow(current)) break;
        platform::Rect own{}, around{};
        if (!platform::windowScreenRect(current, own) || !platform::windowScreenRect(parent, around))
            break;
        if (std::abs(own.width() - around.width()) > kDecorationMargin ||
            std::abs(own.height() - around.height()) > kDecorationMargin)
            break;
        current = parent;
    }
    platform::Rect own{}, around{0, 0, 0, 0};
    if (!platform::windowScreenRect(current, own)) return false;
    if (platform::WindowHandle parent = platform::parentWindow(current))
        platform::windowScreenRect(parent, around);
    x = own.left - around.left;
    y = own.top - around.top;
    return true;
}

bool CFrame::getSize(CRect* rect) const { return rect && getSize(*rect); }

bool CFrame::getSize(CRect& rect) const {
    if (!bOpenFlag || !window) return false;
    platform::WindowHandle parent = platform::parentWindow(window->handle());
    platform::Rect outer{};
    if (!parent || !platform::windowScreenRect(parent, outer)) return false;
    platform::Rect origin{0, 0, 0, 0};
    if (platform::WindowHandle grandParent = platform::parentWindow(parent))
        platform::windowScreenRect(grandParent, origin);
    rect.left = outer.left - origin.left;
    rect.top = outer.top - origin.top;
    rect.right = rect.left + outer.width();
    rect.bottom = rect.top + outer.height();
    return true;
}

void CFrame::setViewSize(CRect& rect) { setSize(rect.width(), rect.height()); }

bool CFrame::setSize(CCoord width, CCoord height) {
    if (!bOpenFlag) return false;
    if (width == size.width() && height == size.height()) return false;
    resizeWindows(width, height);
    // However the windows were resized, the frame repaints all of its new size, through
    // an offscreen of that size.
    CRect newSize(0, 0, width, height);
    CViewContainer::setViewSize(newSize);
    return true;
}

void CFrame::resizeWindows(CCoord width, CCoord height) {
    const int deviceWidth = platform::toDevice(width, scale);
    const int deviceHeight = platform::toDevice(height, scale);
    if (pEditor && pEditor->sizeWindowThroughHost(deviceWidth, deviceHeight)) {
        if (window) window->resize(width, height);
    } else {
        resizeWindowChain(width, height);
    }
}

void CFrame::setScale(double newScale) {
    if (!(newScale > 0.0) || newScale == scale) return;
    scale = newScale;
    if (!window) return;
    window->setScale(scale);
    if (bOpenFlag) resizeWindows(size.width(), size.height());
    invalidate(size);
}

bool CFrame::resizeWindowChain(CCoord logicalWidth, CCoord logicalHeight) {
    if (!window) return false;
    // The windows around ours are the host's: they are sized in device pixels.
    const int width = platform::toDevice(logicalWidth, scale);
    const int height = platform::toDevice(logicalHeight, scale);
    int extraWidth = 0;
    int extraHeight = 0;
    platform::WindowHandle current = window->handle();
    while (extraWidth != kFrameThickness && current) {
        platform::WindowHandle parent = platform::parentWindow(current);
        if (!parent) break;
        platform::Rect own{}, around{};
        platform::windowScreenRect(current, own);
        platform::windowScreenRect(parent, around);
        if (current == window->handle())
            window->resize(logicalWidth, logicalHeight);
        else
            platform::resizeWindow(current, width + extraWidth, height + extraHeight);
        extraWidth += around.width() - own.width();
        extraHeight += around.height() - own.height();
        if (extraWidth > kHostWindowMargin || extraHeight > kHostWindowMargin) return true;
        if (extraWidth < 0) extraWidth = 0;
        if (extraHeight < 0) extraHeight = 0;
        current = parent;
    }
    if (current == window->handle())
        window->resize(logicalWidth, logicalHeight);
    else if (current)
        platform::resizeWindow(current, width + extraWidth, height + extraHeight);
    return false;
}

int32_t CFrame::setModalView(CView* view) {
    if (view && pModalView) return 0;
    if (pModalView) {
        CView* previous = pModalView;
        pModalView = nullptr;
        removeView(previous, false);
    }
    pModalView = view;
    if (view) addView(view);
    return 1;
}

void CFrame::beginEdit(int32_t index) {
    if (!pEditor) return;
    openEdits.push_back(index);
    pEditor->beginEdit(index);
}

void CFrame::endEdit(int32_t index) {
    if (!pEditor) return;
    auto open = std::find(openEdits.begin(), openEdits.end(), index);
    if (open != openEdits.end()) openEdits.erase(open);
    pEditor->endEdit(index);
}

bool CFrame::getCurrentLocation(CPoint& where) {
    platform::Point screen{0, 0};
    platform::queryPointerScreenPosition(screen);
    platform::Point origin = window ? window->screenOrigin() : platform::Point{0, 0};
    platform::Point inWindow =
        platform::toLogical(platform::Point{screen.x - origin.x, screen.y - origin.y}, scale);
    where = CPoint(inWindow.x, inWindow.y);
    return true;
}

void CFrame::setCursor(CCursorType type) {
    defaultCursorSaved = true;
    if (window) window->setCursor(cursorShapeOf(type));
}

void CFrame::setFocusView(CView* view) {
    CView* previous = pFocusView;
    pFocusView = view;
    if (view && view->wantsFocus()) view->setDirty(true);
    if (previous) {
        previous->looseFocus(nullptr);
        if (previous->wantsFocus()) previous->setDirty(true);
    }
}

bool CFrame::setDropActive(bool active) {
    if (!active && !bDropActive) return true;
    if (!window) return false;
    dropTarget.reset();
    if (active) dropTarget = std::make_unique<CDropTarget>(*this, *window);
    bDropActive = active;
    return true;
}

platform::ModalPump CFrame::modalPump() {
    return [this] { return pump(); };
}

bool CFrame::pump() {
    doIdleStuff();
    return pEditor != nullptr && bOpenFlag;
}

void CFrame::detachEditor() {
    closeEditBox(editBoxOwner);
    closeMenuAndDialog();
    CFrameEditor* leaving = pEditor;
    pEditor = nullptr;
    bOpenFlag = false;
    std::vector<int32_t> unfinished;
    unfinished.swap(openEdits);
    if (leaving)
        for (int32_t index : unfinished) leaving->endEdit(index);
}

bool CFrame::openEditBox(const CView* owner, const CRect& area, const std::string& text,
                         const platform::EditBoxStyle& style,
                         platform::EditBoxListener& listener) {
    closeEditBox(editBoxOwner);
    if (!window || !owner) return false;
    platform::Rect rect{area.left, area.top, area.right, area.bottom};
    editBox = platform::EditBox::create(*window, rect, text, style, listener);
    if (editBox) editBoxOwner = owner;
    return editBox != nullptr;
}

platform::EditBox* CFrame::getEditBox(const CView* owner) const {
    return owner && owner == editBoxOwner ? editBox.get() : nullptr;
}

void CFrame::closeEditBox(const CView* owner) {
    if (!owner || owner != editBoxOwner) return;
    editBoxOwner = nullptr;
    // Reset through a local: the field's destruction must find the frame already without it.
    std::unique_ptr<platform::EditBox> closing = std::move(editBox);
}

bool CFrame::getEditBoxColors(platform::Color& text, platform::Color& background) const {
    if (!pFocusView || !pFocusView->isTypeOf("CParamDisplay")) return false;
    const auto* display = static_cast<const CParamDisplay*>(pFocusView);
    CColor font = display->getFontColor();
    CColor back = display->getBackColor();
    // An edit box is opaque whatever the control's colours say.
    text = platform::Color{font.red, font.green, font.blue, 255};
    background = platform::Color{back.red, back.green, back.blue, 255};
    return true;
}

void CFrame::invalidate(const CRect& rect) {
    for (CView* child : children) {
        CRect area;
        if (child->getViewSize(area).rectOverlap(rect)) child->setDirty(true);
    }
}

bool CFrame::updatesDisabled(bool state) {
    bool previous = bUpdatesDisabled;
    bUpdatesDisabled = state;
    return previous;
}

void CFrame::draw(CView* view) {
    CDrawContext* context = createWindowContext();
    if (view && isChild(view))
        view->draw(context);
    else
        draw(context);
    context->forget();
}

void CFrame::draw(CDrawContext* context) {
    bFirstDraw = false;
    CViewContainer::draw(context);
}

void CFrame::drawRect(CDrawContext* context, const CRect& updateRect) {
    bFirstDraw = false;
    if (updateRect.width() <= 0 || updateRect.height() <= 0) return;
    CDrawContext* temporary = context ? nullptr : createWindowContext();
    CViewContainer::drawRect(context ? context : temporary, updateRect);
    if (temporary) temporary->forget();
}

void CFrame::mouse(CDrawContext* context, CPoint& where, int32_t buttons) {
    // A click anywhere ends the focus (an open text edit closes before the click).
    if (pFocusView) setFocusView(nullptr);
    if (buttons == -1 && context) buttons = context->getMouseButtons();
    if (pModalView) {
        if (pModalView->hitTest(where, buttons)) pModalView->mouse(context, where, buttons);
        return;
    }
    CViewContainer::mouse(context, where, buttons);
}

int32_t CFrame::onKeyDown(VstKeyCode& keyCode) {
    // An open text field takes the host's keys first; the field may close meanwhile.
    if (editBox && editBox->forwardKey(toPlatformKey(keyCode), true)) return 1;
    int32_t result = -1;
    if (pFocusView) result = pFocusView->onKeyDown(keyCode);
    if (result == -1 && pModalView) result = pModalView->onKeyDown(keyCode);
    if (result == -1 && keyCode.virt == VKEY_TAB)
        result = advanceNextFocusView(pFocusView, (keyCode.modifier & MODIFIER_SHIFT) != 0) ? 1 : -1;
    return result;
}

int32_t CFrame::onKeyUp(VstKeyCode& keyCode) {
    if (editBox && editBox->forwardKey(toPlatformKey(keyCode), false)) return 1;
    int32_t result = -1;
    if (pFocusView) result = pFocusView->onKeyUp(keyCode);
    if (result == -1 && pModalView) result = pModalView->onKeyUp(keyCode);
    return result;
}

bool CFrame::onWheel(CDrawContext* context, const CPoint& where, float distance) {
    return onWheel(context, where, kMouseWheelAxisY, distance);
}

bool CFrame::onWheel(CDrawContext* context, const CPoint& where, CMouseWheelAxis axis,
                     float distance) {
    CView* target = pModalView ? pModalView : getViewAt(where, false);
    if (!target) return false;
    CDrawContext* temporary = context ? nullptr : createWindowContext();
    bool result = target->onWheel(context ? context : temporary, where, axis, distance);
    if (temporary) temporary->forget();
    return result;
}

bool CFrame::isTypeOf(const char* type) const {
    return sameTypeName(type, "CFrame") || CViewContainer::isTypeOf(type);
}

void CFrame::update(CDrawContext* context) {
    if (!bOpenFlag || bUpdatesDisabled) return;
    if (bDirty) {
        draw(context);
        setDirty(false);
        return;
    }
    for (size_t i = 0; i < children.size(); ++i) children[i]->update(context);
}

CView* CFrame::getCurrentView() const {
    if (pModalView) return pModalView;
    return CViewContainer::getCurrentView();
}

bool CFrame::advanceNextFocusView(CView* oldFocus, bool reverse) {
    if (pModalView) return false;
    if (!oldFocus) {
        oldFocus = pFocusView;
        if (!oldFocus) return CViewContainer::advanceNextFocusView(nullptr, reverse);
    }
    if (isChild(oldFocus)) {
        if (CViewContainer::advanceNextFocusView(oldFocus, reverse)) return true;
        setFocusView(nullptr);
        return false;
    }
    CView* from = oldFocus;
    for (CView* parent = oldFocus->getParentView(); parent && parent != this;
         parent = parent->getParentView()) {
        if (parent->isTypeOf("CViewContainer") &&
            static_cast<CViewContainer*>(parent)->advanceNextFocusView(from, reverse))
            return true;
        from = parent;
    }
    return CViewContainer::advanceNextFocusView(oldFocus, reverse);
}
