// Every bitmap the editor loads exists at the size and frame layout of the skin's table;
// the sets behind them are shared while held and refused whole when damaged.
#include <gtest/gtest.h>

#include <thread>

#include "SkinTestSupport.h"

using namespace skintest;

TEST(SkinCatalogue, EveryIdHasItsExactSize) {
  for (const skin::BitmapLayout& layout : skin::kBitmaps) {
    const SkinBitmap* bitmap = findSkinBitmap(layout.id);
    ASSERT_NE(bitmap, nullptr) << layout.id;
    EXPECT_EQ(bitmap->id, layout.id);
    EXPECT_EQ(bitmap->width, layout.width) << layout.id;
    EXPECT_EQ(bitmap->height, layout.height) << layout.id;
    EXPECT_EQ(bitmap->height % layout.frames, 0) << layout.id;
    EXPECT_NE(bitmap->rgb, nullptr) << layout.id;
  }
}

TEST(SkinCatalogue, TheEditorIsTheBackgroundsSizeAndKnobFramesAreSquare) {
  // The table derives bitmap sizes from control rectangles: these pin a few to the
  // sizes the editor's layout is known by.
  EXPECT_EQ(skin::kBackground.width, 400);
  EXPECT_EQ(skin::kBackground.height, 309);
  EXPECT_EQ(skin::kCompressionKnob.height, 4674);
  EXPECT_EQ(skin::kRatioKnob.frameHeight(), 70);
  EXPECT_EQ(skin::kRocker.frameHeight(), 14);
  for (const skin::BitmapLayout* knob :
       {&skin::kTimeKnob, &skin::kCompressionKnob, &skin::kOutputKnob, &skin::kRatioKnob}) {
    EXPECT_EQ(knob->width, knob->frameHeight()) << knob->name;
  }
}

TEST(SkinCatalogue, UnknownIdsAreNull) {
  for (int id : {0, -1, 12127, 12130, 12150, 12154, 12201, 19990, 20000}) {
    EXPECT_EQ(findSkinBitmap(id), nullptr) << id;
    EXPECT_EQ(skin::findLayout(id), nullptr) << id;
  }
  EXPECT_EQ(skin::findLayout(12171), &skin::kBitmaps[5]);
}

TEST(SkinCatalogue, BitmapsDoNotOverlapInMemory) {
  // Each bitmap's pixels are its own: the index must not point two ids at one range.
  for (const skin::BitmapLayout& a : skin::kBitmaps) {
    for (const skin::BitmapLayout& b : skin::kBitmaps) {
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
  // A file button's fourth (disabled) frame is never shown and repeats the first.
  for (const Control& c : stripControls()) {
    const bool fileButton = c.id == skin::kLoadBank.id || c.id == skin::kSaveBank.id ||
                            c.id == skin::kLoadPreset.id || c.id == skin::kSavePreset.id;
    const Strip strip(c.id, c.frames);
    for (int frame = 1; frame < c.frames - (fileButton ? 1 : 0); ++frame) {
      int changed = 0;
      for (int y = 0; y < strip.frameHeight(); ++y)
        for (int x = 0; x < strip.width(); ++x)
          changed += !(strip.at(frame, x, y) == strip.at(frame - 1, x, y));
      EXPECT_GT(changed, 0) << c.name << " frame " << frame;
    }
  }
}

TEST(SkinSets, AreSharedWhileHeldAndFreedWhenNobodyHoldsThem) {
  std::weak_ptr<const SkinSet> watched;
  {
    const auto first = openSkinSet(2);
    ASSERT_TRUE(first);
    EXPECT_EQ(openSkinSet(2), first) << "a second holder must get the same set";
    EXPECT_NE(openSkinSet(1), first);
    watched = first;
  }
  EXPECT_TRUE(watched.expired());
  // The 1x set behind findSkinBitmap stays for the process.
  const SkinBitmap* background = findSkinBitmap(skin::kBackground.id);
  EXPECT_EQ(openSkinSet(1)->find(skin::kBackground.id), background);
  for (int factor : {0, 3, -1}) EXPECT_FALSE(openSkinSet(factor)) << factor;
}

TEST(SkinSets, ThreadsOpeningAtOnceGetOneSet) {
  std::shared_ptr<const SkinSet> got[4];
  std::vector<std::thread> threads;
  for (auto& slot : got) threads.emplace_back([&slot] { slot = openSkinSet(2); });
  for (std::thread& thread : threads) thread.join();
  ASSERT_TRUE(got[0]);
  for (const auto& set : got) EXPECT_EQ(set, got[0]);
}

TEST(SkinSets, ADamagedPackedSetIsRefusedWhole) {
  const PackedSkinSet packed = packedSkinSet(2);
  const std::vector<unsigned char> intact(packed.data, packed.data + packed.size);
  ASSERT_TRUE(inflateSkinSet(2, intact.data(), intact.size()));
  EXPECT_FALSE(inflateSkinSet(1, intact.data(), intact.size())) << "another set's bytes";
  EXPECT_FALSE(inflateSkinSet(3, intact.data(), intact.size()));
  EXPECT_FALSE(inflateSkinSet(2, nullptr, intact.size()));
  EXPECT_FALSE(inflateSkinSet(2, intact.data(), intact.size() - 1)) << "cut short";
  std::vector<unsigned char> longer = intact;
  longer.push_back(0);
  EXPECT_FALSE(inflateSkinSet(2, longer.data(), longer.size())) << "a byte too many";

  // Damage that keeps the length: one bit, a run of inverted bytes, the last stream's
  // checksum, the first stream's header.
  const auto damaged = [&](size_t at, size_t count, unsigned char mask) {
    std::vector<unsigned char> bytes = intact;
    for (size_t i = at; i < at + count; ++i) bytes[i] ^= mask;
    return inflateSkinSet(2, bytes.data(), bytes.size());
  };
  EXPECT_FALSE(damaged(intact.size() / 2, 1, 0x10));
  EXPECT_FALSE(damaged(intact.size() / 3, 64, 0xff));
  EXPECT_FALSE(damaged(intact.size() - 1, 1, 0x01));
  EXPECT_FALSE(damaged(0, 1, 0x80));
}
