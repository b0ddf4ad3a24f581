// The icon at the theme's sizes: which picture of the art each size starts from, and a crisp enlargement of
// it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "platform/api/IconPictures.h"
#include "res/ResourceArt.h"

namespace {

platform::PixelImage Image(int width, int height, std::vector<std::uint32_t> argb) {
  platform::PixelImage image;
  image.width = width;
  image.height = height;
  image.argb = std::move(argb);
  return image;
}

std::uint32_t At(const platform::PixelImage& image, int x, int y) {
  return image.argb[static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)];
}

TEST(IconSizes, EachSizeStartsFromTheLargestPictureThatFitsSoNoPixelOfTheArtIsLost) {
  const platform::IconResource icon = tilvane::art::MainIcon();
  const std::map<int, int> sourceWidth = {{8, 16},  {16, 16}, {22, 16}, {24, 16}, {31, 16},
                                          {32, 32}, {48, 32}, {64, 32}, {256, 32}};
  for (const auto& [size, width] : sourceWidth) {
    const platform::PixelImage* art =
        platform::PickIconPicture(icon.images, size, platform::IconFit::KeepPixels);
    ASSERT_NE(art, nullptr) << size;
    EXPECT_EQ(art->width, width) << "size " << size;
  }
  EXPECT_EQ(platform::PickIconPicture({}, 32, platform::IconFit::KeepPixels), nullptr);
}

TEST(IconSizes, WholeMultiplesRepeatEveryPixelInEqualBlocks) {
  const platform::PixelImage art = tilvane::art::MainIcon().images.at(0);
  ASSERT_EQ(art.width, 32);
  for (int factor : {1, 2, 4, 8}) {
    const platform::PixelImage big = platform::ScaleIconNearest(art, 32 * factor);
    ASSERT_EQ(big.width, 32 * factor);
    ASSERT_EQ(big.height, 32 * factor);
    for (int y = 0; y < big.height; ++y)
      for (int x = 0; x < big.width; ++x)
        ASSERT_EQ(At(big, x, y), At(art, x / factor, y / factor))
            << "factor " << factor << " at " << x << "," << y;
  }
}

// Which source line each target line shows, read off a target line against the matching source line.
std::vector<int> SourceLines(const platform::PixelImage& art, const platform::PixelImage& out, bool columns) {
  std::vector<int> lines;
  for (int t = 0; t < out.width; ++t) {
    const std::uint32_t pixel = columns ? At(out, t, 0) : At(out, 0, t);
    int found = -1;
    for (int s = 0; s < art.width; ++s)
      if ((columns ? At(art, s, 0) : At(art, 0, s)) == pixel) found = s;
    lines.push_back(found);
  }
  return lines;
}

TEST(IconSizes, UnevenEnlargementsShowEveryPixelOfTheArtOnceOrTwiceInOrder) {
  // Nine different pixels, one of them transparent, so that each pixel of the result names its source.
  const platform::PixelImage art = Image(3, 3,
                                         {0x00000000, 0xFF000002, 0xFF000003, 0xFF000004, 0xFF000005,
                                          0xFF000006, 0xFF000007, 0xFF000008, 0xFF000009});
  for (int size : {4, 5}) {
    SCOPED_TRACE(testing::Message() << "size " << size);
    const platform::PixelImage out = platform::ScaleIconNearest(art, size);
    ASSERT_EQ(out.argb.size(), static_cast<size_t>(size * size));
    const std::vector<int> columns = SourceLines(art, out, true);
    const std::vector<int> rows = SourceLines(art, out, false);
    for (const std::vector<int>& lines : {columns, rows}) {
      EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));
      for (int s = 0; s < 3; ++s) {
        const auto count = std::count(lines.begin(), lines.end(), s);
        EXPECT_TRUE(count == 1 || count == 2) << "source line " << s << " shows " << count << " times";
      }
    }
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x)
        EXPECT_EQ(At(out, x, y), At(art, columns[static_cast<size_t>(x)], rows[static_cast<size_t>(y)]))
            << x << "," << y;
  }
  EXPECT_TRUE(platform::ScaleIconNearest(art, 0).argb.empty());
}

}  // namespace
