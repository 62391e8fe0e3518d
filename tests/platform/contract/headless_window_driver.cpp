#include "contract/WindowContract.h"
#include "platform/headless/HeadlessPlatform.h"

namespace {

class HeadlessDriver : public WindowDriver {
public:
    platform::WindowHandle makeParent(int, int) override {
        platform::headless::reset();
        return parent;
    }
    void expose(platform::WindowHandle child, const platform::Rect& area) override {
        platform::headless::postExpose(child, area);
    }
    void press(platform::WindowHandle child, platform::Point where, int buttons) override {
        lastChild = child;
        platform::headless::postButtonPress(child, where, buttons);
    }
    void destroyParent() override { platform::headless::destroyFromOutside(lastChild); }
    void settle() override {}

private:
    const platform::WindowHandle parent = 0x55;
    platform::WindowHandle lastChild = 0;
};

}  // namespace

std::unique_ptr<WindowDriver> makeWindowDriver() { return std::make_unique<HeadlessDriver>(); }
