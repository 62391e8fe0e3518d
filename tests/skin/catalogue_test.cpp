// Every bitmap the editor loads exists at its exact size and frame layout.
#include <gtest/gtest.h>

#include "SkinTestSupport.h"

using namespace skintest;

namespace {

struct Expected {
  int id, width, height, frameHeight;
};

constexpr Expected kCatalogue[] = {
    {12128, 400, 309, 309}, {12129, 106, 234, 78},  {12151, 100, 43, 43},
    {12152, 113, 46, 46},   {12153, 100, 43, 43},   {12171, 114, 4674, 114},
    {12173, 114, 2394, 114}, {12177, 114, 6954, 114}, {12181, 70, 490, 70},
    {12200, 400, 276, 276}, {19991, 12, 56, 14},    {19992, 12, 56, 14},
    {19993, 12, 56, 14},    {19994, 12, 56, 14},    {19995, 12, 56, 14},
    {19996, 12, 56, 14},    {19997, 31, 70, 14},    {19998, 12, 56, 14},
    {19999, 12, 56, 14}};

}  // namespace

TEST(SkinCatalogue, EveryIdHasItsExactSize) {
  for (const Expected& e : kCatalogue) {
    const SkinBitmap* bitmap = findSkinBitmap(e.id);
    ASSERT_NE(bitmap, nullptr) << e.id;
    EXPECT_EQ(bitmap->id, e.id);
    EXPECT_EQ(bitmap->width, e.width) << e.id;
    EXPECT_EQ(bitmap->height, e.height) << e.id;
    EXPECT_NE(bitmap->rgb, nullptr) << e.id;
  }
}

TEST(SkinCatalogue, KnobStripsHaveTheirFrameCounts) {
  EXPECT_EQ(findSkinBitmap(12173)->height / 114, 21);
  EXPECT_EQ(findSkinBitmap(12171)->height / 114, 41);
  EXPECT_EQ(findSkinBitmap(12177)->height / 114, 61);
  EXPECT_EQ(findSkinBitmap(12181)->height / 70, 7);
  EXPECT_EQ(findSkinBitmap(12129)->height / 78, 3);
  EXPECT_EQ(findSkinBitmap(19997)->height / 14, 5);
}

TEST(SkinCatalogue, UnknownIdsAreNull) {
  for (int id : {0, -1, 12127, 12130, 12150, 12154, 12201, 19990, 20000}) {
    EXPECT_EQ(findSkinBitmap(id), nullptr) << id;
  }
}

TEST(SkinCatalogue, BitmapsDoNotOverlapInMemory) {
  // Each bitmap's pixels are its own: the index must not point two ids at one range.
  for (const Expected& a : kCatalogue) {
    for (const Expected& b : kCatalogue) {
      if (a.id >= b.id) continue;
      const SkinBitmap* x = findSkinBitmap(a.id);
      const SkinBitmap* y = findSkinBitmap(b.id);
      const unsigned char* xEnd = x->rgb + x->width * x->height * 3;
      const unsigned char* yEnd = y->rgb + y->width * y->height * 3;
      EXPECT_TRUE(xEnd <= y->rgb || yEnd <= x->rgb) << a.id << " overlaps " << b.id;
    }
  }
}

TEST(SkinCatalogue, AnimationFramesDiffer) {
  // Consecutive frames of every strip must show a change, or a control would not move.
  struct StripFrames { int id, frames; };
  for (StripFrames s : {StripFrames{12129, 3}, {12171, 41}, {12173, 21}, {12177, 61},
                        {12181, 7}, {19997, 5}, {19991, 4}, {19995, 4}, {19993, 3}, {19999, 3}}) {
    const Strip strip(s.id, s.id >= 19991 && s.id != 19997 ? 4 : s.frames);
    for (int frame = 1; frame < s.frames; ++frame) {
      int changed = 0;
      for (int y = 0; y < strip.frameHeight(); ++y)
        for (int x = 0; x < strip.width(); ++x)
          changed += !(strip.at(frame, x, y) == strip.at(frame - 1, x, y));
      EXPECT_GT(changed, 0) << s.id << " frame " << frame;
    }
  }
}
