// Fonts and one-line texts through GDI. Our bytes are Latin-1, which is the ANSI code page
// 1252 in that range, so the -A functions take them as they are.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/DeviceScale.h"
#include "platform/win32/GdiCanvas.h"

namespace platform {

namespace {

UINT alignmentFormat(TextAlign align) {
    switch (align) {
        case TextAlign::Center: return DT_CENTER;
        case TextAlign::Right: return DT_RIGHT;
        default: return DT_LEFT;
    }
}

// The font at the canvas's scale: texts are laid out and drawn in device pixels.
HFONT createFont(const FontSpec& font, double scale) {
    // A negative height asks for the character height, not the cell height.
    bool symbol = font.face == "Symbol";
    const int height = std::max(1, int(std::lround(std::max(1, font.pixelHeight) * scale)));
    return CreateFontA(-height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL,
                       font.italic, font.underline, FALSE, ANSI_CHARSET, OUT_STRING_PRECIS,
                       CLIP_STROKE_PRECIS, DEFAULT_QUALITY,
                       symbol ? FF_DECORATIVE | DEFAULT_PITCH : FF_SWISS | VARIABLE_PITCH,
                       font.face.c_str());
}

}  // namespace

void Canvas::setFont(const FontSpec& font) {
    if (pimpl->fontSelected && pimpl->font == font) return;
    HFONT created = createFont(font, pimpl->surface->scale);
    if (!created) return;
    gdi::Surface& surface = *pimpl->surface;
    // Only the state owner has its font in the context; it must leave before deletion.
    if (surface.stateOwner == pimpl.get()) SelectObject(surface.dc, created);
    if (pimpl->fontHandle) DeleteObject(pimpl->fontHandle);
    pimpl->fontHandle = created;
    pimpl->font = font;
    pimpl->fontSelected = true;
}

void Canvas::drawText(const char* text, const Rect& rect, Color color, TextAlign align,
                      const Color* background) {
    if (!text) return;
    if (!pimpl->fontSelected) setFont(FontSpec{"Arial", 12, true, false, false});
    HDC dc = pimpl->prepare();
    SetTextColor(dc, RGB(color.red, color.green, color.blue));
    if (background) {
        // Opaque mode fills the text's cell, as the cairo canvas does.
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, RGB(background->red, background->green, background->blue));
    }
    const Rect device = toDevice(rect, pimpl->surface->scale);
    RECT area{device.left, device.top, device.right, device.bottom};
    DrawTextA(dc, text, int(std::strlen(text)), &area,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | alignmentFormat(align));
    if (background) SetBkMode(dc, TRANSPARENT);
}

}  // namespace platform
