#include "platform/headless/HeadlessPlatform.h"

#include <deque>
#include <map>
#include <variant>

#include "platform/Clock.h"
#include "platform/DeviceScale.h"
#include "platform/DisplayScale.h"
#include "platform/common/WatcherList.h"
#include "platform/headless/HeadlessPasses.h"
#include "platform/headless/HeadlessServices.h"

namespace platform {

namespace {

struct PointerScript {
    Point position{0, 0};
    int buttons = 0;
    std::deque<headless::PointerStep> steps;
    int reads = 0;
};

struct Expose {
    Rect damaged;
};
struct Press {
    Point where;
    int buttons;
};
struct Wheel {
    Point where;
    float distance;
};
struct KeyEvent {
    Key key;
    bool pressed;
};
struct Gone {};
using Event = std::variant<Expose, Press, Wheel, KeyEvent, Gone>;

class HeadlessWindow;

struct State {
    PointerScript pointer;
    int32_t ticks = 0;
    std::vector<int> sleeps;
    WindowHandle nextHandle = 0x1000;
    WindowHandle last = 0;
    std::map<WindowHandle, HeadlessWindow*> windows;
    std::deque<std::pair<WindowHandle, Event>> events;
    int paintsLetThrough = 0;
    double desktopScale = 1.0;
    WatcherList<headless::detail::PassWatcher> watchers;
};

State& state() {
    static State instance;
    return instance;
}

class HeadlessWindow : public NativeWindow {
public:
    HeadlessWindow(WindowHandle id, WindowHandle parent, int width, int height,
                   WindowListener& listener, double scale)
        : id(id), parent(parent), listener(listener) {
        image = Canvas::createImage(width, height, scale);
        state().windows[id] = this;
    }
    ~HeadlessWindow() override { state().windows.erase(id); }

    WindowHandle handle() const override { return id; }
    bool exists() const override { return alive; }
    void resize(int width, int height) override { remake(width, height, image->scale()); }
    double scale() const override { return image->scale(); }
    void setScale(double scale) override {
        if (!(scale > 0.0) || scale == image->scale()) return;
        remake(image->width(), image->height(), scale);
        state().events.emplace_back(id, Expose{Rect{0, 0, image->deviceWidth(), image->deviceHeight()}});
    }
    void remake(int width, int height, double scale) {
        if (width <= 0 || height <= 0) return;
        auto resized = Canvas::createImage(width, height, scale);
        if (!resized) return;
        if (scale == image->scale())
            resized->copyFrom(*image, 0, 0, Rect{0, 0, image->width(), image->height()});
        image = std::move(resized);
    }
    Point screenOrigin() const override { return origin; }
    std::unique_ptr<Canvas> createCanvas() override {
        ++canvases;
        return Canvas::drawingOn(*image);
    }
    void setCursor(CursorStyle shape) override { cursor = shape; }

    // Events come in device pixels, as a window system reports them.
    void deliver(const Event& event) {
        if (!alive) return;
        const double s = image->scale();
        if (auto* e = std::get_if<Expose>(&event))
            listener.windowExposed(coveringLogical(e->damaged, s));
        if (auto* p = std::get_if<Press>(&event))
            listener.buttonPressed(toLogical(p->where, s), p->buttons);
        if (auto* w = std::get_if<Wheel>(&event))
            listener.wheelTurned(toLogical(w->where, s), w->distance);
        if (auto* k = std::get_if<KeyEvent>(&event)) {
            if (k->pressed)
                listener.keyPressed(k->key);
            else
                listener.keyReleased(k->key);
        }
        if (std::holds_alternative<Gone>(event)) {
            alive = false;
            listener.windowDestroyed();
        }
    }

    WindowHandle id;
    WindowHandle parent;
    WindowListener& listener;
    std::unique_ptr<Canvas> image;
    Point origin{0, 0};
    CursorStyle cursor = CursorStyle::Default;
    bool alive = true;
    int canvases = 0;
};

HeadlessWindow* find(WindowHandle handle) {
    auto found = state().windows.find(handle);
    return found == state().windows.end() ? nullptr : found->second;
}

void post(WindowHandle window, Event event) { state().events.emplace_back(window, event); }

void dispatch(WindowHandle window, const Event& event) {
    if (HeadlessWindow* target = find(window)) target->deliver(event);
}

}  // namespace

std::unique_ptr<NativeWindow> NativeWindow::createChild(WindowHandle parent, int width, int height,
                                                        WindowListener& listener, double scale) {
    if (parent == 0 || width <= 0 || height <= 0 || !(scale > 0.0)) return nullptr;
    WindowHandle id = state().nextHandle++;
    auto window = std::make_unique<HeadlessWindow>(id, parent, width, height, listener, scale);
    if (!window->image) return nullptr;
    state().last = id;
    return window;
}

double desktopScaleFactor(WindowHandle) { return state().desktopScale; }

bool windowScreenRect(WindowHandle window, Rect& rect) {
    HeadlessWindow* found = find(window);
    if (!found) return false;
    rect = Rect{found->origin.x, found->origin.y, found->origin.x + found->image->deviceWidth(),
                found->origin.y + found->image->deviceHeight()};
    return true;
}

WindowHandle parentWindow(WindowHandle window) {
    HeadlessWindow* found = find(window);
    return found ? found->parent : 0;
}

bool isTopLevelWindow(WindowHandle window) { return find(window) == nullptr; }

void resizeWindow(WindowHandle window, int width, int height) {
    // The host's windows are sized in device pixels.
    if (HeadlessWindow* found = find(window)) {
        const double s = found->scale();
        found->resize(int(std::lround(width / s)), int(std::lround(height / s)));
    }
}

// As on X11: every event in order, except that exposures only collect damage, and each
// damaged window paints the union once the queue is empty.
void processPendingEvents() {
    auto& events = state().events;
    std::map<WindowHandle, Rect> damage;
    while (!events.empty()) {
        auto next = events.front();
        events.pop_front();
        if (auto* expose = std::get_if<Expose>(&next.second)) {
            auto found = damage.find(next.first);
            if (found == damage.end())
                damage.emplace(next.first, expose->damaged);
            else
                found->second = unite(found->second, expose->damaged);
            continue;
        }
        dispatch(next.first, next.second);
    }
    for (const auto& [window, area] : damage) dispatch(window, Expose{area});
    headless::detail::endPass();
}

struct DrawingOutsidePass::Impl {};
DrawingOutsidePass::DrawingOutsidePass() = default;
DrawingOutsidePass::~DrawingOutsidePass() = default;

void flushDrawing() {}

int eventDescriptor() { return -1; }

bool dispatchOnePendingPaint() {
    auto& events = state().events;
    for (auto it = events.begin(); it != events.end(); ++it) {
        if (!std::holds_alternative<Expose>(it->second)) continue;
        auto next = *it;
        events.erase(it);
        ++state().paintsLetThrough;
        dispatch(next.first, next.second);
        return true;
    }
    return false;
}

int queryPointerButtons() {
    PointerScript& pointer = state().pointer;
    ++pointer.reads;
    if (!pointer.steps.empty()) {
        pointer.position = pointer.steps.front().screen;
        pointer.buttons = pointer.steps.front().buttons;
        pointer.steps.pop_front();
    }
    return pointer.buttons;
}

bool queryPointerScreenPosition(Point& where) {
    where = state().pointer.position;
    return true;
}

int doubleClickMilliseconds() { return 500; }

int32_t tickCount() { return state().ticks; }

void sleepMilliseconds(int milliseconds) {
    state().sleeps.push_back(milliseconds);
    state().ticks += milliseconds;
}

namespace headless {

void scriptPointer(Point start, std::vector<PointerStep> steps) {
    PointerScript& pointer = state().pointer;
    pointer.position = start;
    pointer.steps.assign(steps.begin(), steps.end());
}

void setPointer(Point screen, int buttons) {
    PointerScript& pointer = state().pointer;
    pointer.steps.clear();
    pointer.position = screen;
    pointer.buttons = buttons;
}

int pointerButtonReads() { return state().pointer.reads; }

void setTicks(int32_t ticks) { state().ticks = ticks; }
void setDesktopScale(double factor) { state().desktopScale = factor; }
int32_t ticks() { return state().ticks; }
const std::vector<int>& sleeps() { return state().sleeps; }

WindowHandle lastWindow() { return state().last; }
int openWindowCount() { return static_cast<int>(state().windows.size()); }

const Canvas* windowImage(WindowHandle window) {
    HeadlessWindow* found = find(window);
    return found ? found->image.get() : nullptr;
}

void setWindowScreenOrigin(WindowHandle window, Point origin) {
    if (HeadlessWindow* found = find(window)) found->origin = origin;
}

int canvasesCreated(WindowHandle window) {
    HeadlessWindow* found = find(window);
    return found ? found->canvases : 0;
}

CursorStyle windowCursor(WindowHandle window) {
    HeadlessWindow* found = find(window);
    return found ? found->cursor : CursorStyle::Default;
}

void postExpose(WindowHandle window, Rect damaged) { post(window, Expose{damaged}); }
void postButtonPress(WindowHandle window, Point where, int buttons) {
    post(window, Press{where, buttons});
}
void postWheel(WindowHandle window, Point where, float distance) {
    post(window, Wheel{where, distance});
}
void postKey(WindowHandle window, Key key, bool pressed) { post(window, KeyEvent{key, pressed}); }
void destroyFromOutside(WindowHandle window) { post(window, Gone{}); }
int paintsLetThrough() { return state().paintsLetThrough; }

void reset() {
    State& s = state();
    s.pointer = PointerScript{};
    s.ticks = 0;
    s.sleeps.clear();
    s.events.clear();
    s.paintsLetThrough = 0;
    s.desktopScale = 1.0;
    resetServices();
}

namespace detail {

void addPassWatcher(PassWatcher* watcher) { state().watchers.add(watcher); }
void removePassWatcher(PassWatcher* watcher) { state().watchers.remove(watcher); }

void endPass() {
    state().watchers.tellEach([](PassWatcher* watcher) {
        watcher->passEnded();
        return false;
    });
}

}  // namespace detail

}  // namespace headless
}  // namespace platform
