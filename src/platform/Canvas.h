// Drawing surface and text: a window, an offscreen image or a bitmap, drawn on with
// explicit colours. Every backend draws through this one class.
//
// A canvas has a scale: its callers speak logical pixels, which it draws on device pixels
// (DeviceScale.h rounds every edge). Copies between canvases of one scale are 1 : 1; a
// bitmap copied to a canvas of another scale is resampled once for each block and size.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Types.h"

namespace platform {

class Canvas {
public:
    struct Impl;

    // An opaque image of width × height logical pixels filled with black; null when the size
    // is not positive or memory fails.
    static std::unique_ptr<Canvas> createImage(int width, int height, double scale = 1.0);
    // An image holding rgb: width × height device pixels (rows top to bottom, 3 bytes per
    // pixel, stride 3 * width), whose logical size is that divided by scale.
    static std::unique_ptr<Canvas> createFromRgb(int width, int height, const unsigned char* rgb,
                                                 double scale = 1.0);

    // An image read from a PNG file; null when it cannot be read. Only the cairo backend reads
    // PNG files: on Windows the answer is always null.
    static std::unique_ptr<Canvas> readPng(const std::string& path);
    // Another canvas on the same pixels as surface, with a clip and a font of its own (as a
    // second device context on one bitmap). The pixels live as long as either canvas.
    static std::unique_ptr<Canvas> drawingOn(Canvas& surface);

    explicit Canvas(std::unique_ptr<Impl> impl);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // The logical size.
    int width() const;
    int height() const;
    double scale() const;
    int deviceWidth() const;
    int deviceHeight() const;

    // Everything drawn afterwards is limited to clip (and to the surface).
    void setClip(const Rect& clip);
    void fillRect(const Rect& rect, Color color);
    // A line from (x0, y0) up to, but not including, (x1, y1). Straight lines are runs of
    // whole pixels; slanted ones are drawn without anti-aliasing at scale 1 and smooth above.
    void drawLine(int x0, int y0, int x1, int y1, Color color, int lineWidth);
    void setFont(const FontSpec& font);
    // One line of (Latin-1) text, vertically centred in rect; with a background colour the text's
    // cell is filled first.
    void drawText(const char* text, const Rect& rect, Color color, TextAlign align,
                  const Color* background);
    // Copies the block of dest's size from (sourceX, sourceY) of source to dest.
    void copyFrom(const Canvas& source, int sourceX, int sourceY, const Rect& dest);
    // The same, leaving out source pixels of the key colour (alpha ignored).
    void copyKeyed(const Canvas& source, int sourceX, int sourceY, const Rect& dest, Color key);
    // The same block blended over the destination with one opacity for every pixel.
    void blend(const Canvas& source, int sourceX, int sourceY, const Rect& dest, uint8_t alpha);
    // Sends what was drawn to its destination (the window, for window surfaces).
    void flush();

    // A device pixel of an image; transparent black outside or on window surfaces.
    Color pixel(int x, int y) const;
    bool writePng(const std::string& path) const;

    Impl& impl() const { return *pimpl; }

private:
    std::unique_ptr<Impl> pimpl;
};

}  // namespace platform
