// The IconPixmap pictures of the tray icon's StatusNotifierItem: sizes, byte order, alpha and enlargement.
#include <gtest/gtest.h>

#include <set>

#include "platform/linux/x11/StatusNotifierPixmaps.h"

namespace {

using platform::PixelImage;
using platform::x11::MakeStatusNotifierPixmaps;
using platform::x11::StatusNotifierPixmap;

// A square picture whose every pixel differs, with an alpha that varies too.
PixelImage Gradient(int side, std::uint32_t tag) {
  PixelImage image;
  image.width = image.height = side;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x)
      image.argb.push_back(((0x40u + static_cast<std::uint32_t>(x + y)) << 24) | (tag << 16) |
                           (static_cast<std::uint32_t>(y) << 8) | static_cast<std::uint32_t>(x));
  return image;
}

PixelImage Solid(int side, std::uint32_t argb) {
  PixelImage image;
  image.width = image.height = side;
  image.argb.assign(static_cast<size_t>(side) * static_cast<size_t>(side), argb);
  return image;
}

// The pixel of a pixmap, read back from its bytes as alpha, red, green, blue.
std::uint32_t PixelAt(const StatusNotifierPixmap& pixmap, int x, int y) {
  const size_t offset =
      (static_cast<size_t>(y) * static_cast<size_t>(pixmap.width) + static_cast<size_t>(x)) * 4;
  return (std::uint32_t{pixmap.argb[offset]} << 24) | (std::uint32_t{pixmap.argb[offset + 1]} << 16) |
         (std::uint32_t{pixmap.argb[offset + 2]} << 8) | std::uint32_t{pixmap.argb[offset + 3]};
}

const StatusNotifierPixmap& OfSide(const std::vector<StatusNotifierPixmap>& pixmaps, int side) {
  for (const StatusNotifierPixmap& pixmap : pixmaps)
    if (pixmap.width == side) return pixmap;
  ADD_FAILURE() << "no pixmap of side " << side;
  return pixmaps.front();
}

TEST(StatusNotifierPixmapsTest, EveryPanelSizeIsOfferedWithFourBytesAPixel) {
  const auto pixmaps = MakeStatusNotifierPixmaps({Gradient(32, 1), Gradient(16, 2)});
  std::vector<int> sides;
  for (const StatusNotifierPixmap& pixmap : pixmaps) {
    EXPECT_EQ(pixmap.width, pixmap.height);
    EXPECT_EQ(pixmap.argb.size(), static_cast<size_t>(pixmap.width * pixmap.height * 4));
    sides.push_back(pixmap.width);
  }
  EXPECT_EQ(sides, (std::vector<int>{16, 22, 32, 48, 64}));
}

TEST(StatusNotifierPixmapsTest, PicturesOfTheirOwnSizeAreSentAsTheyAreInNetworkByteOrder) {
  const PixelImage small = Gradient(16, 2);
  const PixelImage large = Gradient(32, 1);
  const auto pixmaps = MakeStatusNotifierPixmaps({large, small});
  const StatusNotifierPixmap& sixteen = OfSide(pixmaps, 16);
  // Alpha first, then red, green, blue, whatever the machine's byte order; alpha stays straight.
  EXPECT_EQ(sixteen.argb[0], 0x40);
  EXPECT_EQ(sixteen.argb[1], 0x02);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(PixelAt(sixteen, x, y), small.argb[static_cast<size_t>(y * 16 + x)]);
  const StatusNotifierPixmap& thirtyTwo = OfSide(pixmaps, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      ASSERT_EQ(PixelAt(thirtyTwo, x, y), large.argb[static_cast<size_t>(y * 32 + x)]);
}

TEST(StatusNotifierPixmapsTest, LargerSizesEnlargeTheLargestPictureThatDividesThemPixelForPixel) {
  const PixelImage small = Gradient(16, 2);
  const PixelImage large = Gradient(32, 1);
  const auto pixmaps = MakeStatusNotifierPixmaps({small, large});
  // 48 is three times 16 (32 does not divide it); 64 is twice 32, the larger of the two that divide it.
  const StatusNotifierPixmap& fortyEight = OfSide(pixmaps, 48);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x)
      ASSERT_EQ(PixelAt(fortyEight, x, y), small.argb[static_cast<size_t>((y / 3) * 16 + x / 3)])
          << x << "," << y;
  const StatusNotifierPixmap& sixtyFour = OfSide(pixmaps, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      ASSERT_EQ(PixelAt(sixtyFour, x, y), large.argb[static_cast<size_t>((y / 2) * 32 + x / 2)])
          << x << "," << y;
}

TEST(StatusNotifierPixmapsTest, OtherSizesAreScaledWithStraightAlpha) {
  // Half-transparent red stays half-transparent pure red: premultiplied colour would read as dark red.
  const auto pixmaps = MakeStatusNotifierPixmaps({Solid(32, 0x80FF0000), Solid(16, 0x80FF0000)});
  const StatusNotifierPixmap& twentyTwo = OfSide(pixmaps, 22);
  for (int y = 0; y < 22; ++y)
    for (int x = 0; x < 22; ++x) ASSERT_EQ(PixelAt(twentyTwo, x, y), 0x80FF0000u) << x << "," << y;
  // Fully transparent pixels carry no colour.
  const auto clear = MakeStatusNotifierPixmaps({Solid(32, 0x00123456)});
  EXPECT_EQ(PixelAt(OfSide(clear, 22), 5, 5), 0u);
}

TEST(StatusNotifierPixmapsTest, ScaledSizesComeFromTheSmallestLargerPicture) {
  // 22 is scaled down from 32, not up from 16: the colours tell which.
  const auto pixmaps = MakeStatusNotifierPixmaps({Solid(16, 0xFF0000FF), Solid(32, 0xFF00FF00)});
  EXPECT_EQ(PixelAt(OfSide(pixmaps, 22), 11, 11), 0xFF00FF00u);
}

TEST(StatusNotifierPixmapsTest, UnusablePicturesGiveNothing) {
  PixelImage truncated = Solid(16, 0xFFFFFFFF);
  truncated.argb.resize(10);
  EXPECT_TRUE(MakeStatusNotifierPixmaps({}).empty());
  EXPECT_TRUE(MakeStatusNotifierPixmaps({truncated, PixelImage{}}).empty());
  // A picture that is not square is never enlarged as it is, but still scaled.
  PixelImage wide = Solid(16, 0xFF102030);
  wide.width = 32;
  wide.height = 8;
  wide.argb.assign(32 * 8, 0xFF102030);
  const auto pixmaps = MakeStatusNotifierPixmaps({wide});
  ASSERT_EQ(pixmaps.size(), 5u);
  EXPECT_EQ(PixelAt(OfSide(pixmaps, 48), 0, 0), 0xFF102030u);
}

}  // namespace
