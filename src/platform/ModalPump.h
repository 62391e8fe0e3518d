// What every loop that holds the host's thread turns between its own events: a control's
// drag, and on Windows the system's own loops of a tracked menu or a common dialog. The
// editor's pump paints our windows and keeps the host alive; it answers false once the
// editor that started the loop has gone away (the host closed it from inside the pump),
// and the loop must then end at once without a result and without touching the editor
// again.
#pragma once

#include <functional>

namespace platform {

using ModalPump = std::function<bool()>;

}  // namespace platform
