// Base of everything that occupies a rectangle of the editor.
#pragma once

#include "gui/CGeometry.h"
#include "gui/CReferenceCounter.h"
#include "host/vst_abi.h"

class CBitmap;
class CDragContainer;
class CDrawContext;
class CFrame;
class CFrameEditor;

enum CMouseWheelAxis { kMouseWheelAxisX, kMouseWheelAxisY };

enum CMessageResult { kMessageUnknown = 0, kMessageNotified = 1 };

// Asks a view whether it is a container; compared by identity, never by text.
extern const char* const kMsgCheckIfViewContainer;

class CView : public CReferenceCounter {
public:
    explicit CView(const CRect& size);
    ~CView() override;

    virtual void draw(CDrawContext* context);
    virtual void drawRect(CDrawContext* context, const CRect& updateRect);
    virtual bool checkUpdate(const CRect& updateRect);
    virtual void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1);

    virtual void setBackground(CBitmap* background);
    virtual CBitmap* getBackground() const { return pBackground; }

    // Answers -1 when the key is not handled.
    virtual int32_t onKeyDown(VstKeyCode& keyCode);
    virtual int32_t onKeyUp(VstKeyCode& keyCode);
    virtual bool onWheel(CDrawContext* context, const CPoint& where, CMouseWheelAxis axis,
                         float distance);
    virtual bool onWheel(CDrawContext* context, const CPoint& where, float distance);

    virtual bool onDrop(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void onDragEnter(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void onDragLeave(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void onDragMove(CDrawContext* context, CDragContainer* drag, const CPoint& where);

    virtual void looseFocus(CDrawContext* context = nullptr);
    virtual void takeFocus(CDrawContext* context = nullptr);

    virtual bool isDirty() const { return bDirty; }
    virtual void setDirty(bool state = true) { bDirty = state; }

    virtual void setMouseEnabled(bool enable) { bMouseEnabled = enable; }
    virtual bool getMouseEnabled() const { return bMouseEnabled; }
    virtual void setMouseableArea(const CRect& rect) { mouseableArea = rect; }
    virtual CRect& getMouseableArea(CRect& rect) const {
        rect = mouseableArea;
        return rect;
    }
    virtual bool hitTest(const CPoint& where, int32_t buttons = -1);

    virtual void setTransparency(bool state) { bTransparencyEnabled = state; }
    virtual bool getTransparency() const { return bTransparencyEnabled; }

    virtual void setViewSize(CRect& rect);
    virtual CRect& getViewSize(CRect& rect) const {
        rect = size;
        return rect;
    }

    virtual bool removed(CView* parent);
    virtual bool attached(CView* parent);

    // The pointer position in the coordinates mouse() receives.
    virtual CPoint& getMouseLocation(CDrawContext* context, CPoint& point);
    virtual CPoint& frameToLocal(CPoint& point) const;
    virtual CPoint& localToFrame(CPoint& point) const;

    virtual CFrameEditor* getEditor() const;
    virtual int32_t notify(CView* sender, const char* message);
    virtual void redrawRect(CDrawContext* context, const CRect& rect);

    virtual bool wantsFocus() const { return bWantsFocus; }
    virtual void setWantsFocus(bool state) { bWantsFocus = state; }
    virtual bool isTypeOf(const char* type) const;
    virtual void update(CDrawContext* context);

    void setParentFrame(CFrame* frame) { pParentFrame = frame; }
    CFrame* getFrame() const { return pParentFrame; }
    void setParentView(CView* view) { pParentView = view; }
    CView* getParentView() const { return pParentView; }

protected:
    // Draws the background bitmap over rect with a source offset, transparent or opaque
    // by the transparency flag.
    void drawBackgroundBitmap(CDrawContext* context, const CRect& rect, const CPoint& offset);

    CRect size;
    CRect mouseableArea;
    CFrame* pParentFrame = nullptr;
    CView* pParentView = nullptr;
    bool bDirty = false;
    bool bMouseEnabled = true;
    bool bTransparencyEnabled = false;
    bool bWantsFocus = false;
    CBitmap* pBackground = nullptr;
};

// True when name equals type; for the isTypeOf chains.
bool sameTypeName(const char* type, const char* name);
