// The root container: owns the editor's native child window inside the host's window,
// paints it, routes its mouse, wheel and key events, keeps the focus and modal views and
// answers the controls' questions by asking the editor.
#pragma once

#include <memory>
#include <vector>
#include <string>

#include "gui/CViewContainer.h"
#include "platform/EditBox.h"
#include "platform/FileDialog.h"
#include "platform/ModalPump.h"
#include "platform/NativeWindow.h"
#include "platform/PopupMenu.h"

class CDropTarget;
class CFrameEditor;

// How knobs follow the mouse, for every editor of the process: 0 circular, 1 relative
// circular, 2 linear. Written by the editor base.
extern int32_t knobMode;

enum CCursorType {
    kCursorDefault = 0,
    kCursorWait,
    kCursorHSize,
    kCursorVSize,
    kCursorSizeAll,
    kCursorNESWSize,
    kCursorNWSESize,
    kCursorCopy,
    kCursorNotAllowed,
    kCursorHand,
};

class CFrame : public CViewContainer {
public:
    // parentWindow: the host's window id; without one no window is made and the frame
    // never paints. The frame's size and every view in it are in logical pixels; its
    // window shows them at scale.
    CFrame(const CRect& size, void* parentWindow, CFrameEditor* editor, double scale = 1.0);
    ~CFrame() override;

    // The frame lives inside the host's window: these do nothing.
    virtual bool open(CPoint* point = nullptr);
    virtual bool close();
    virtual bool isOpen() const { return bOpenFlag; }
    // Redraws what is dirty, once the window has painted for the first time.
    virtual void idle();
    virtual void doIdleStuff();
    virtual int32_t getTicks() const;
    virtual int32_t getKnobMode() const;
    virtual bool setPosition(CCoord x, CCoord y);
    virtual bool getPosition(CCoord& x, CCoord& y) const;
    // The logical size; the host is asked for the device size.
    virtual bool setSize(CCoord width, CCoord height);
    double getScale() const { return scale; }
    // Shows the frame at another scale: the window and, through the editor, the host's
    // window take the new device size, and everything is drawn anew.
    void setScale(double newScale);
    virtual bool getSize(CRect* rect) const;
    virtual bool getSize(CRect& rect) const;
    // 0 while another modal view is present; the caller keeps its reference to a modal
    // view that is replaced.
    virtual int32_t setModalView(CView* view);
    virtual CView* getModalView() const { return pModalView; }
    virtual void beginEdit(int32_t index);
    virtual void endEdit(int32_t index);
    // The editor lets the frame go (its window is closing): every edit still open is ended
    // for the host, an open text field closes without reporting, and from now on the frame
    // asks nothing of the editor. Loops running inside the frame see it in pump().
    void detachEditor();
    // One turn of the idle pump for a loop that holds the user's gesture (a drag, a popup,
    // a dialog's wait); false once the editor has let the frame go and the loop must end.
    bool pump();
    // The pointer in the window's logical pixels.
    virtual bool getCurrentLocation(CPoint& where);
    virtual void setCursor(CCursorType type);
    virtual void setFocusView(CView* view);
    virtual CView* getFocusView() const { return pFocusView; }
    // Registers the window for drops (or revokes it); false without a window.
    virtual bool setDropActive(bool active);
    virtual bool isDropActive() const { return bDropActive; }
    virtual void setOpenFlag(bool flag) { bOpenFlag = flag; }
    virtual bool getOpenFlag() const { return bOpenFlag; }
    // Marks every direct child that overlaps rect dirty.
    virtual void invalidate(const CRect& rect);
    virtual bool updatesDisabled(bool state);
    virtual bool updatesDisabled() const { return bUpdatesDisabled; }
    // Draws one direct child (or, for any other view, the whole frame) at once.
    virtual void draw(CView* view);

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;
    int32_t onKeyDown(VstKeyCode& keyCode) override;
    int32_t onKeyUp(VstKeyCode& keyCode) override;
    bool onWheel(CDrawContext* context, const CPoint& where, CMouseWheelAxis axis,
                 float distance) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    void setViewSize(CRect& rect) override;
    CFrameEditor* getEditor() const override { return pEditor; }
    bool isTypeOf(const char* type) const override;
    void update(CDrawContext* context) override;
    CView* getCurrentView() const override;
    bool advanceNextFocusView(CView* oldFocus, bool reverse = false) override;

    // The frame's own window; null without one.
    platform::NativeWindow* getNativeWindow() const { return window.get(); }
    platform::WindowHandle getSystemWindow() const { return parentSystemWindow; }

    // What the system's own modal loops (menus and dialogs on Windows) turn: the editor's
    // idle work; false once the editor has gone or the window is closed.
    platform::ModalPump modalPump();

    // The one popup menu open over the frame, for owner (held while it is open): ended
    // hears how it ended, from a later event pass or before this returns, unless the frame
    // closes it first (the editor lets the frame go). A menu still open is ended as
    // dismissed first. False, telling nothing, without an editor.
    bool openPopupMenu(CView* owner, const std::vector<platform::MenuItem>& items,
                       const platform::PopupMenuOptions& options, platform::MenuEnded ended);
    bool isPopupMenuOpen() const { return popupMenu != nullptr; }
    // Ends an open menu as dismissed, as a click elsewhere would.
    void dismissPopupMenu();
    // The editor's one file dialog, told to ended as a menu is. False, telling nothing,
    // while one is open or without an editor.
    bool openFileDialog(const platform::FileDialogOptions& options,
                        platform::FileDialogEnded ended);
    bool isFileDialogOpen() const { return fileDialog != nullptr || fileDialogOpening; }

    // The one text field open over the frame's window, held for owner (a text edit) so
    // that keys from the host reach it and it closes before the window does. Opening
    // another closes the previous one without a word. False without a window or a field.
    bool openEditBox(const CView* owner, const CRect& area, const std::string& text,
                     const platform::EditBoxStyle& style, platform::EditBoxListener& listener);
    // Owner's open field; null when owner has none.
    platform::EditBox* getEditBox(const CView* owner) const;
    // Closes owner's field without telling anyone; what was typed is lost.
    void closeEditBox(const CView* owner);
    // Colours of an edit box: the focus view's font and back colours when it shows text;
    // false (nothing changed) otherwise.
    bool getEditBoxColors(platform::Color& text, platform::Color& background) const;

private:
    class WindowEvents;
    friend class WindowEvents;

    // A context on the frame's window, for work outside a paint; release with forget.
    CDrawContext* createWindowContext();
    // Resizes the windows between ours and the host's by hand when the host cannot.
    bool resizeWindowChain(CCoord width, CCoord height);
    // Our window and the host's to the device size of a logical one: through the host where
    // it can, else by hand.
    void resizeWindows(CCoord width, CCoord height);
    // The owner of the open menu hears chosen; nothing happens without one.
    void endPopupMenu(std::optional<int> chosen);
    // Closes the menu and the dialog without telling anyone.
    void closeMenuAndDialog();

    CFrameEditor* pEditor;
    // Indices whose edit the host was told began and not yet ended.
    std::vector<int32_t> openEdits;
    platform::WindowHandle parentSystemWindow;
    CView* pModalView = nullptr;
    CView* pFocusView = nullptr;
    bool bFirstDraw = true;
    bool bOpenFlag = true;
    bool bDropActive = false;
    bool bUpdatesDisabled = false;
    bool defaultCursorSaved = false;
    std::unique_ptr<WindowEvents> events;
    std::unique_ptr<platform::NativeWindow> window;
    double scale = 1.0;
    std::unique_ptr<CDropTarget> dropTarget;
    std::unique_ptr<platform::EditBox> editBox;
    const CView* editBoxOwner = nullptr;
    std::unique_ptr<platform::PopupMenu> popupMenu;
    CView* popupMenuOwner = nullptr;
    platform::MenuEnded popupMenuEnded;
    std::unique_ptr<platform::FileDialog> fileDialog;
    // True while a dialog that answers inside open (Windows) is up.
    bool fileDialogOpening = false;
};
