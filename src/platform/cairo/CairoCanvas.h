// The cairo side of Canvas, for backends that make canvases from their own surfaces.
#pragma once

#include <cairo.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/Canvas.h"
#include "platform/common/BlockResampler.h"

namespace platform {

struct Canvas::Impl {
    // Takes over one reference to surface, which has the device size.
    Impl(cairo_surface_t* surface, int width, int height, int deviceWidth, int deviceHeight,
         double scale);
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    // A block of this image at another scale, made at its first use.
    const std::vector<uint32_t>& resampled(const ResampledBlockKey& key) const;

    cairo_surface_t* surface;
    cairo_t* cr;
    int width;  // logical
    int height;
    int deviceWidth;
    int deviceHeight;
    double scale;
    FontSpec font;
    bool fontSelected = false;
    mutable std::map<ResampledBlockKey, std::vector<uint32_t>> resampledBlocks;
};

// A canvas of width × height logical pixels drawing on surface, which is that size at scale
// (one reference is taken over).
std::unique_ptr<Canvas> canvasOnSurface(cairo_surface_t* surface, int width, int height,
                                        double scale = 1.0);

}  // namespace platform
