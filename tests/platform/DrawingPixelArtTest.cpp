// Pixel art resources: rows of palette characters become pictures, and mistakes in them are reported.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>

#include "DrawingCanvas.h"
#include "platform/api/Resources.h"

namespace {

const std::vector<platform::PaletteEntry> kPalette{
    {'.', 0x00000000}, {'#', 0xFF040404}, {'m', 0xFFFF00FF}, {'w', 0xFFFFFFFF}};

TEST(DrawingPixelArt, EachCharacterBecomesItsPaletteColourRowByRow) {
  const platform::PixelImage image = platform::PixelArt(kPalette, {"#m.", "w#m"});
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.height, 2);
  const std::vector<std::uint32_t> expected{0xFF040404, 0xFFFF00FF, 0x00000000,
                                            0xFFFFFFFF, 0xFF040404, 0xFFFF00FF};
  EXPECT_EQ(image.argb, expected);
}

TEST(DrawingPixelArt, RaggedRowsAreRejectedNamingTheRow) {
  try {
    platform::PixelArt(kPalette, {"###", "##", "###"});
    FAIL() << "a short row was accepted";
  } catch (const std::invalid_argument& e) {
    EXPECT_NE(std::string(e.what()).find("row 1"), std::string::npos) << e.what();
  }
}

TEST(DrawingPixelArt, UnknownCharactersAreRejectedNamingCharacterAndPlace) {
  try {
    platform::PixelArt(kPalette, {"###", "#?#"});
    FAIL() << "an unknown character was accepted";
  } catch (const std::invalid_argument& e) {
    const std::string what = e.what();
    EXPECT_NE(what.find("'?'"), std::string::npos) << what;
    EXPECT_NE(what.find("row 1"), std::string::npos) << what;
    EXPECT_NE(what.find("column 1"), std::string::npos) << what;
  }
}

TEST(DrawingPixelArt, APaletteKeyUsedTwiceIsRejected) {
  EXPECT_THROW(platform::PixelArt({{'a', 0}, {'a', 1}}, {"a"}), std::invalid_argument);
}

TEST(DrawingPixelArt, BitmapsDropAlphaAndLoadWithTheirPixels) {
  platform::ResourceSet resources;
  resources.bitmaps[150] = platform::PixelArtBitmap(kPalette, {"m.", "#w"});
  EXPECT_EQ(resources.bitmaps[150].rgb, (std::vector<std::uint32_t>{0xFF00FF, 0x000000, 0x040404, 0xFFFFFF}));
  platform::SetCurrentResources(&resources);
  CBitmap bitmap;
  const BOOL loaded = bitmap.LoadBitmap(150);
  platform::SetCurrentResources(nullptr);
  ASSERT_TRUE(loaded);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap* old = dc.SelectObject(&bitmap);
  EXPECT_EQ(dc.GetPixel(0, 0), RGB(255, 0, 255));
  EXPECT_EQ(dc.GetPixel(1, 0), RGB(0, 0, 0));
  EXPECT_EQ(dc.GetPixel(0, 1), RGB(4, 4, 4));
  EXPECT_EQ(dc.GetPixel(1, 1), RGB(255, 255, 255));
  dc.SelectObject(old);
}

TEST(DrawingPixelArt, EachThreadHasItsOwnResourceSet) {
  platform::ResourceSet resources;
  platform::SetCurrentResources(&resources);
  const platform::ResourceSet* seenElsewhere = &resources;
  std::thread other([&seenElsewhere] { seenElsewhere = platform::CurrentResources(); });
  other.join();
  EXPECT_EQ(platform::CurrentResources(), &resources);
  EXPECT_EQ(seenElsewhere, nullptr);
  platform::SetCurrentResources(nullptr);
}

}  // namespace
