// Lies over the preset row when the editor has no program store in reach (an LV2 host that
// runs the editor apart from the compressor): the row is blanked with a caption saying so
// and takes no clicks or wheel turns, while the knobs and the switch work as ever.
#pragma once

#include "gui/CView.h"

class CPresetRowCover final : public CView {
public:
    explicit CPresetRowCover(const CRect& size) : CView(size) {}

    void draw(CDrawContext* context) override;
    // Swallowed: nothing under the cover may react.
    void mouse(CDrawContext*, CPoint&, int32_t) override {}
    bool onWheel(CDrawContext*, const CPoint&, float) override { return true; }
};
