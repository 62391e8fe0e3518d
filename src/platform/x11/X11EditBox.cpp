// The edit box on X11: a child window of ours over the editor's window that draws its own
// text field and takes keys from two paths, the X events of its window and the keys the
// host forwards, each press once.
#include <X11/Xatom.h>
#include <X11/cursorfont.h>
#include <cairo-xlib.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "platform/DeviceScale.h"
#include "platform/EditBox.h"
#include "platform/cairo/CairoCanvas.h"
#include "platform/cairo/CairoText.h"
#include "platform/common/KeyDeduplicator.h"
#include "platform/common/TextField.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Keys.h"
#include "platform/x11/X11Selection.h"

namespace platform {

namespace {

using x11::ErrorTrap;

constexpr int kPadding = 2;

long millisecondsNow() {
    using namespace std::chrono;
    return long(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

class X11EditBox;

// Sits in the connection table in place of the parent window while the box is open: a
// click elsewhere in the parent ends the editing, and keys that land on the parent are
// the box's. Everything else goes on to the parent as before.
class ParentWatcher : public x11::EventTarget {
public:
    ParentWatcher(X11EditBox& box, Window parent) : box(box), parent(parent) {
        original = x11::findTarget(parent);
        if (original) x11::registerTarget(parent, this);
        watchers().push_back(this);
    }
    ~ParentWatcher() override {
        auto& all = watchers();
        all.erase(std::find(all.begin(), all.end(), this));
        if (original && x11::findTarget(parent) == this) x11::registerTarget(parent, original);
        // Boxes closed out of order: a later watcher forwarding to this one skips it.
        for (ParentWatcher* later : all)
            if (later->original == this) later->original = original;
    }
    ParentWatcher(const ParentWatcher&) = delete;
    ParentWatcher& operator=(const ParentWatcher&) = delete;

    void handleEvent(const XEvent& event, bool merge) override;
    void paintDamage() override {
        if (original) original->paintDamage();
    }

private:
    static std::vector<ParentWatcher*>& watchers() {
        static std::vector<ParentWatcher*> open;
        return open;
    }

    X11EditBox& box;
    Window parent;
    x11::EventTarget* original = nullptr;
};

class X11EditBox : public EditBox, public x11::EventTarget, public x11::PassWatcher {
public:
    // area in the parent's logical pixels; the box draws at the parent's scale.
    X11EditBox(Display* display, Window parent, Window window, const Rect& area, double scale,
               const std::string& text, const EditBoxStyle& style, EditBoxListener& listener)
        : display(display), window(window), parent(parent), width(area.width()),
          height(area.height()), scale(scale), style(style), listener(listener),
          field(text, kMaxLength), watcher(*this, parent) {
        x11::registerTarget(window, this);
        const Rect device = toDevice(area, scale);
        cairo_surface_t* surface =
            cairo_xlib_surface_create(display, window, DefaultVisual(display, DefaultScreen(display)),
                                      device.width(), device.height());
        canvas = canvasOnSurface(surface, width, height, scale);
        if (canvas) font = fontMetrics(*canvas, style.font);
    }

    ~X11EditBox() override {
        x11::removePassWatcher(this);
        x11::unregisterTarget(window);
        canvas.reset();
        {
            ErrorTrap trap;
            giveFocusBack();
            if (alive) XDestroyWindow(display, window);
            if (cursor) XFreeCursor(display, cursor);
        }
        x11::releaseDisplay();
    }

    void start() {
        ErrorTrap trap;
        cursor = XCreateFontCursor(display, XC_xterm);
        XDefineCursor(display, window, cursor);
        XMapRaised(display, window);
        XGetInputFocus(display, &focusBefore, &revertBefore);
        // The host may keep the focus to itself; keys then come through forwardKey.
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        paint();
        x11::addPassWatcher(this);
    }

    // A host may hide the editor's window without closing the editor. Hidden, the box
    // would keep the editing open with no way for the user to end it (and a host that
    // kept the keys to itself tells no focus change): it ends as a loss of focus does.
    void passEnded() override {
        ErrorTrap trap;
        if (!alive || isViewable(window)) return;
        reportFocusLost();  // may destroy the box
    }

    std::string text() const override { return field.text(); }

    bool forwardKey(const Key& key, bool pressed) override {
        if (!pressed) return classifyKey(key) != TextFieldKeyResult::Ignored;
        if (!deduplicator.take(key, KeyPath::Host, millisecondsNow()))
            return classifyKey(key) != TextFieldKeyResult::Ignored;
        return takeKey(key, CurrentTime);
    }

    // A key press that arrived as an X event, on the box or on its parent.
    void windowKey(const XEvent& event) {
        if (event.type != KeyPress) return;
        XKeyEvent copy = event.xkey;
        Key key = x11::keyOf(copy);
        if (deduplicator.take(key, KeyPath::Window, millisecondsNow()))
            takeKey(key, event.xkey.time);
    }

    // May destroy the box.
    void reportFocusLost() { listener.editBoxFocusLost(); }
    std::weak_ptr<bool> lifeToken() const { return life; }

    void handleEvent(const XEvent& event, bool merge) override {
        switch (event.type) {
            case Expose:
                damaged = true;
                if (!merge && event.xexpose.count == 0) paintDamage();
                break;
            case KeyPress: windowKey(event); break;
            case ButtonPress: pressed(event.xbutton); break;
            case MotionNotify:
                if (event.xmotion.state & Button1Mask) {
                    field.moveTo(positionAt(toLogical(event.xmotion.x, scale)), true);
                    paint();
                }
                break;
            case FocusOut: {
                // Grabs (a menu opening) move the focus only for a while; the focus moving
                // into a child of ours does not take it away, and neither does the pointer
                // leaving while the focus follows the pointer (detail NotifyPointer: the
                // box's own XSetInputFocus ends that kind of focus first).
                int mode = event.xfocus.mode;
                int detail = event.xfocus.detail;
                if ((mode == NotifyNormal || mode == NotifyWhileGrabbed) &&
                    detail != NotifyInferior && detail != NotifyPointer)
                    listener.editBoxFocusLost();
                break;
            }
            case DestroyNotify:
                if (event.xdestroywindow.window == window) alive = false;
                break;
            default: break;
        }
    }

    void paintDamage() override {
        if (!damaged) return;
        damaged = false;
        paint();
    }

private:
    // Left alone, the focus would revert to the editor's window and the host would hear
    // no more keys. A window the user moved to meanwhile keeps it.
    void giveFocusBack() {
        Window now = 0;
        int revert = 0;
        XGetInputFocus(display, &now, &revert);
        // Hidden with the host's window, the box lost the focus to the root or to none,
        // and the host would take no keys until something set it again.
        const bool reverted = (now == None || now == PointerRoot ||
                               now == DefaultRootWindow(display)) &&
                              !isViewable(window);
        if (now != window && now != parent && !reverted) return;
        if (focusBefore == now) return;
        if (focusBefore != None && focusBefore != PointerRoot) {
            ErrorTrap trap;
            XWindowAttributes attributes{};
            if (!XGetWindowAttributes(display, focusBefore, &attributes) || trap.failed()) return;
        }
        XSetInputFocus(display, focusBefore, revertBefore, CurrentTime);
    }

    bool isViewable(Window which) const {
        XWindowAttributes attributes{};
        return XGetWindowAttributes(display, which, &attributes) &&
               attributes.map_state == IsViewable;
    }

    bool takeKey(const Key& key, Time time) {
        switch (applyKey(field, key)) {
            case TextFieldKeyResult::Ignored: return false;
            case TextFieldKeyResult::Handled: paint(); return true;
            case TextFieldKeyResult::Paste:
                paste(XInternAtom(display, "CLIPBOARD", False), time);
                return true;
            case TextFieldKeyResult::Return:
                listener.editBoxReturnPressed();  // the box may be gone now
                return true;
        }
        return false;
    }

    void pressed(const XButtonEvent& press) {
        if (press.button == Button1) {
            ErrorTrap trap;
            XSetInputFocus(display, window, RevertToParent, press.time);
            field.moveTo(positionAt(toLogical(press.x, scale)), press.state & ShiftMask);
            paint();
        } else if (press.button == Button2) {
            field.moveTo(positionAt(toLogical(press.x, scale)), false);
            paste(XA_PRIMARY, press.time);
        }
    }

    void paste(Atom selection, Time time) {
        std::optional<std::string> pasted;
        {
            ErrorTrap trap;
            pasted = x11::readSelectionText(display, window, selection, time);
        }
        if (!pasted) return;
        field.insert(*pasted);
        paint();
    }

    int advance(std::size_t length) {
        return canvas ? textAdvance(*canvas, style.font, field.text().substr(0, length)) : 0;
    }

    // Where the text starts: aligned when it fits, else scrolled to keep the caret in view.
    int textLeft() {
        int full = advance(field.text().size());
        int room = width - 2 * kPadding;
        if (full <= room) {
            scroll = 0;
            switch (style.align) {
                case TextAlign::Center: return (width - full) / 2;
                case TextAlign::Right: return width - kPadding - full;
                default: return kPadding;
            }
        }
        int caretX = advance(field.caret());
        scroll = std::clamp(scroll, caretX - room, caretX);
        scroll = std::clamp(scroll, 0, full - room);
        return kPadding - scroll;
    }

    std::size_t positionAt(int x) {
        int left = textLeft();
        std::size_t best = 0;
        int bestDistance = std::abs(x - left);
        for (std::size_t i = 1; i <= field.text().size(); ++i) {
            int distance = std::abs(x - left - advance(i));
            if (distance < bestDistance) {
                best = i;
                bestDistance = distance;
            }
        }
        return best;
    }

    void paint() {
        if (!canvas || !alive) return;
        Canvas& c = *canvas;
        Rect all{0, 0, width, height};
        c.setClip(all);
        c.fillRect(all, style.background);
        int left = textLeft();
        Rect line{left, 0, left + advance(field.text().size()) + 1, height};
        c.drawText(field.text().c_str(), line, style.text, TextAlign::Left, nullptr);
        int top = (height - font.height) / 2;
        if (field.hasSelection()) {
            // Selected text in inverted colours.
            Rect selected{left + advance(field.selectionStart()), top,
                          left + advance(field.selectionEnd()), top + font.height};
            c.fillRect(selected, style.text);
            c.setClip(selected);
            c.drawText(field.text().c_str(), line, style.background, TextAlign::Left, nullptr);
            c.setClip(all);
        } else {
            int x = left + advance(field.caret());
            c.fillRect(Rect{x, top, x + 1, top + font.height}, style.text);
        }
        c.flush();
        XFlush(display);
    }

    Display* display;
    Window window;
    Window parent;
    Window focusBefore = None;
    int revertBefore = RevertToParent;
    int width;  // logical
    int height;
    double scale;
    EditBoxStyle style;
    EditBoxListener& listener;
    TextField field;
    KeyDeduplicator deduplicator;
    ParentWatcher watcher;
    std::unique_ptr<Canvas> canvas;
    FontMetrics font{0, 0};
    Cursor cursor = 0;
    int scroll = 0;
    bool damaged = false;
    bool alive = true;
    std::shared_ptr<bool> life = std::make_shared<bool>(true);
};

void ParentWatcher::handleEvent(const XEvent& event, bool merge) {
    if (event.type == KeyPress || event.type == KeyRelease) {
        box.windowKey(event);
        return;
    }
    Window parentWindow = parent;
    x11::EventTarget* forwardTo = original;
    std::weak_ptr<bool> boxAlive = box.lifeToken();
    if (event.type == ButtonPress && event.xbutton.button <= Button3)
        box.reportFocusLost();  // may destroy the box and this watcher
    x11::EventTarget* now = x11::findTarget(parentWindow);
    if (!now) return;
    if (!boxAlive.expired() && now == this) now = forwardTo;
    if (now) now->handleEvent(event, merge);
}

}  // namespace

std::unique_ptr<EditBox> EditBox::create(NativeWindow& parent, const Rect& area,
                                         const std::string& text, const EditBoxStyle& style,
                                         EditBoxListener& listener) {
    if (area.empty() || !parent.exists()) return nullptr;
    Display* display = x11::acquireDisplay();
    if (!display) return nullptr;
    Window window = 0;
    const double scale = parent.scale();
    const Rect device = toDevice(area, scale);
    {
        ErrorTrap trap;
        XSetWindowAttributes attributes{};
        attributes.background_pixmap = None;
        attributes.event_mask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                                ButtonMotionMask | FocusChangeMask | StructureNotifyMask;
        window = XCreateWindow(display, Window(parent.handle()), device.left, device.top,
                               unsigned(std::max(1, device.width())),
                               unsigned(std::max(1, device.height())), 0, CopyFromParent,
                               InputOutput, CopyFromParent, CWBackPixmap | CWEventMask,
                               &attributes);
        if (trap.failed()) window = 0;
    }
    if (!window) {
        x11::releaseDisplay();
        return nullptr;
    }
    auto box = std::make_unique<X11EditBox>(display, Window(parent.handle()), window, area, scale,
                                            text, style, listener);
    box->start();
    return box;
}

}  // namespace platform
