// The cairo side of Canvas, for backends that make canvases from their own surfaces.
#pragma once

#include <cairo.h>

#include <memory>

#include "platform/Canvas.h"

namespace platform {

struct Canvas::Impl {
    // Takes over one reference to surface.
    Impl(cairo_surface_t* surface, int width, int height);
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    cairo_surface_t* surface;
    cairo_t* cr;
    int width;
    int height;
    Rect clip;
    FontSpec font;
    bool fontSelected = false;
};

// A canvas drawing on surface (one reference is taken over).
std::unique_ptr<Canvas> canvasOnSurface(cairo_surface_t* surface, int width, int height);

}  // namespace platform
