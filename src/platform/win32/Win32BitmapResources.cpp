// The skin's bitmaps are BITMAP resources of our own module, by numeric id.
#include <vector>

#include "platform/BitmapResources.h"
#include "platform/win32/Win32Module.h"

namespace platform {

namespace {

// Resource ids are 16-bit: anything else would be cut to some other id.
constexpr int kLargestResourceId = 0xFFFF;

std::unique_ptr<Canvas> rgbImageOf(HBITMAP bitmap) {
    BITMAP size{};
    if (!GetObjectA(bitmap, sizeof(size), &size) || size.bmWidth <= 0 || size.bmHeight <= 0)
        return nullptr;
    int width = size.bmWidth, height = size.bmHeight;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows top to bottom
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
    std::vector<unsigned char> rows(stride * size_t(height));
    HDC screen = GetDC(nullptr);
    int read = GetDIBits(screen, bitmap, 0, UINT(height), rows.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (read != height) return nullptr;
    // Blue, green, red in padded rows become tight red, green, blue.
    std::vector<unsigned char> rgb(size_t(width) * size_t(height) * 3);
    for (int y = 0; y < height; ++y) {
        const unsigned char* in = rows.data() + size_t(y) * stride;
        unsigned char* out = rgb.data() + size_t(y) * size_t(width) * 3;
        for (int x = 0; x < width; ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    return Canvas::createFromRgb(width, height, rgb.data());
}

}  // namespace

std::unique_ptr<Canvas> loadBitmapResource(int id) {
    if (id <= 0 || id > kLargestResourceId) return nullptr;
    // As a DIB section the pixels stay exact whatever the display's depth; keyed copies
    // compare them with the key colour bit for bit.
    HANDLE loaded = LoadImageA(win32::ownModule(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0,
                               LR_CREATEDIBSECTION);
    if (!loaded) return nullptr;
    auto bitmap = static_cast<HBITMAP>(loaded);
    std::unique_ptr<Canvas> image = rgbImageOf(bitmap);
    DeleteObject(bitmap);
    return image;
}

}  // namespace platform
