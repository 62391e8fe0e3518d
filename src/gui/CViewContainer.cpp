#include "gui/CViewContainer.h"

#include <algorithm>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"

namespace {

// Moves a context's screen and drawing offsets while a child works in container
// coordinates; restores them when it goes.
class OffsetShift {
public:
    OffsetShift(CDrawContext* context, CCoord h, CCoord v) : context(context) {
        if (!context) return;
        savedScreen = context->offsetScreen;
        savedOffset = context->offset;
        context->offsetScreen.offset(h, v);
        context->offset.offset(h, v);
    }
    ~OffsetShift() {
        if (!context) return;
        context->offsetScreen = savedScreen;
        context->offset = savedOffset;
    }
    OffsetShift(const OffsetShift&) = delete;
    OffsetShift& operator=(const OffsetShift&) = delete;

private:
    CDrawContext* context;
    CPoint savedScreen;
    CPoint savedOffset;
};

}  // namespace

CViewContainer::CViewContainer(const CRect& size, CFrame* frame, CBitmap* background)
    : CView(size) {
    pParentFrame = frame;
    if (background) setBackground(background);
    setDirty(false);
}

CViewContainer::~CViewContainer() {
    std::vector<CView*> all;
    all.swap(children);
    for (CView* child : all) releaseChild(child, true);
    if (pOffscreenContext) pOffscreenContext->forget();
    pOffscreenContext = nullptr;
}

void CViewContainer::releaseChild(CView* child, bool withForget) {
    child->removed(this);
    // A control still looping in its mouse handling sees that it was let go.
    child->setParentFrame(nullptr);
    child->setParentView(nullptr);
    if (withForget) child->forget();
    child->forget();  // the node's reference
}

void CViewContainer::addView(CView* view, CRect& area, bool mouseEnabled) {
    if (!view) return;
    view->setMouseEnabled(mouseEnabled);
    view->setMouseableArea(area);
    addView(view);
}

void CViewContainer::addView(CView* view) {
    if (!view) return;
    children.push_back(view);
    view->remember();
    view->setParentFrame(pParentFrame);
    view->setParentView(this);
    view->attached(this);
    view->setDirty(true);
}

void CViewContainer::removeView(CView* view, bool withForget) {
    if (!view) return;
    if (pParentFrame && pParentFrame->getFocusView() == view) pParentFrame->setFocusView(nullptr);
    auto found = std::find(children.begin(), children.end(), view);
    if (found == children.end()) return;
    if (currentDragView == view) currentDragView = nullptr;
    children.erase(found);
    releaseChild(view, withForget);
}

void CViewContainer::removeAll(bool withForget) {
    std::vector<CView*> all;
    all.swap(children);
    currentDragView = nullptr;
    for (CView* child : all) releaseChild(child, withForget);
}

bool CViewContainer::isChild(CView* view) const {
    return view && std::find(children.begin(), children.end(), view) != children.end();
}

int32_t CViewContainer::getNbViews() const { return static_cast<int32_t>(children.size()); }

CView* CViewContainer::getView(int32_t index) const {
    if (index < 0 || index >= getNbViews()) return nullptr;
    return children[static_cast<size_t>(index)];
}

void CViewContainer::setBackgroundColor(const CColor& color) {
    backgroundColor = color;
    setDirty(true);
}

void CViewContainer::useOffscreen(bool enable) {
    bDrawInOffscreen = enable;
    if (!enable && pOffscreenContext) {
        pOffscreenContext->forget();
        pOffscreenContext = nullptr;
    }
}

void CViewContainer::ensureOffscreen() {
    if (!pOffscreenContext && bDrawInOffscreen)
        pOffscreenContext = new COffscreenContext(pParentFrame, size.width(), size.height(),
                                                  kBlackCColor);
}

bool CViewContainer::attached(CView*) {
    ensureOffscreen();
    return true;
}

bool CViewContainer::removed(CView*) {
    if (pOffscreenContext) pOffscreenContext->forget();
    pOffscreenContext = nullptr;
    return true;
}

void CViewContainer::setViewSize(CRect& rect) {
    CView::setViewSize(rect);
    if (pOffscreenContext && bDrawInOffscreen) {
        pOffscreenContext->forget();
        pOffscreenContext = new COffscreenContext(pParentFrame, size.width(), size.height(),
                                                  kBlackCColor);
    }
}

int32_t CViewContainer::notify(CView*, const char* message) {
    return message == kMsgCheckIfViewContainer ? kMessageNotified : kMessageUnknown;
}

CPoint& CViewContainer::frameToLocal(CPoint& point) const {
    point.offset(-size.left, -size.top);
    if (pParentView && pParentView->isTypeOf("CViewContainer")) return pParentView->frameToLocal(point);
    return point;
}

CPoint& CViewContainer::localToFrame(CPoint& point) const {
    point.offset(size.left, size.top);
    if (pParentView && pParentView->isTypeOf("CViewContainer")) return pParentView->localToFrame(point);
    return point;
}

void CViewContainer::looseFocus(CDrawContext* context) {
    for (CView* child : children) child->looseFocus(context);
}

void CViewContainer::takeFocus(CDrawContext* context) {
    for (CView* child : children) child->takeFocus(context);
}

CPoint CViewContainer::toLocal(const CPoint& where) const {
    CPoint local = where;
    local.offset(-size.left, -size.top);
    return local;
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep) const {
    if (!pParentFrame) return nullptr;
    CPoint local = toLocal(where);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        CRect area;
        (*it)->getMouseableArea(area);
        if (!area.pointInside(local)) continue;
        if (deep && (*it)->isTypeOf("CViewContainer"))
            return static_cast<CViewContainer*>(*it)->getViewAt(local, deep);
        return *it;
    }
    return nullptr;
}

CView* CViewContainer::getCurrentView() const {
    if (!pParentFrame) return nullptr;
    CPoint where;
    pParentFrame->getCurrentLocation(where);
    frameToLocal(where);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        CRect area;
        if ((*it)->getMouseableArea(area).pointInside(where)) return *it;
    }
    return nullptr;
}

void CViewContainer::mouse(CDrawContext* context, CPoint& where, int32_t buttons) {
    CPoint local = toLocal(where);
    if (buttons == -1 && context) buttons = context->getMouseButtons();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        CView* child = *it;
        if (child->getMouseEnabled() && child->hitTest(local, buttons)) {
            child->mouse(context, local, buttons);
            return;
        }
    }
}

int32_t CViewContainer::onKeyDown(VstKeyCode& keyCode) {
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        int32_t result = (*it)->onKeyDown(keyCode);
        if (result != -1) return result;
    }
    return -1;
}

int32_t CViewContainer::onKeyUp(VstKeyCode& keyCode) {
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        int32_t result = (*it)->onKeyUp(keyCode);
        if (result != -1) return result;
    }
    return -1;
}

bool CViewContainer::onWheel(CDrawContext* context, const CPoint& where, float distance) {
    return onWheel(context, where, kMouseWheelAxisY, distance);
}

bool CViewContainer::onWheel(CDrawContext* context, const CPoint& where, CMouseWheelAxis axis,
                             float distance) {
    CView* target = getViewAt(where, false);
    if (!target) return false;
    OffsetShift shift(context, size.left, size.top);
    CPoint local = toLocal(where);
    return target->onWheel(context, local, axis, distance);
}

bool CViewContainer::onDrop(CDrawContext* context, CDragContainer* drag, const CPoint& where) {
    if (!pParentFrame) return false;
    OffsetShift shift(context, size.left, size.top);
    CPoint local = toLocal(where);
    CView* view = getViewAt(where, false);
    if (view != currentDragView) {
        if (currentDragView) currentDragView->onDragLeave(context, drag, local);
        currentDragView = view;
    }
    bool result = false;
    if (currentDragView) {
        result = currentDragView->onDrop(context, drag, local);
        currentDragView->onDragLeave(context, drag, local);
    }
    currentDragView = nullptr;
    return result;
}

void CViewContainer::onDragEnter(CDrawContext* context, CDragContainer* drag,
                                 const CPoint& where) {
    if (!pParentFrame) return;
    OffsetShift shift(context, size.left, size.top);
    CPoint local = toLocal(where);
    if (currentDragView) currentDragView->onDragLeave(context, drag, local);
    currentDragView = getViewAt(where, false);
    if (currentDragView) currentDragView->onDragEnter(context, drag, local);
}

void CViewContainer::onDragLeave(CDrawContext* context, CDragContainer* drag,
                                 const CPoint& where) {
    if (!pParentFrame) return;
    OffsetShift shift(context, size.left, size.top);
    CPoint local = toLocal(where);
    if (currentDragView) currentDragView->onDragLeave(context, drag, local);
    currentDragView = nullptr;
}

void CViewContainer::onDragMove(CDrawContext* context, CDragContainer* drag, const CPoint& where) {
    if (!pParentFrame) return;
    OffsetShift shift(context, size.left, size.top);
    CPoint local = toLocal(where);
    CView* view = getViewAt(where, false);
    if (view != currentDragView) {
        if (currentDragView) currentDragView->onDragLeave(context, drag, local);
        if (view) view->onDragEnter(context, drag, local);
        currentDragView = view;
    } else if (currentDragView) {
        currentDragView->onDragMove(context, drag, local);
    }
}

void CViewContainer::draw(CDrawContext* context) {
    ensureOffscreen();
    CDrawContext* target = bDrawInOffscreen && pOffscreenContext ? pOffscreenContext : context;
    {
        OffsetShift shift(target == context ? context : nullptr, size.left, size.top);
        CRect whole(0, 0, size.width(), size.height());
        if (pBackground) {
            drawBackgroundBitmap(target, whole, backgroundOffset);
        } else if (!bTransparencyEnabled && target) {
            target->setFillColor(backgroundColor);
            target->fillRect(whole);
        }
        for (CView* child : children) child->draw(target);
    }
    if (target != context && pOffscreenContext)
        pOffscreenContext->copyFrom(context, size, CPoint(0, 0));
    setDirty(false);
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
    ensureOffscreen();
    CDrawContext* target = bDrawInOffscreen && pOffscreenContext ? pOffscreenContext : context;
    CRect clipped = updateRect;
    clipped.bound(size);
    CRect local = clipped;
    local.offset(-size.left, -size.top);
    {
        OffsetShift shift(target == context ? context : nullptr, size.left, size.top);
        drawBackgroundRect(target, local);
        for (CView* child : children) {
            if (!child->checkUpdate(local)) continue;
            CRect before;
            child->getViewSize(before);
            bool wasDirty = child->isDirty();
            child->drawRect(target, local);
            CRect after;
            if (wasDirty && child->getViewSize(after) != before) child->setDirty(true);
        }
    }
    if (target != context && pOffscreenContext)
        pOffscreenContext->copyFrom(context, clipped, CPoint(local.left, local.top));
    setDirty(false);
}

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& rect) {
    if (!context) return;
    if (!pBackground) {
        if (bTransparencyEnabled) return;
        context->setFillColor(backgroundColor);
        context->fillRect(rect);
        return;
    }
    CRect previousClip;
    context->getClipRect(previousClip);
    CRect narrowed = rect;
    narrowed.bound(previousClip);
    context->setClipRect(narrowed);
    CRect whole(0, 0, pBackground->getWidth(), pBackground->getHeight());
    drawBackgroundBitmap(context, whole, backgroundOffset);
    context->setClipRect(previousClip);
}

bool CViewContainer::visibleDirtyChild(const CView* child) const {
    if (!child->isDirty()) return false;
    CRect area;
    child->getViewSize(area);
    area.bound(CRect(0, 0, size.width(), size.height()));
    return area.width() > 0 && area.height() > 0;
}

bool CViewContainer::isDirty() const {
    if (bDirty) return true;
    for (const CView* child : children)
        if (visibleDirtyChild(child)) return true;
    return false;
}

void CViewContainer::redrawRect(CDrawContext* context, const CRect& rect) {
    CRect moved = rect;
    moved.offset(size.left, size.top);
    if (bTransparencyEnabled) {
        if (pParentView)
            pParentView->redrawRect(context, moved);
        else if (pParentFrame && pParentFrame != static_cast<CView*>(this))
            pParentFrame->drawRect(context, moved);
        return;
    }
    if (pParentView) {
        CPoint origin(0, 0);
        pParentView->localToFrame(origin);
        OffsetShift shift(context, origin.h, origin.v);
        drawRect(context, moved);
        return;
    }
    drawRect(context, moved);
}

bool CViewContainer::isTypeOf(const char* type) const {
    return sameTypeName(type, "CViewContainer") || CView::isTypeOf(type);
}

void CViewContainer::update(CDrawContext* context) {
    if (mode == kNormalUpdate) {
        if (isDirty()) {
            draw(context);
            setDirty(false);
        }
        return;
    }
    if (mode != kOnlyDirtyUpdate) return;
    if (bDirty) {
        draw(context);
    } else if (bDrawInOffscreen && pOffscreenContext) {
        bool dirty = isDirty();
        for (CView* child : children) child->update(pOffscreenContext);
        if (dirty) pOffscreenContext->copyFrom(context, size, CPoint(0, 0));
    } else {
        OffsetShift shift(context, size.left, size.top);
        for (CView* child : children) {
            if (!child->isDirty()) continue;
            CViewContainer* inner =
                child->isTypeOf("CViewContainer") ? static_cast<CViewContainer*>(child) : nullptr;
            CUpdateMode saved = inner ? inner->getMode() : kNormalUpdate;
            if (inner) inner->setMode(kNormalUpdate);
            CRect area;
            drawBackgroundRect(context, child->getViewSize(area));
            child->update(context);
            if (inner) inner->setMode(saved);
        }
    }
    setDirty(false);
}

bool CViewContainer::advanceNextFocusView(CView* oldFocus, bool reverse) {
    bool considering = oldFocus == nullptr;
    auto visit = [&](CView* child) -> bool {
        if (!considering) {
            if (child == oldFocus) considering = true;
            return false;
        }
        if (child->wantsFocus()) {
            if (pParentFrame) pParentFrame->setFocusView(child);
            return true;
        }
        if (child->isTypeOf("CViewContainer") &&
            static_cast<CViewContainer*>(child)->advanceNextFocusView(nullptr, reverse))
            return true;
        return false;
    };
    if (reverse) {
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            if (visit(*it)) return true;
    } else {
        for (CView* child : children)
            if (visit(child)) return true;
    }
    return false;
}
