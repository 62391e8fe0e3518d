// What a control tells its owner (the editor).
#pragma once

#include <cstdint>

class CControl;
class CDrawContext;

class CControlListener {
public:
    virtual ~CControlListener() = default;
    // After a user edit changed the control's value.
    virtual void valueChanged(CDrawContext* context, CControl* control) = 0;
    // Before a click with shift, control or alt; non-zero consumes the click.
    virtual int32_t controlModifierClicked(CDrawContext* context, CControl* control,
                                           int32_t buttons) = 0;
};
