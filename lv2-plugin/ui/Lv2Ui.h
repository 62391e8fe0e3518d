// One LV2 editor: our editor embedded in the host's parent window, driven by the host's
// port events and idle calls.
#pragma once

#include <memory>

#include "lv2-plugin/ui/Lv2EditController.h"

class ADEditor;

namespace lv2front {

class Lv2Ui {
public:
    // Null when the editor cannot open in parent.
    static Lv2Ui* create(const Lv2UiHost& host, void* parent);
    ~Lv2Ui();
    Lv2Ui(const Lv2Ui&) = delete;
    Lv2Ui& operator=(const Lv2Ui&) = delete;

    // Our window, the host's widget.
    void* widget() const;
    void portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);
    // 0 while the editor is open.
    int idle();

private:
    explicit Lv2Ui(const Lv2UiHost& host);

    Lv2EditController controller;
    std::unique_ptr<ADEditor> editor;
    int idles = 0;
};

}  // namespace lv2front
