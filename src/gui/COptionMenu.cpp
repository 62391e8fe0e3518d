#include "gui/COptionMenu.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "platform/DeviceScale.h"

namespace {

// More entries than this are never split into columns.
constexpr int32_t kMaxEntriesForColumns = 160;

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

// Marks a menu as being walked for the duration; false when it already was (a cycle).
class WalkGuard {
public:
    explicit WalkGuard(bool& flag) : flag(flag), first(!flag) { flag = true; }
    ~WalkGuard() {
        if (first) flag = false;
    }
    WalkGuard(const WalkGuard&) = delete;
    WalkGuard& operator=(const WalkGuard&) = delete;
    bool entered() const { return first; }

private:
    bool& flag;
    bool first;
};

// Entry slots are added this many at a time.
constexpr size_t kEntryGrowth = 32;
constexpr size_t kSubMenuGrowth = 10;

// Makes room for one more element; false when memory cannot be had.
template <typename Vector>
bool roomForOneMore(Vector& vector, size_t growth) {
    if (vector.size() < vector.capacity()) return true;
    try {
        vector.reserve(vector.size() + growth);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

}  // namespace

COptionMenu::COptionMenu(const CRect& size, CControlListener* listener, int32_t tag,
                         CBitmap* background, CBitmap* clickBackground, int32_t style)
    : CParamDisplay(size, background, style), clickBackground(clickBackground) {
    this->listener = listener;
    this->tag = tag;
    if (clickBackground) clickBackground->remember();
}

COptionMenu::~COptionMenu() {
    removeAllEntry();
    if (clickBackground) clickBackground->forget();
}

bool COptionMenu::isTypeOf(const char* type) const {
    return sameTypeName(type, "COptionMenu") || CParamDisplay::isTypeOf(type);
}

std::string COptionMenu::numbered(const char* prefix, int32_t position, const char* text) const {
    static const char* const kFormats[] = {"%s%1d %s", "%s%02d %s", "%s%03d %s"};
    char buffer[kTextControlBufferSize] = "";
    if (prefixNumbers >= 2 && prefixNumbers <= 4)
        std::snprintf(buffer, sizeof buffer, kFormats[prefixNumbers - 2], prefix, position + 1,
                      text);
    else
        std::snprintf(buffer, sizeof buffer, "%s%s", prefix, text);
    return buffer;
}

bool COptionMenu::addEntry(const char* text, int32_t index) {
    if (getNbEntries() >= kMaxEntries) return false;
    if (!roomForOneMore(entries, kEntryGrowth) || !roomForOneMore(checks, kEntryGrowth))
        return false;
    int32_t position = index >= 0 && index < getNbEntries() ? index : getNbEntries();
    // Check marks move with their entries.
    entries.insert(entries.begin() + position, text ? numbered("", position, text) : "");
    checks.insert(checks.begin() + position, false);
    if (index >= 0 && currentIndex >= index) ++currentIndex;
    if (currentIndex < 0) currentIndex = 0;
    return true;
}

bool COptionMenu::addEntry(COptionMenu* subMenu, const char* text) {
    if (getNbEntries() >= kMaxEntries || !subMenu || !text) return false;
    if (!roomForOneMore(entries, kEntryGrowth) || !roomForOneMore(checks, kEntryGrowth) ||
        !roomForOneMore(subMenus, kSubMenuGrowth))
        return false;
    entries.push_back(numbered("-M", getNbEntries(), text));
    checks.push_back(false);
    subMenus.push_back(subMenu);
    subMenu->remember();
    if (currentIndex < 0) currentIndex = 0;
    return true;
}

bool COptionMenu::isSeparatorOrTitle(int32_t index) const {
    const std::string& entry = entries[static_cast<size_t>(index)];
    return entry == "-" || startsWith(entry, "-T");
}

int32_t COptionMenu::getCurrent(char* text, bool countSeparator) const {
    if (currentIndex < 0 || currentIndex >= getNbEntries()) return -1;
    if (text) copyText(text, entries[static_cast<size_t>(currentIndex)].c_str());
    if (countSeparator) return currentIndex;
    int32_t position = 0;
    for (int32_t i = 0; i < currentIndex; ++i)
        if (!isSeparatorOrTitle(i)) ++position;
    return position;
}

void COptionMenu::becomeCurrent(int32_t index) {
    currentIndex = index;
    if (style & kMultipleCheckStyle) checks[static_cast<size_t>(index)].flip();
}

bool COptionMenu::setCurrent(int32_t index, bool countSeparator) {
    if (index < 0 || index >= getNbEntries()) return false;
    int32_t target = getNbEntries() - 1;
    if (countSeparator) {
        if (entries[static_cast<size_t>(index)] == "-") return false;
        target = index;
    } else {
        int32_t seen = 0;
        for (int32_t i = 0; i < getNbEntries(); ++i) {
            if (isSeparatorOrTitle(i)) continue;
            if (seen++ == index) {
                target = i;
                break;
            }
        }
    }
    becomeCurrent(target);
    setDirty(true);
    return true;
}

void COptionMenu::setValue(float newValue) {
    int32_t index = static_cast<int32_t>(newValue);
    if (index < 0 || index >= getNbEntries()) return;
    becomeCurrent(index);
    value = newValue;
    setDirty(true);
}

bool COptionMenu::getEntry(int32_t index, char* text) const {
    if (index < 0 || index >= getNbEntries()) return false;
    if (text) copyText(text, entries[static_cast<size_t>(index)].c_str());
    return true;
}

bool COptionMenu::setEntry(int32_t index, const char* text) {
    if (index < 0 || index >= getNbEntries()) return false;
    if (!text) return true;
    char cut[kTextControlBufferSize];
    copyText(cut, text);
    entries[static_cast<size_t>(index)] = cut;
    return true;
}

bool COptionMenu::removeEntry(int32_t index) {
    if (index < 0 || index >= getNbEntries()) return false;
    entries.erase(entries.begin() + index);
    checks.erase(checks.begin() + index);
    if (currentIndex >= index) --currentIndex;
    if (entries.empty()) currentIndex = -1;
    return true;
}

bool COptionMenu::removeAllEntry() {
    entries.clear();
    checks.clear();
    std::vector<COptionMenu*> released;
    released.swap(subMenus);
    for (COptionMenu* subMenu : released) subMenu->forget();
    currentIndex = -1;
    return true;
}

int32_t COptionMenu::getIndex(const char* text) const {
    if (!text) return -1;
    for (int32_t i = 0; i < getNbEntries(); ++i)
        if (entries[static_cast<size_t>(i)] == text) return i;
    return -1;
}

bool COptionMenu::checkEntry(int32_t index, bool state) {
    if (index < 0 || index >= getNbEntries()) return false;
    checks[static_cast<size_t>(index)] = state;
    return true;
}

bool COptionMenu::checkEntryAlone(int32_t index) {
    if (index < 0 || index >= getNbEntries()) return false;
    checks.assign(checks.size(), false);
    checks[static_cast<size_t>(index)] = true;
    return true;
}

bool COptionMenu::isCheckEntry(int32_t index) const {
    if (index < 0 || index >= getNbEntries()) return false;
    return checks[static_cast<size_t>(index)];
}

COptionMenu* COptionMenu::getSubMenu(int32_t index) const {
    if (index < 0 || index >= static_cast<int32_t>(subMenus.size())) return nullptr;
    return subMenus[static_cast<size_t>(index)];
}

COptionMenu* COptionMenu::getLastItemMenu(int32_t& index) const {
    index = lastMenu ? lastMenuIndex : -1;
    return lastMenu;
}

void COptionMenu::draw(CDrawContext* context) {
    if (currentIndex < 0 || currentIndex >= getNbEntries()) {
        drawText(context, nullptr);
        return;
    }
    // The number that addEntry wrote in front is not shown on the closed menu.
    const std::string& entry = entries[static_cast<size_t>(currentIndex)];
    size_t skip = prefixNumbers >= 2 && prefixNumbers <= 4 ? static_cast<size_t>(prefixNumbers) : 0;
    drawText(context, entry.c_str() + (skip < entry.size() ? skip : entry.size()));
}

void COptionMenu::mouse(CDrawContext* context, CPoint&, int32_t buttons) {
    if (!bMouseEnabled || !pParentFrame || !context) return;
    if (buttons == -1) buttons = context->getMouseButtons();
    lastButtons = buttons;
    if (listener && (buttons & (kShift | kControl | kAlt | kApple)) &&
        listener->controlModifierClicked(context, this, buttons) != 0)
        return;
    if (!(buttons & (kLButton | kRButton | kApple))) return;
    // One menu at a time: one still open ends before this one's edit begins.
    pParentFrame->dismissPopupMenu();
    if (clickBackground) {
        char text[kTextControlBufferSize] = "";
        getCurrent(text);
        drawText(context, text, clickBackground);
    }
    beginEdit();
    takeFocus(context);
}

void COptionMenu::looseFocus(CDrawContext*) {
    // The popup's items live only while it is shown; nothing to release.
}

std::vector<platform::MenuItem> COptionMenu::buildMenuItems(int32_t& offset) {
    std::vector<platform::MenuItem> items;
    WalkGuard guard(walking);
    if (!guard.entered()) return items;
    int32_t baseId = offset;
    offset += getNbEntries();
    size_t nextSubMenu = 0;
    for (int32_t i = 0; i < getNbEntries(); ++i) {
        const std::string& entry = entries[static_cast<size_t>(i)];
        platform::MenuItem item;
        int32_t appended = static_cast<int32_t>(items.size());
        item.id = baseId + appended;
        if (entry == "-") {
            item.kind = platform::MenuItemKind::Separator;
            item.id = 0;
        } else if (startsWith(entry, "-M")) {
            // An entry without a sub-menu left (or one nested in itself) is left out.
            if (nextSubMenu >= subMenus.size() || subMenus[nextSubMenu]->walking) {
                ++nextSubMenu;
                continue;
            }
            item.kind = platform::MenuItemKind::Submenu;
            item.label = entry.substr(2);
            item.children = subMenus[nextSubMenu++]->buildMenuItems(offset);
        } else if (startsWith(entry, "-G")) {
            item.kind = platform::MenuItemKind::Greyed;
            item.label = entry.substr(2);
        } else if (startsWith(entry, "-T")) {
            item.kind = platform::MenuItemKind::Title;
            item.label = entry.substr(2);
        } else {
            item.label = entry;
            if (style & kMultipleCheckStyle)
                item.checked = checks[static_cast<size_t>(i)];
            else
                item.checked = (style & kCheckStyle) && i == currentIndex;
        }
        item.columnBreak = getNbEntries() < kMaxEntriesForColumns && nbItemsPerColumn > 0 &&
                           appended > 0 && appended % nbItemsPerColumn == 0;
        items.push_back(std::move(item));
    }
    return items;
}

COptionMenu* COptionMenu::locate(int32_t id, int32_t& offset, int32_t& index) {
    WalkGuard guard(walking);
    if (!guard.entered()) return nullptr;
    if (id >= offset && id < offset + getNbEntries()) {
        index = id - offset;
        return this;
    }
    offset += getNbEntries();
    for (COptionMenu* subMenu : subMenus)
        if (COptionMenu* found = subMenu->locate(id, offset, index)) return found;
    return nullptr;
}

void COptionMenu::takeFocus(CDrawContext* context) {
    if (pParentFrame) showPopup(context);
}

void COptionMenu::showPopup(CDrawContext* context) {
    CFrame* frame = pParentFrame;
    lastResult = -1;
    lastMenu = nullptr;
    lastMenuIndex = -1;

    // Where the menu opens, in logical pixels from the context's offset, then on the screen.
    CPoint inView;
    for (CView* parent = pParentView; parent; parent = parent->getParentView()) {
        if (parent->notify(this, kMsgCheckIfViewContainer) != kMessageNotified) continue;
        CRect parentSize;
        parent->getViewSize(parentSize);
        inView.offset(parentSize.left, parentSize.top);
    }
    inView.offset(size.left, (style & kPopupStyle) ? size.top : size.bottom);
    CPoint position;
    if (context) {
        position = context->screenFromOffsetScreen(inView);
    } else if (platform::NativeWindow* window = frame->getNativeWindow()) {
        platform::Point origin = window->screenOrigin();
        position = CPoint(origin.x + platform::toDevice(inView.h, frame->getScale()),
                          origin.y + platform::toDevice(inView.v, frame->getScale()));
    }

    int32_t offset = 0;
    std::vector<platform::MenuItem> items = buildMenuItems(offset);
    platform::PopupMenuOptions options;
    options.position = platform::Point{position.h, position.v};
    if (frame->getNativeWindow()) options.owner = frame->getNativeWindow()->handle();
    options.trackRightButton = (lastButtons & kRButton) != 0;
    options.font = standardFontSpec(fontID, txtFace);
    // The frame tells nobody once the editor has gone while the menu was open.
    if (!frame->openPopupMenu(this, items, options,
                              [this](std::optional<int> chosen) { popupEnded(chosen); }))
        endEdit();
}

void COptionMenu::popupEnded(std::optional<int> chosen) {
    CFrame* frame = pParentFrame;
    if (!frame || !frame->getEditor() || !frame->isOpen()) return;
    if (clickBackground) setDirty(true);
    if (chosen) {
        // The click's context is long gone: the listener gets one on the window.
        CDrawContext* drawContext = new CDrawContext(frame, nullptr, frame->getNativeWindow());
        lastResult = *chosen;
        int32_t searchOffset = 0;
        int32_t index = -1;
        if (COptionMenu* holder = locate(*chosen, searchOffset, index)) {
            lastMenu = holder;
            lastMenuIndex = index;
            holder->setValue(static_cast<float>(index));
            if (listener) listener->valueChanged(drawContext, holder);
        }
        drawContext->forget();
    }
    frame->setFocusView(nullptr);
    endEdit();
}
