#include "Canvas.h"

#include <stdexcept>

namespace skin {

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)),
      cr_(cairo_create(surface_)) {
  if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS) {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
    throw std::runtime_error("cannot create a drawing surface");
  }
  cairo_set_source_rgb(cr_, 0, 0, 0);
  cairo_paint(cr_);
}

Canvas::~Canvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

void Canvas::paintFrom(const Canvas& source, int sourceX, int sourceY) {
  place(source, -sourceX, -sourceY);
}

void Canvas::place(const Canvas& source, int x, int y) {
  cairo_surface_flush(source.surface_);
  cairo_save(cr_);
  cairo_set_operator(cr_, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr_, source.surface_, x, y);
  cairo_rectangle(cr_, x, y, source.width_, source.height_);
  cairo_fill(cr_);
  cairo_restore(cr_);
}

std::vector<std::uint8_t> Canvas::rgb() const {
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  std::vector<std::uint8_t> out;
  out.reserve(static_cast<size_t>(width_) * height_ * 3);
  for (int y = 0; y < height_; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
    for (int x = 0; x < width_; ++x) {
      const std::uint32_t pixel = row[x];
      out.push_back(static_cast<std::uint8_t>(pixel >> 16));
      out.push_back(static_cast<std::uint8_t>(pixel >> 8));
      out.push_back(static_cast<std::uint8_t>(pixel));
    }
  }
  return out;
}

}  // namespace skin
