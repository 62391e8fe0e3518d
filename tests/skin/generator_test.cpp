// The generator as the build runs it: deterministic output, the embedded pixels equal
// what it writes, BMP files for a resource script, and the plug-in carries the skin.
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
  EXPECT_EQ(run(kGenerator + " --blob " + dir + "/skin.rgb --index " + dir + "/index.inc --bmp " +
                dir),
            0);
  return dir;
}

std::vector<int> allIds() {
  std::vector<int> ids;
  for (const skin::BitmapLayout& bitmap : skin::kBitmaps) ids.push_back(bitmap.id);
  return ids;
}

std::uint32_t little(const std::string& bytes, size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) {
    value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  }
  return value;
}

}  // namespace

TEST(SkinGenerator, TwoRunsWriteTheSameBytes) {
  const std::string first = generateInto("first");
  const std::string second = generateInto("second");
  EXPECT_EQ(readFile(first + "/skin.rgb"), readFile(second + "/skin.rgb"));
  EXPECT_EQ(readFile(first + "/index.inc"), readFile(second + "/index.inc"));
  for (int id : allIds()) {
    const std::string name = "/" + std::to_string(id) + ".bmp";
    EXPECT_EQ(readFile(first + name), readFile(second + name)) << id;
  }
}

TEST(SkinGenerator, EmbeddedPixelsAreWhatTheGeneratorWrites) {
  const std::string blob = readFile(generateInto("embedded") + "/skin.rgb");
  size_t total = 0;
  for (int id : allIds()) {
    const SkinBitmap* bitmap = findSkinBitmap(id);
    ASSERT_NE(bitmap, nullptr);
    const size_t size = static_cast<size_t>(bitmap->width) * bitmap->height * 3;
    total += size;
    const std::string embedded(reinterpret_cast<const char*>(bitmap->rgb), size);
    EXPECT_NE(blob.find(embedded), std::string::npos) << id;
  }
  EXPECT_EQ(blob.size(), total);
}

TEST(SkinGenerator, WritesBottomUp24BitBmpFiles) {
  const std::string dir = generateInto("bmp");
  // The resource script names every bitmap once, by its id.
  const std::string script = readFile(dir + "/skin.rc");
  for (int id : allIds()) {
    const std::string name = std::to_string(id);
    const std::string line = "\n" + name + " BITMAP \"" + name + ".bmp\"\n";
    EXPECT_NE(script.find(line), std::string::npos) << id;
  }
  for (int id : allIds()) {
    const SkinBitmap* bitmap = findSkinBitmap(id);
    const std::string bmp = readFile(dir + "/" + std::to_string(id) + ".bmp");
    ASSERT_GT(bmp.size(), 54u) << id;
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(little(bmp, 2, 4), bmp.size());
    EXPECT_EQ(little(bmp, 10, 4), 54u);
    EXPECT_EQ(static_cast<int>(little(bmp, 18, 4)), bitmap->width) << id;
    EXPECT_EQ(static_cast<int>(little(bmp, 22, 4)), bitmap->height) << id;
    EXPECT_EQ(little(bmp, 28, 2), 24u);
    EXPECT_EQ(little(bmp, 30, 4), 0u);
    const size_t stride = (bitmap->width * 3 + 3) & ~3u;
    ASSERT_EQ(bmp.size(), 54 + stride * bitmap->height) << id;
    // The top-left pixel is stored in the last row, blue first.
    const size_t topLeft = 54 + stride * (bitmap->height - 1);
    EXPECT_EQ(static_cast<std::uint8_t>(bmp[topLeft]), bitmap->rgb[2]) << id;
    EXPECT_EQ(static_cast<std::uint8_t>(bmp[topLeft + 1]), bitmap->rgb[1]) << id;
    EXPECT_EQ(static_cast<std::uint8_t>(bmp[topLeft + 2]), bitmap->rgb[0]) << id;
  }
}

TEST(SkinGenerator, RejectsIncompleteCommandLines) {
  EXPECT_NE(run(kGenerator), 0);
  EXPECT_NE(run(kGenerator + " --blob /tmp/x.rgb"), 0);
  EXPECT_NE(run(kGenerator + " --bmp"), 0);
  EXPECT_NE(run(kGenerator + " --colour red"), 0);
}

TEST(SkinGenerator, ReportsAnUnwritableDestination) {
  EXPECT_NE(run(kGenerator + " --bmp /nonexistent/krv-skin"), 0);
}

TEST(SkinGenerator, StopsWhenAFontIsMissingInsteadOfFallingBack) {
  // A fontconfig setup without fonts: a substitute face would silently change the look.
  const std::string dir = freshDirectory("no-fonts");
  {
    std::ofstream conf(dir + "/fonts.conf");
    conf << "<?xml version=\"1.0\"?>\n<fontconfig><dir>" << dir << "/none</dir><cachedir>" << dir
         << "/cache</cachedir></fontconfig>\n";
  }
  const int status = run("FONTCONFIG_FILE=" + dir + "/fonts.conf " + kGenerator + " --bmp " + dir +
                         " > " + dir + "/out.txt");
  EXPECT_NE(status, 0);
  EXPECT_NE(readFile(dir + "/out.txt").find("font not installed"), std::string::npos)
      << readFile(dir + "/out.txt");
  EXPECT_FALSE(std::filesystem::exists(dir + "/12128.bmp"));
}

TEST(SkinInPlugin, ThePluginLibraryCarriesEveryBitmap) {
  const std::string library = readFile(KRV_PLUGIN_PATH);
  ASSERT_FALSE(library.empty());
  for (int id : allIds()) {
    const SkinBitmap* bitmap = findSkinBitmap(id);
    const size_t size = static_cast<size_t>(bitmap->width) * bitmap->height * 3;
    const std::string pixels(reinterpret_cast<const char*>(bitmap->rgb), size);
    const auto found = std::search(library.begin(), library.end(),
                                   std::boyer_moore_searcher(pixels.begin(), pixels.end()));
    EXPECT_NE(found, library.end()) << id;
  }
}
