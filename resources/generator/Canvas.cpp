#include "Canvas.h"

#include <cmath>
#include <stdexcept>

namespace skin {
namespace {

double currentScale = 1;

}  // namespace

void Canvas::setScale(double scale) { currentScale = scale; }

double Canvas::scale() { return currentScale; }

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      deviceWidth_(static_cast<int>(std::lround(width * currentScale))),
      deviceHeight_(static_cast<int>(std::lround(height * currentScale))),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, deviceWidth_, deviceHeight_)),
      cr_(nullptr) {
  cairo_surface_set_device_scale(surface_, currentScale, currentScale);
  cr_ = cairo_create(surface_);
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
  out.reserve(static_cast<size_t>(deviceWidth_) * deviceHeight_ * 3);
  for (int y = 0; y < deviceHeight_; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
    for (int x = 0; x < deviceWidth_; ++x) {
      const std::uint32_t pixel = row[x];
      out.push_back(static_cast<std::uint8_t>(pixel >> 16));
      out.push_back(static_cast<std::uint8_t>(pixel >> 8));
      out.push_back(static_cast<std::uint8_t>(pixel));
    }
  }
  return out;
}

}  // namespace skin
