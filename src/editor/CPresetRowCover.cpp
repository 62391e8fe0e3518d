#include "editor/CPresetRowCover.h"

#include "gui/CDrawContext.h"

namespace {

// The row's own dark grey, and a caption that says why it is empty.
constexpr CColor kCoverColor{24, 24, 24, 255};
constexpr CColor kCaptionColor{150, 150, 144, 255};
constexpr const char* kCaption = "Programs are out of this host's reach";

}  // namespace

void CPresetRowCover::draw(CDrawContext* context) {
    if (!context) return;
    context->setFillColor(kCoverColor);
    context->fillRect(size);
    context->setFont(kNormalFontSmall);
    context->setFontColor(kCaptionColor);
    context->drawString(kCaption, size, false, kCenterText);
    setDirty(false);
}
