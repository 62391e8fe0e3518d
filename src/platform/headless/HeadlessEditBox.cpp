#include <algorithm>

#include "platform/headless/HeadlessServices.h"
#include "platform/headless/ServiceResets.h"

namespace platform {

namespace {

bool isPrintable(unsigned char byte) { return (byte >= 0x20 && byte < 0x7f) || byte >= 0xa0; }

class HeadlessEditBox;

struct EditBoxes {
    std::vector<HeadlessEditBox*> open;  // oldest first
    HeadlessEditBox* last = nullptr;
    int created = 0;
};

EditBoxes& boxes() {
    static EditBoxes instance;
    return instance;
}

class HeadlessEditBox : public EditBox {
public:
    HeadlessEditBox(WindowHandle parent, const Rect& area, const EditBoxStyle& style,
                    EditBoxListener& listener)
        : listener(listener) {
        state.parent = parent;
        state.area = area;
        state.style = style;
        boxes().open.push_back(this);
        boxes().last = this;
        ++boxes().created;
    }
    ~HeadlessEditBox() override {
        auto& open = boxes().open;
        open.erase(std::remove(open.begin(), open.end(), this), open.end());
        if (boxes().last == this) boxes().last = nullptr;
    }

    std::string text() const override { return state.text; }

    bool forwardKey(const Key& key, bool pressed) override {
        if (pressed) press(key);
        // The box wants every key while it is open, releases included.
        return true;
    }

    // Typing replaces the selection, then appends what fits.
    void type(const std::string& typed) {
        if (state.allSelected) state.text.clear();
        state.allSelected = false;
        for (char c : typed) {
            if (static_cast<int>(state.text.size()) >= kMaxLength) break;
            if (isPrintable(static_cast<unsigned char>(c))) state.text.push_back(c);
        }
    }

    // May destroy this box (through the listener); nothing is touched afterwards.
    void press(const Key& key) {
        switch (key.name) {
            case KeyName::Return: listener.editBoxReturnPressed(); return;
            case KeyName::Back:
                if (state.allSelected)
                    state.text.clear();
                else if (!state.text.empty())
                    state.text.pop_back();
                state.allSelected = false;
                return;
            case KeyName::Unnamed:
                if (key.character > 0 && key.character < 256)
                    type(std::string(1, static_cast<char>(key.character)));
                return;
            default: return;
        }
    }

    void loseFocus() { listener.editBoxFocusLost(); }

    headless::EditBoxState state;
    EditBoxListener& listener;
};

}  // namespace

std::unique_ptr<EditBox> EditBox::create(NativeWindow& parent, const Rect& area,
                                         const std::string& text, const EditBoxStyle& style,
                                         EditBoxListener& listener) {
    if (!parent.exists() || area.empty()) return nullptr;
    auto box = std::make_unique<HeadlessEditBox>(parent.handle(), area, style, listener);
    box->type(text);
    box->state.allSelected = true;
    return box;
}

namespace headless {

std::optional<EditBoxState> openEditBox() {
    if (!boxes().last) return std::nullopt;
    return boxes().last->state;
}

int editBoxesCreated() { return boxes().created; }

bool typeIntoEditBox(const std::string& text) {
    if (!boxes().last) return false;
    boxes().last->type(text);
    return true;
}

bool pressEditBoxKey(const Key& key) {
    if (!boxes().last) return false;
    boxes().last->press(key);
    return true;
}

bool editBoxLoseFocus() {
    if (!boxes().last) return false;
    boxes().last->loseFocus();
    return true;
}

void detail::resetEditBoxes() { boxes().created = 0; }

}  // namespace headless
}  // namespace platform
