// A view that owns an ordered list of children: draws them (through an offscreen image
// by default) and routes mouse, wheel, key and drag events to them. Later children are
// drawn on top and hit first.
#pragma once

#include <vector>

#include "gui/CView.h"

class COffscreenContext;

enum CUpdateMode { kNormalUpdate = 0, kOnlyDirtyUpdate = 1 };

class CViewContainer : public CView {
public:
    CViewContainer(const CRect& size, CFrame* frame, CBitmap* background = nullptr);
    ~CViewContainer() override;

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;
    int32_t onKeyDown(VstKeyCode& keyCode) override;
    int32_t onKeyUp(VstKeyCode& keyCode) override;
    bool onWheel(CDrawContext* context, const CPoint& where, CMouseWheelAxis axis,
                 float distance) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    bool onDrop(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void onDragEnter(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void onDragLeave(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void onDragMove(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void looseFocus(CDrawContext* context = nullptr) override;
    void takeFocus(CDrawContext* context = nullptr) override;
    bool isDirty() const override;
    void setViewSize(CRect& rect) override;
    bool removed(CView* parent) override;
    bool attached(CView* parent) override;
    CPoint& frameToLocal(CPoint& point) const override;
    CPoint& localToFrame(CPoint& point) const override;
    int32_t notify(CView* sender, const char* message) override;
    void redrawRect(CDrawContext* context, const CRect& rect) override;
    bool isTypeOf(const char* type) const override;
    void update(CDrawContext* context) override;

    // Takes over the caller's reference.
    virtual void addView(CView* view, CRect& mouseableArea, bool mouseEnabled = true);
    virtual void addView(CView* view);
    virtual void removeView(CView* view, bool withForget = true);
    virtual void removeAll(bool withForget = true);
    virtual bool isChild(CView* view) const;
    virtual int32_t getNbViews() const;
    virtual CView* getView(int32_t index) const;
    virtual void setBackgroundColor(const CColor& color);
    virtual CColor getBackgroundColor() const { return backgroundColor; }
    virtual void setBackgroundOffset(const CPoint& point) { backgroundOffset = point; }
    virtual const CPoint& getBackgroundOffset() const { return backgroundOffset; }
    virtual void drawBackgroundRect(CDrawContext* context, const CRect& rect);
    virtual void setMode(CUpdateMode newMode) { mode = newMode; }
    virtual CUpdateMode getMode() const { return mode; }
    virtual void useOffscreen(bool enable);
    virtual CView* getCurrentView() const;
    virtual CView* getViewAt(const CPoint& where, bool deep = false) const;
    virtual bool advanceNextFocusView(CView* oldFocus, bool reverse = false);

    COffscreenContext* getOffscreen() const { return pOffscreenContext; }

protected:
    // A point of the parent's coordinates in this container's own.
    CPoint toLocal(const CPoint& where) const;
    // Creates the offscreen when drawing through one is on and none exists.
    void ensureOffscreen();
    // The child's size clipped to (0, 0, width, height) is not empty.
    bool visibleDirtyChild(const CView* child) const;
    // Releases one child: removed, the creator's reference when withForget, the node's.
    void releaseChild(CView* child, bool withForget);

    std::vector<CView*> children;
    CUpdateMode mode = kNormalUpdate;
    COffscreenContext* pOffscreenContext = nullptr;
    CColor backgroundColor = kBlackCColor;
    CPoint backgroundOffset;
    bool bDrawInOffscreen = true;
    CView* currentDragView = nullptr;
};
