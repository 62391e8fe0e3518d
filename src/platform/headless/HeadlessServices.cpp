#include "platform/headless/HeadlessServices.h"

#include "platform/headless/ServiceResets.h"

namespace platform::headless {

void resetServices() {
    detail::resetMenus();
    detail::resetEditBoxes();
    detail::resetFileDialogs();
}

}  // namespace platform::headless
