// The editor of a CLAP instance: embedded in the host's window, fixed in size (at the
// factor it is drawn at), idled by the host's timer and, on X11, by our connection's
// descriptor so that input is handled as soon as it arrives.
#include <cstring>

#include "clap-plugin/ClapInstance.h"
#include "editor/ADEditor.h"
#include "platform/NativeWindow.h"

namespace clapfront {
namespace {

#ifdef _WIN32
constexpr const char* kWindowApi = CLAP_WINDOW_API_WIN32;
#else
constexpr const char* kWindowApi = CLAP_WINDOW_API_X11;
#endif
// The meter moves at about 30 frames a second.
constexpr uint32_t kIdlePeriodMs = 30;

}  // namespace

bool ClapInstance::editorApiSupported(const char* api, bool floating) const {
    return editor && api && !floating && std::strcmp(api, kWindowApi) == 0;
}

bool ClapInstance::createEditor(const char* api, bool floating) {
    if (editorCreated || !onMainThread() || !editorApiSupported(api, floating)) return false;
    editorCreated = true;
    return true;
}

void ClapInstance::destroyEditor() {
    if (!editorCreated) return;
    if (timerRegistered && hostTimers && hostTimers->unregister_timer)
        hostTimers->unregister_timer(host, timerId);
    timerRegistered = false;
    if (watchedDescriptor >= 0 && hostDescriptors && hostDescriptors->unregister_fd)
        hostDescriptors->unregister_fd(host, watchedDescriptor);
    watchedDescriptor = -1;
    if (editorOpen) editor->close();
    editorOpen = false;
    editorCreated = false;
}

bool ClapInstance::setEditorScale(double scale) {
    if (!editor || !(scale > 0.0) || scale > 100.0 || !onMainThread()) return false;
    controller.setHostScale(scale);
    editor->setContentScaleFactor(static_cast<float>(scale));
    return true;
}

bool ClapInstance::editorSize(uint32_t& width, uint32_t& height) {
    if (!editor) return false;
    ERect* rect = nullptr;
    if (!editor->getRect(&rect) || !rect) return false;
    width = static_cast<uint32_t>(rect->right - rect->left);
    height = static_cast<uint32_t>(rect->bottom - rect->top);
    return true;
}

bool ClapInstance::setEditorParent(const clap_window& window) {
    if (!editorCreated || editorOpen || !onMainThread()) return false;
    if (!window.api || std::strcmp(window.api, kWindowApi) != 0) return false;
#ifdef _WIN32
    void* parent = window.win32;
#else
    void* parent = reinterpret_cast<void*>(static_cast<uintptr_t>(window.x11));
#endif
    if (!parent || !editor->open(parent)) return false;
    editorOpen = true;
    if (hostTimers && hostTimers->register_timer &&
        hostTimers->register_timer(host, kIdlePeriodMs, &timerId))
        timerRegistered = true;
    const int descriptor = platform::eventDescriptor();
    if (descriptor >= 0 && hostDescriptors && hostDescriptors->register_fd &&
        hostDescriptors->register_fd(host, descriptor, CLAP_POSIX_FD_READ))
        watchedDescriptor = descriptor;
    idleEditor();
    return true;
}

void ClapInstance::idleEditor() {
    if (editorOpen) editor->idle();
}

void ClapInstance::onTimer(uint32_t id) {
    if (timerRegistered && id == timerId) idleEditor();
}

void ClapInstance::onDescriptor(int descriptor) {
    if (descriptor >= 0 && descriptor == watchedDescriptor) idleEditor();
}

bool ClapInstance::requestEditorSize(int width, int height) {
    if (!hostGui || !hostGui->request_resize || width <= 0 || height <= 0) return false;
    return hostGui->request_resize(host, static_cast<uint32_t>(width),
                                   static_cast<uint32_t>(height));
}

}  // namespace clapfront
