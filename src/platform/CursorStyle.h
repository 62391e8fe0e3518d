// The cursor shapes a window can show.
#pragma once

namespace platform {

enum class CursorStyle {
    Default,
    Wait,
    SizeHorizontal,
    SizeVertical,
    SizeAll,
    SizeNortheastSouthwest,
    SizeNorthwestSoutheast,
    NotAllowed,
    Hand,
};

}  // namespace platform
