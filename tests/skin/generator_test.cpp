// The generator as the build runs it: deterministic output, the embedded sets inflate to
// exactly what it draws, the 2x set is drawn natively, and the plug-in carries both packed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>

#include "SkinTestSupport.h"

using namespace skintest;

namespace {

const std::string kGenerator = KRV_SKIN_GENERATOR;

std::string generateInto(const std::string& name) {
  const std::string dir = freshDirectory(name);
  EXPECT_EQ(run(kGenerator + " --packed " + dir + "/skin.z --index " + dir + "/index.inc --raw " +
                dir + "/raw2.rgb --scale 2"),
            0);
  return dir;
}

// A set's pixels as one blob: every bitmap in id order, back to back.
std::string pixelsOf(const SkinSet& set) {
  std::string all;
  for (const SkinBitmap& b : set.bitmaps()) {
    all.append(reinterpret_cast<const char*>(b.rgb), static_cast<size_t>(b.width) * b.height * 3);
  }
  return all;
}

Pixel pixelOf(const SkinBitmap& b, int x, int y) {
  const unsigned char* p = b.rgb + (static_cast<size_t>(y) * b.width + x) * 3;
  return {p[0], p[1], p[2]};
}

}  // namespace

TEST(SkinGenerator, TwoRunsWriteTheSameBytes) {
  const std::string first = generateInto("first");
  const std::string second = generateInto("second");
  for (const char* file : {"/skin.z", "/index.inc", "/raw2.rgb"}) {
    const std::string bytes = readFile(first + file);
    EXPECT_FALSE(bytes.empty()) << file;
    EXPECT_EQ(bytes, readFile(second + file)) << file;
  }
}

TEST(SkinGenerator, EachEmbeddedSetInflatesToExactlyWhatTheGeneratorDraws) {
  const std::string dir = generateInto("embedded");
  EXPECT_EQ(run(kGenerator + " --raw " + dir + "/raw1.rgb"), 0);
  for (int factor : {1, 2}) {
    const std::string drawn = readFile(dir + "/raw" + std::to_string(factor) + ".rgb");
    const std::string embedded = pixelsOf(*skinSet(factor));
    EXPECT_EQ(embedded.size(), drawn.size()) << factor << "x";
    EXPECT_TRUE(embedded == drawn) << factor << "x: the embedded set differs from the drawing";
  }
}

TEST(SkinGenerator, The2xSetIsDrawnNativelyAtTwiceEverySize) {
  const auto held1 = skinSet(1), held2 = skinSet(2);
  const SkinSet& one = *held1;
  const SkinSet& two = *held2;
  EXPECT_EQ(one.factor(), 1);
  EXPECT_EQ(two.factor(), 2);
  ASSERT_EQ(two.bitmaps().size(), one.bitmaps().size());
  for (const skin::BitmapLayout& layout : skin::kBitmaps) {
    const SkinBitmap* small = one.find(layout.id);
    const SkinBitmap* large = two.find(layout.id);
    ASSERT_TRUE(small && large) << layout.name;
    ASSERT_EQ(large->width, 2 * small->width) << layout.name;
    ASSERT_EQ(large->height, 2 * small->height) << layout.name;

    // The same picture: each 2x2 block averages to about its 1x pixel.
    double difference = 0;
    // Not an enlargement: an enlarged 1x pixel would fill its 2x2 block with one colour;
    // edges and lettering drawn at 2x split blocks.
    int splitBlocks = 0;
    for (int y = 0; y < small->height; ++y) {
      for (int x = 0; x < small->width; ++x) {
        const Pixel block[4] = {pixelOf(*large, 2 * x, 2 * y), pixelOf(*large, 2 * x + 1, 2 * y),
                                pixelOf(*large, 2 * x, 2 * y + 1),
                                pixelOf(*large, 2 * x + 1, 2 * y + 1)};
        double mean = 0;
        for (const Pixel& p : block) mean += p.luminance() / 4;
        difference += std::abs(mean - pixelOf(*small, x, y).luminance());
        splitBlocks += !(block[0] == block[1] && block[0] == block[2] && block[0] == block[3]);
      }
    }
    const int pixels = small->width * small->height;
    EXPECT_LT(difference / pixels, 6.0) << layout.name;
    EXPECT_GT(splitBlocks, pixels / 20) << layout.name;
  }
}

TEST(SkinGenerator, RejectsIncompleteCommandLines) {
  EXPECT_NE(run(kGenerator), 0);
  EXPECT_NE(run(kGenerator + " --packed /tmp/x.z"), 0);
  EXPECT_NE(run(kGenerator + " --raw"), 0);
  EXPECT_NE(run(kGenerator + " --raw /tmp/x.rgb --scale 4"), 0);
  EXPECT_NE(run(kGenerator + " --raw /tmp/x.rgb --scale 2x"), 0);
  EXPECT_NE(run(kGenerator + " --colour red"), 0);
}

TEST(SkinGenerator, ReportsAnUnwritableDestination) {
  EXPECT_NE(run(kGenerator + " --raw /nonexistent/krv-skin/raw.rgb"), 0);
}

TEST(SkinGenerator, StopsWhenAFontIsMissingInsteadOfFallingBack) {
  // A fontconfig setup without fonts: a substitute face would silently change the look.
  const std::string dir = freshDirectory("no-fonts");
  {
    std::ofstream conf(dir + "/fonts.conf");
    conf << "<?xml version=\"1.0\"?>\n<fontconfig><dir>" << dir << "/none</dir><cachedir>" << dir
         << "/cache</cachedir></fontconfig>\n";
  }
  const int status = run("FONTCONFIG_FILE=" + dir + "/fonts.conf " + kGenerator + " --raw " + dir +
                         "/raw.rgb > " + dir + "/out.txt");
  EXPECT_NE(status, 0);
  EXPECT_NE(readFile(dir + "/out.txt").find("font not installed"), std::string::npos)
      << readFile(dir + "/out.txt");
  EXPECT_FALSE(std::filesystem::exists(dir + "/raw.rgb"));
}

TEST(SkinInPlugin, ThePluginLibraryCarriesBothPackedSets) {
  const std::string library = readFile(KRV_PLUGIN_PATH);
  ASSERT_FALSE(library.empty());
  for (int factor : {1, 2}) {
    const PackedSkinSet packed = packedSkinSet(factor);
    ASSERT_GT(packed.size, 0u) << factor;
    const std::string bytes(reinterpret_cast<const char*>(packed.data), packed.size);
    const auto found = std::search(library.begin(), library.end(),
                                   std::boyer_moore_searcher(bytes.begin(), bytes.end()));
    EXPECT_NE(found, library.end()) << factor << "x";
  }
}
