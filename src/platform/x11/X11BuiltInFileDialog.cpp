#include "platform/x11/X11BuiltInFileDialog.h"

#include <cairo-xlib.h>

#include <algorithm>
#include <memory>

#include "platform/DeviceScale.h"
#include "platform/NativeWindow.h"
#include "platform/cairo/CairoCanvas.h"
#include "platform/posix/ChosenPath.h"
#include "platform/posix/FileChooser.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11DialogWindow.h"
#include "platform/x11/X11Keys.h"

namespace platform::x11 {

namespace {

using posix::FileChooser;

constexpr int kWidth = 460;
constexpr int kHeight = 332;
constexpr int kRowHeight = 20;
constexpr Rect kField{10, 10, 450, 34};
constexpr Rect kList{10, 42, 450, 282};
constexpr Rect kFilterButton{10, 294, 260, 320};
constexpr Rect kOkButton{280, 294, 360, 320};
constexpr Rect kCancelButton{370, 294, 450, 320};
constexpr int kVisibleRows = (kList.bottom - kList.top) / kRowHeight;
constexpr unsigned long kDoubleClickMilliseconds = 400;
constexpr size_t kShownFieldCharacters = 64;

constexpr Color kFace{236, 236, 234, 255};
constexpr Color kWhite{255, 255, 255, 255};
constexpr Color kInk{20, 20, 20, 255};
constexpr Color kFrame{110, 110, 110, 255};
constexpr Color kHighlight{40, 80, 160, 255};
constexpr Color kFolderInk{30, 60, 120, 255};

bool inside(const Rect& rect, int x, int y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

class BuiltInDialog : public BuiltInFileDialog, public EventTarget {
public:
    // Drawn at the scale of the editor it belongs to.
    BuiltInDialog(Display* display, const FileDialogOptions& options)
        : display(display), chooser(options), title(options.title),
          scale(scaleOfWindow(Window(options.owner))) {}

    ~BuiltInDialog() override {
        if (!window) return;
        unregisterTarget(window);
        windowCanvas.reset();
        ErrorTrap trap;
        XDestroyWindow(display, window);
    }

    BuiltInDialog(const BuiltInDialog&) = delete;
    BuiltInDialog& operator=(const BuiltInDialog&) = delete;

    bool show(Window transientFor) {
        ErrorTrap trap;
        window = createDialogWindow(display, title, toDevice(kWidth, scale),
                                    toDevice(kHeight, scale), transientFor,
                                    ExposureMask | ButtonPressMask | KeyPressMask |
                                        StructureNotifyMask);
        if (!window) return false;
        registerTarget(window, this);
        XMapRaised(display, window);
        cairo_surface_t* surface =
            cairo_xlib_surface_create(display, window, DefaultVisual(display, DefaultScreen(display)),
                                      toDevice(kWidth, scale), toDevice(kHeight, scale));
        windowCanvas = canvasOnSurface(surface, kWidth, kHeight, scale);
        image = Canvas::createImage(kWidth, kHeight, scale);
        XFlush(display);
        return windowCanvas && image;
    }

    std::optional<std::string> answer() const override {
        if (state != State::Done) return std::nullopt;
        return chosenPath;
    }

    void handleEvent(const XEvent& event, bool merge) override {
        // Answered: the window goes at the end of this pass.
        if (state == State::Done && event.type != DestroyNotify) return;
        switch (event.type) {
            case Expose:
                damaged = true;
                if (!merge) paintDamage();
                break;
            case MapNotify: {
                // Without a window manager nobody else gives us the keyboard.
                ErrorTrap trap;
                XSetInputFocus(display, window, RevertToParent, CurrentTime);
                break;
            }
            case DestroyNotify:
                if (event.xdestroywindow.window == window) {
                    unregisterTarget(window);
                    window = 0;
                    finish("");
                }
                break;
            case ClientMessage:
                if (isCloseRequest(display, event)) finish("");
                break;
            case ButtonPress: pressed(event.xbutton); break;
            case KeyPress: {
                XKeyEvent key = event.xkey;
                keyed(keyOf(key));
                break;
            }
            default: break;
        }
    }

    void paintDamage() override {
        if (!damaged || !window || !windowCanvas) return;
        damaged = false;
        paint();
    }

private:
    enum class State { Browsing, Confirming, Done };

    void finish(const std::string& path) {
        chosenPath = path;
        state = State::Done;
    }

    void outcome(FileChooser::Outcome result) {
        if (result == FileChooser::Outcome::Chosen) finish(chooser.chosen());
        if (result == FileChooser::Outcome::ConfirmOverwrite) state = State::Confirming;
    }

    void keyed(const Key& key) {
        if (state == State::Confirming) {
            if (key.name == KeyName::Return || key.character == 'y' || key.character == 'Y')
                finish(chooser.chosen());
            else if (key.name == KeyName::Escape || key.character == 'n' || key.character == 'N')
                state = State::Browsing;
            update();
            return;
        }
        switch (key.name) {
            case KeyName::Escape: finish(""); return;
            case KeyName::Return: outcome(chooser.accept()); break;
            case KeyName::Back: chooser.backspace(); break;
            case KeyName::Up: chooser.moveSelection(-1); break;
            case KeyName::Down: chooser.moveSelection(1); break;
            case KeyName::Tab: chooser.nextFilter(); break;
            case KeyName::Space: chooser.type(' '); break;
            case KeyName::Unnamed:
                if (key.character && !(key.modifiers & (kKeyControl | kKeyAlt)))
                    chooser.type(char(key.character));
                break;
            default: break;
        }
        update();
    }

    void pressed(const XButtonEvent& event) {
        XButtonEvent press = event;
        press.x = toLogical(event.x, scale);
        press.y = toLogical(event.y, scale);
        if (press.button == Button4 || press.button == Button5) {
            firstRow += press.button == Button4 ? -3 : 3;
            update();
            return;
        }
        if (press.button != Button1) return;
        if (state == State::Confirming) {
            if (inside(kOkButton, press.x, press.y)) finish(chooser.chosen());
            if (inside(kCancelButton, press.x, press.y)) state = State::Browsing;
        } else if (inside(kOkButton, press.x, press.y)) {
            outcome(chooser.accept());
        } else if (inside(kCancelButton, press.x, press.y)) {
            finish("");
        } else if (inside(kFilterButton, press.x, press.y)) {
            chooser.nextFilter();
        } else if (inside(kList, press.x, press.y)) {
            int row = firstRow + (press.y - kList.top) / kRowHeight;
            bool twice =
                row == lastClickRow && press.time - lastClickTime < kDoubleClickMilliseconds;
            lastClickRow = twice ? -1 : row;
            lastClickTime = press.time;
            if (twice)
                outcome(chooser.activate(row));
            else
                chooser.select(row);
        }
        update();
    }

    void update() {
        if (state == State::Done) return;
        int count = int(chooser.entries().size());
        int selected = chooser.selected();
        if (selected >= 0 && selected < firstRow) firstRow = selected;
        if (selected >= firstRow + kVisibleRows) firstRow = selected - kVisibleRows + 1;
        if (firstRow > count - kVisibleRows) firstRow = count - kVisibleRows;
        if (firstRow < 0) firstRow = 0;
        paint();
    }

    void button(const Rect& rect, const char* label) {
        image->fillRect(rect, kWhite);
        frame(rect);
        image->drawText(label, rect, kInk, TextAlign::Center, nullptr);
    }

    void frame(const Rect& rect) {
        image->drawLine(rect.left, rect.top, rect.right, rect.top, kFrame, 1);
        image->drawLine(rect.left, rect.bottom - 1, rect.right, rect.bottom - 1, kFrame, 1);
        image->drawLine(rect.left, rect.top, rect.left, rect.bottom, kFrame, 1);
        image->drawLine(rect.right - 1, rect.top, rect.right - 1, rect.bottom, kFrame, 1);
    }

    void paint() {
        if (!window || !windowCanvas) return;
        Canvas& canvas = *image;
        canvas.setFont(FontSpec{"Arial", 13, false, false, false});
        canvas.fillRect(Rect{0, 0, kWidth, kHeight}, kFace);
        canvas.fillRect(kField, kWhite);
        frame(kField);
        std::string text = chooser.text();
        // The end of a long path is the part being typed.
        if (text.size() > kShownFieldCharacters)
            text = "..." + text.substr(text.size() - kShownFieldCharacters + 3);
        canvas.drawText((text + "|").c_str(),
                        Rect{kField.left + 4, kField.top, kField.right - 4, kField.bottom}, kInk,
                        TextAlign::Left, nullptr);
        canvas.fillRect(kList, kWhite);
        frame(kList);
        const auto& entries = chooser.entries();
        for (int row = 0; row < kVisibleRows && firstRow + row < int(entries.size()); ++row) {
            int index = firstRow + row;
            Rect line{kList.left + 1, kList.top + row * kRowHeight, kList.right - 1,
                      kList.top + (row + 1) * kRowHeight};
            bool chosen = index == chooser.selected();
            if (chosen) canvas.fillRect(line, kHighlight);
            const auto& entry = entries[size_t(index)];
            std::string label = entry.isFolder ? "[" + entry.name + "]" : entry.name;
            Color ink = chosen ? kWhite : entry.isFolder ? kFolderInk : kInk;
            canvas.drawText(label.c_str(),
                            Rect{line.left + 6, line.top, line.right - 4, line.bottom}, ink,
                            TextAlign::Left, nullptr);
        }
        if (state == State::Confirming) {
            Rect question{kList.left + 20, kList.top + 80, kList.right - 20, kList.top + 150};
            canvas.fillRect(question, kFace);
            frame(question);
            std::string name = posix::fileNameOf(chooser.chosen());
            canvas.drawText(
                (name + " already exists.").c_str(),
                Rect{question.left, question.top + 10, question.right, question.top + 34}, kInk,
                TextAlign::Center, nullptr);
            canvas.drawText(
                "Replace it?",
                Rect{question.left, question.top + 34, question.right, question.top + 58}, kInk,
                TextAlign::Center, nullptr);
            button(kOkButton, "Replace");
            button(kCancelButton, "Back");
        } else {
            button(kOkButton, "OK");
            button(kCancelButton, "Cancel");
        }
        std::string filter = chooser.filterLabel();
        if (!filter.empty()) button(kFilterButton, filter.c_str());
        windowCanvas->copyFrom(canvas, 0, 0, Rect{0, 0, kWidth, kHeight});
        windowCanvas->flush();
    }

    Display* display;
    FileChooser chooser;
    std::string title;
    const double scale;
    Window window = 0;
    std::unique_ptr<Canvas> windowCanvas;
    std::unique_ptr<Canvas> image;
    State state = State::Browsing;
    std::string chosenPath;
    bool damaged = false;
    int firstRow = 0;
    int lastClickRow = -1;
    Time lastClickTime = 0;
};

}  // namespace

std::unique_ptr<BuiltInFileDialog> BuiltInFileDialog::open(Display* display,
                                                         const FileDialogOptions& options,
                                                         Window transientFor) {
    if (!display) return nullptr;
    auto dialog = std::make_unique<BuiltInDialog>(display, options);
    if (!dialog->show(transientFor)) return nullptr;
    return dialog;
}

}  // namespace platform::x11
