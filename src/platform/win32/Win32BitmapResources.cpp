// The skin's bitmaps are BITMAP resources of our own module, by numeric id. The module holds
// the 1× set only: canvases of another scale resample it.
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "platform/BitmapResources.h"
#include "platform/win32/Win32Module.h"

namespace platform {

namespace {

// Resource ids are 16-bit: anything else would be cut to some other id.
constexpr int kLargestResourceId = 0xFFFF;

// Editors of one process share each image while any of them holds it.
std::mutex cacheLock;
std::map<int, std::weak_ptr<const Canvas>> cache;

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

std::shared_ptr<const Canvas> loadBitmapResource(int id, double) {
    if (id <= 0 || id > kLargestResourceId) return nullptr;
    std::lock_guard<std::mutex> hold(cacheLock);
    std::weak_ptr<const Canvas>& entry = cache[id];
    if (auto shared = entry.lock()) return shared;
    // As a DIB section the pixels stay exact whatever the display's depth; keyed copies
    // compare them with the key colour bit for bit.
    HANDLE loaded = LoadImageA(win32::ownModule(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0,
                               LR_CREATEDIBSECTION);
    if (!loaded) return nullptr;
    auto bitmap = static_cast<HBITMAP>(loaded);
    std::shared_ptr<const Canvas> image = rgbImageOf(bitmap);
    DeleteObject(bitmap);
    entry = image;
    return image;
}

bool bitmapResourceSize(int id, int& width, int& height) {
    if (id <= 0 || id > kLargestResourceId) return false;
    // The resource's data starts with the bitmap's header: no pixels need decoding.
    HMODULE module = win32::ownModule();
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));  // RT_BITMAP
    HGLOBAL data = found ? LoadResource(module, found) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes || SizeofResource(module, found) < sizeof(BITMAPINFOHEADER)) return false;
    BITMAPINFOHEADER header{};
    std::memcpy(&header, bytes, sizeof header);
    if (header.biWidth <= 0 || header.biHeight == 0) return false;
    width = int(header.biWidth);
    height = header.biHeight < 0 ? -int(header.biHeight) : int(header.biHeight);
    return true;
}

}  // namespace platform
