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

}  // namespace

TEST(ContactSheet, ShowsTheEditorAtItsDefaults) {
  const std::string dir = freshDirectory("sheet");
  ASSERT_EQ(run(std::string(KRV_SKIN_SHEET) + " " + dir + "/editor.png " + dir + "/about.png"), 0);
  const Png editor(dir + "/editor.png");
  ASSERT_TRUE(editor.ok());
  EXPECT_EQ(editor.width(), skin::kEditorWidth);
  EXPECT_EQ(editor.height(), skin::kEditorHeight);

  // Each control shows the frame of its default value at its rectangle: "Valve", ratio
  // 3:1, time 5, compression 5, output 0 dB.
  struct Shown {
    const skin::BitmapLayout& bitmap;
    int frame;
  };
  for (Shown s : {Shown{skin::kProcessSwitch, 0}, {skin::kRatioKnob, 3}, {skin::kTimeKnob, 10},
                  {skin::kCompressionKnob, 20}, {skin::kOutputKnob, 0}}) {
    const Strip strip(s.bitmap.id, s.bitmap.frames);
    int differing = 0;
    for (int y = 0; y < strip.frameHeight(); ++y)
      for (int x = 0; x < strip.width(); ++x)
        differing += !(editor.at(s.bitmap.rect.left + x, s.bitmap.rect.top + y) ==
                       strip.at(s.frame, x, y));
    EXPECT_EQ(differing, 0) << s.bitmap.name;
  }
  // The lit meter's needle rests at the left end: its tip at about (157, 80).
  EXPECT_EQ(editor.at(158, 81), (Pixel{170, 165, 160}));
  // The program name is written into the name field.
  int dark = 0;
  const skin::Rect field = skin::kNameField;
  for (int x = field.left + 2; x < field.right - 1; ++x)
    dark += editor.at(x, static_cast<int>(field.centerY())).luminance() < 120;
  EXPECT_GT(dark, 3);

  const Png about(dir + "/about.png");
  ASSERT_TRUE(about.ok());
  EXPECT_EQ(about.width(), skin::kAbout.width);
  EXPECT_EQ(about.height(), skin::kAbout.height);
}

TEST(ContactSheet, FailsCleanlyOnAnUnwritablePath) {
  EXPECT_NE(run(std::string(KRV_SKIN_SHEET) + " /nonexistent/dir/editor.png"), 0);
}
