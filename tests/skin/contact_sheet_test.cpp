// The contact sheet: the editor at its defaults, written by the same tool the docs use.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "SkinTestSupport.h"

using namespace skintest;

namespace {

struct Png {
  explicit Png(const std::string& path)
      : surface(cairo_image_surface_create_from_png(path.c_str())) {}
  ~Png() { cairo_surface_destroy(surface); }
  bool ok() const { return cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS; }
  int width() const { return cairo_image_surface_get_width(surface); }
  int height() const { return cairo_image_surface_get_height(surface); }
  Pixel at(int x, int y) const {
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const auto p = reinterpret_cast<const std::uint32_t*>(
        data + y * cairo_image_surface_get_stride(surface))[x];
    return {static_cast<int>(p >> 16 & 0xff), static_cast<int>(p >> 8 & 0xff),
            static_cast<int>(p & 0xff)};
  }
  cairo_surface_t* surface;
};

// The sheet of the set of `factor`: the editor and the about picture at that factor, each
// control showing the frame of its default value at its rectangle.
void checkSheet(int factor) {
  const std::string dir = freshDirectory("sheet" + std::to_string(factor));
  const std::string scale = factor == 1 ? "" : " --scale " + std::to_string(factor);
  ASSERT_EQ(run(std::string(KRV_SKIN_SHEET) + scale + " " + dir + "/editor.png " + dir +
                "/about.png"),
            0);
  const Png editor(dir + "/editor.png");
  ASSERT_TRUE(editor.ok());
  EXPECT_EQ(editor.width(), skin::kEditorWidth * factor);
  EXPECT_EQ(editor.height(), skin::kEditorHeight * factor);

  // "Valve", ratio 3:1, time 5, compression 5, output 0 dB.
  struct Shown {
    const skin::BitmapLayout& bitmap;
    int frame;
  };
  const auto set = skinSet(factor);
  for (Shown s : {Shown{skin::kProcessSwitch, 0}, {skin::kRatioKnob, 3}, {skin::kTimeKnob, 10},
                  {skin::kCompressionKnob, 20}, {skin::kOutputKnob, 0}}) {
    const Strip strip(*set, s.bitmap.id, s.bitmap.frames);
    int differing = 0;
    for (int y = 0; y < strip.frameHeight(); ++y)
      for (int x = 0; x < strip.width(); ++x)
        differing += !(editor.at(s.bitmap.rect.left * factor + x, s.bitmap.rect.top * factor + y) ==
                       strip.at(s.frame, x, y));
    EXPECT_EQ(differing, 0) << factor << "x " << s.bitmap.name;
  }
  // The lit meter's needle rests at the left end: its tip at about (157, 80).
  for (int dy = 0; dy < factor; ++dy)
    for (int dx = 0; dx < factor; ++dx)
      EXPECT_EQ(editor.at(158 * factor + dx, 81 * factor + dy), (Pixel{170, 165, 160})) << factor;
  // The program name is written into the name field.
  int dark = 0;
  const skin::Rect field = skin::kNameField;
  for (int x = (field.left + 2) * factor; x < (field.right - 1) * factor; ++x)
    dark += editor.at(x, static_cast<int>(field.centerY() * factor)).luminance() < 120;
  EXPECT_GT(dark, 3 * factor);

  const Png about(dir + "/about.png");
  ASSERT_TRUE(about.ok());
  EXPECT_EQ(about.width(), skin::kAbout.width * factor);
  EXPECT_EQ(about.height(), skin::kAbout.height * factor);
}

}  // namespace

TEST(ContactSheet, ShowsTheEditorAtItsDefaults) { checkSheet(1); }

TEST(ContactSheet, ShowsTheEditorAt2xFromTheNative2xSet) { checkSheet(2); }

TEST(ContactSheet, FailsCleanlyOnAnUnwritablePath) {
  EXPECT_NE(run(std::string(KRV_SKIN_SHEET) + " /nonexistent/dir/editor.png"), 0);
  EXPECT_NE(run(std::string(KRV_SKIN_SHEET) + " --scale 3 /tmp/editor.png"), 0);
}
