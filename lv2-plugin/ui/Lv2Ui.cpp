#include "lv2-plugin/ui/Lv2Ui.h"

#include <new>

#include "editor/ADEditor.h"
#include "gui/CFrame.h"
#include "platform/NativeWindow.h"

namespace lv2front {
namespace {

// How often idle looks for store changes made behind the editor (about twice a second at
// a host's 30 idle calls a second).
constexpr int kIdlesBetweenStoreChecks = 15;

}  // namespace

Lv2Ui::Lv2Ui(const Lv2UiHost& host) : controller(host) {}

Lv2Ui* Lv2Ui::create(const Lv2UiHost& host, void* parent) {
    std::unique_ptr<Lv2Ui> ui(new (std::nothrow) Lv2Ui(host));
    if (!ui) return nullptr;
    ui->editor.reset(new (std::nothrow) ADEditor(ui->controller));
    if (!ui->editor || !ui->editor->open(parent)) return nullptr;
    ui->controller.attach(ui->editor.get());
    ui->controller.checkStore();
    ERect* rect = nullptr;
    if (ui->editor->getRect(&rect) && rect)
        ui->controller.requestWindowSize(rect->right - rect->left, rect->bottom - rect->top);
    return ui.release();
}

Lv2Ui::~Lv2Ui() {
    controller.attach(nullptr);
    if (editor) editor->close();
}

void* Lv2Ui::widget() const {
    CFrame* frame = editor ? editor->getFrame() : nullptr;
    platform::NativeWindow* window = frame ? frame->getNativeWindow() : nullptr;
    return window ? reinterpret_cast<void*>(window->handle()) : nullptr;
}

void Lv2Ui::portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    // Format 0: a control port's float.
    if (format != 0 || size != sizeof(float) || !buffer) return;
    controller.portChanged(port, *static_cast<const float*>(buffer));
}

int Lv2Ui::idle() {
    if (!editor || !editor->isOpen()) return 1;
    if (++idles % kIdlesBetweenStoreChecks == 0) controller.checkStore();
    editor->idle();
    return editor->isOpen() ? 0 : 1;
}

}  // namespace lv2front
