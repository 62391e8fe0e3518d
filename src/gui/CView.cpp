#include "gui/CView.h"

#include <cstring>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "platform/PointerState.h"

const char* const kMsgCheckIfViewContainer = "kMsgCheckIfViewContainer";

bool sameTypeName(const char* type, const char* name) {
    return type && std::strcmp(type, name) == 0;
}

CView::CView(const CRect& size) : size(size), mouseableArea(size) {}

CView::~CView() {
    if (pBackground) pBackground->forget();
}

void CView::drawBackgroundBitmap(CDrawContext* context, const CRect& rect, const CPoint& offset) {
    if (!pBackground || !context) return;
    if (bTransparencyEnabled)
        pBackground->drawTransparent(context, rect, offset);
    else
        pBackground->draw(context, rect, offset);
}

void CView::draw(CDrawContext* context) {
    drawBackgroundBitmap(context, size, CPoint(0, 0));
    setDirty(false);
}

void CView::drawRect(CDrawContext* context, const CRect&) { draw(context); }

bool CView::checkUpdate(const CRect& updateRect) { return updateRect.rectOverlap(size); }

void CView::mouse(CDrawContext*, CPoint&, int32_t) {}

void CView::setBackground(CBitmap* background) {
    if (pBackground) pBackground->forget();
    pBackground = background;
    if (pBackground) pBackground->remember();
    setDirty(true);
}

int32_t CView::onKeyDown(VstKeyCode&) { return -1; }
int32_t CView::onKeyUp(VstKeyCode&) { return -1; }

bool CView::onWheel(CDrawContext* context, const CPoint& where, CMouseWheelAxis,
                    float distance) {
    return onWheel(context, where, distance);
}

bool CView::onWheel(CDrawContext*, const CPoint&, float) { return false; }

bool CView::onDrop(CDrawContext*, CDragContainer*, const CPoint&) { return false; }
void CView::onDragEnter(CDrawContext*, CDragContainer*, const CPoint&) {}
void CView::onDragLeave(CDrawContext*, CDragContainer*, const CPoint&) {}
void CView::onDragMove(CDrawContext*, CDragContainer*, const CPoint&) {}

void CView::looseFocus(CDrawContext*) {}
void CView::takeFocus(CDrawContext*) {}

bool CView::hitTest(const CPoint& where, int32_t) { return mouseableArea.pointInside(where); }

void CView::setViewSize(CRect& rect) {
    size = rect;
    setDirty(true);
}

bool CView::removed(CView*) { return true; }
bool CView::attached(CView*) { return true; }

CPoint& CView::getMouseLocation(CDrawContext* context, CPoint& point) {
    if (!context) return point;
    if (pParentView && pParentView->notify(this, kMsgCheckIfViewContainer) == kMessageNotified) {
        CRect parentSize;
        pParentView->getViewSize(parentSize);
        CPoint savedScreen = context->offsetScreen;
        CPoint savedOffset = context->offset;
        context->offsetScreen.offset(parentSize.left, parentSize.top);
        context->offset.offset(parentSize.left, parentSize.top);
        pParentView->getMouseLocation(context, point);
        context->offsetScreen = savedScreen;
        context->offset = savedOffset;
        return point;
    }
    point = context->pointerFromOffsetScreen();
    return point;
}

CPoint& CView::frameToLocal(CPoint& point) const {
    if (pParentView && pParentView->isTypeOf("CViewContainer")) return pParentView->frameToLocal(point);
    return point;
}

CPoint& CView::localToFrame(CPoint& point) const {
    if (pParentView && pParentView->isTypeOf("CViewContainer")) return pParentView->localToFrame(point);
    return point;
}

CFrameEditor* CView::getEditor() const { return pParentFrame ? pParentFrame->getEditor() : nullptr; }

int32_t CView::notify(CView*, const char*) { return kMessageUnknown; }

void CView::redrawRect(CDrawContext* context, const CRect& rect) {
    if (pParentView)
        pParentView->redrawRect(context, rect);
    else if (pParentFrame)
        pParentFrame->drawRect(context, rect);
}

bool CView::isTypeOf(const char* type) const { return sameTypeName(type, "CView"); }

void CView::update(CDrawContext* context) {
    if (!isDirty()) return;
    if (context)
        draw(context);
    else if (pParentFrame)
        pParentFrame->draw(this);
    setDirty(false);
}
