// Exact pixels of BitBlt and StretchBlt: one-to-one copies and GDI's blocky pixel replication.
#include <gtest/gtest.h>

#include "DrawingCanvas.h"
#include "platform/api/Resources.h"

namespace {

constexpr UINT kPictureId = 149;

// Every pixel of the 27 x 27 source has its own colour, so each copied pixel tells where it came from.
COLORREF SourceColour(int x, int y) {
  return RGB(x * 9, y * 9, 0x40);
}

class DrawingBlit : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::BitmapResource picture;
    picture.width = 27;
    picture.height = 27;
    for (int y = 0; y < 27; ++y) {
      for (int x = 0; x < 27; ++x) {
        const COLORREF c = SourceColour(x, y);
        picture.rgb.push_back((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
      }
    }
    m_resources.bitmaps[kPictureId] = picture;
    platform::SetCurrentResources(&m_resources);
    ASSERT_TRUE(m_picture.LoadBitmap(kPictureId));
    ASSERT_TRUE(m_source.CreateCompatibleDC(nullptr));
    m_old = m_source.SelectObject(&m_picture);
  }
  void TearDown() override {
    m_source.SelectObject(m_old);
    platform::SetCurrentResources(nullptr);
  }

  platform::ResourceSet m_resources;
  CBitmap m_picture;
  CDC m_source;
  CBitmap* m_old = nullptr;
};

TEST_F(DrawingBlit, LoadedPictureHasTheResourcePixels) {
  EXPECT_TRUE(m_picture.GetSize() == CSize(27, 27));
  EXPECT_EQ(m_source.GetPixel(0, 0), SourceColour(0, 0));
  EXPECT_EQ(m_source.GetPixel(26, 3), SourceColour(26, 3));
  EXPECT_EQ(m_source.GetPixel(27, 0), CLR_INVALID);
}

TEST_F(DrawingBlit, StretchAtTheSameSizeCopiesOneToOne) {
  Canvas canvas(40, 40);
  ASSERT_TRUE(canvas.dc().StretchBlt(5, 6, 27, 27, &m_source, 0, 0, 27, 27, SRCCOPY));
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      const bool inside = x >= 5 && x < 32 && y >= 6 && y < 33;
      ASSERT_EQ(canvas.At(x, y), inside ? SourceColour(x - 5, y - 6) : kWhite) << "at " << x << "," << y;
    }
  }
}

// 27 to 40 as at the medium size: destination pixel i takes source pixel floor(i * 27 / 40).
TEST_F(DrawingBlit, StretchTo40ReplicatesPixelsLikeGdi) {
  Canvas canvas(40, 40);
  ASSERT_TRUE(canvas.dc().StretchBlt(0, 0, 40, 40, &m_source, 0, 0, 27, 27, SRCCOPY));
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      ASSERT_EQ(canvas.At(x, y), SourceColour(x * 27 / 40, y * 27 / 40)) << "at " << x << "," << y;
    }
  }
  // Blocky: source column 0 fills destination columns 0 and 1, column 1 only column 2.
  EXPECT_EQ(canvas.At(1, 0), SourceColour(0, 0));
  EXPECT_EQ(canvas.At(2, 0), SourceColour(1, 0));
  EXPECT_EQ(canvas.At(39, 39), SourceColour(26, 26));
}

TEST_F(DrawingBlit, StretchTo54DoublesEveryPixel) {
  Canvas canvas(54, 54);
  ASSERT_TRUE(canvas.dc().StretchBlt(0, 0, 54, 54, &m_source, 0, 0, 27, 27, SRCCOPY));
  for (int y = 0; y < 54; ++y) {
    for (int x = 0; x < 54; ++x)
      ASSERT_EQ(canvas.At(x, y), SourceColour(x / 2, y / 2)) << "at " << x << "," << y;
  }
}

TEST_F(DrawingBlit, ShrinkingSkipsSourcePixels) {
  Canvas canvas(10, 10);
  ASSERT_TRUE(canvas.dc().StretchBlt(0, 0, 9, 9, &m_source, 0, 0, 27, 27, SRCCOPY));
  EXPECT_EQ(canvas.At(1, 2), SourceColour(3, 6));
  EXPECT_EQ(canvas.At(8, 8), SourceColour(24, 24));
  EXPECT_EQ(canvas.At(9, 9), kWhite);
}

TEST_F(DrawingBlit, BitBltCopiesFromTheSourceOffset) {
  Canvas canvas(8, 8);
  ASSERT_TRUE(canvas.dc().BitBlt(1, 1, 3, 2, &m_source, 10, 20, SRCCOPY));
  EXPECT_EQ(canvas.At(1, 1), SourceColour(10, 20));
  EXPECT_EQ(canvas.At(3, 2), SourceColour(12, 21));
  EXPECT_EQ(canvas.InkOf(kWhite).pixels, 6);
}

TEST_F(DrawingBlit, PartsOutsideEitherBitmapAreLeftAlone) {
  Canvas canvas(10, 10);
  ASSERT_TRUE(canvas.dc().BitBlt(-2, 7, 6, 6, &m_source, 24, 0, SRCCOPY));
  // Destination x -2..3 takes source x 24..29, of which 27..29 do not exist.
  EXPECT_EQ(canvas.At(0, 7), SourceColour(26, 0));
  EXPECT_EQ(canvas.At(1, 7), kWhite);
  EXPECT_EQ(canvas.At(0, 9), SourceColour(26, 2));
  EXPECT_EQ(canvas.InkOf(kWhite).pixels, 3);
}

TEST_F(DrawingBlit, OverlappingCopyWithinOneBitmapReadsTheOriginal) {
  Canvas canvas(27, 27);
  ASSERT_TRUE(canvas.dc().BitBlt(0, 0, 27, 27, &m_source, 0, 0, SRCCOPY));
  ASSERT_TRUE(canvas.dc().BitBlt(1, 0, 26, 27, &canvas.dc(), 0, 0, SRCCOPY));
  for (int x = 1; x < 27; ++x) ASSERT_EQ(canvas.At(x, 4), SourceColour(x - 1, 4)) << "at " << x;
}

TEST_F(DrawingBlit, OtherRasterOperationsAndEmptySizesAreRefused) {
  Canvas canvas(4, 4);
  EXPECT_FALSE(canvas.dc().StretchBlt(0, 0, 4, 4, &m_source, 0, 0, 27, 27, 0x00EE0086));
  EXPECT_FALSE(canvas.dc().StretchBlt(0, 0, 0, 4, &m_source, 0, 0, 27, 27, SRCCOPY));
  EXPECT_FALSE(canvas.dc().StretchBlt(0, 0, 4, 4, &m_source, 0, 0, 27, -1, SRCCOPY));
  EXPECT_FALSE(canvas.dc().StretchBlt(0, 0, 4, 4, nullptr, 0, 0, 27, 27, SRCCOPY));
  EXPECT_EQ(canvas.InkOf(kWhite).pixels, 0);
}

TEST(DrawingBitmap, LoadingAMissingPictureFails) {
  CBitmap bitmap;
  platform::SetCurrentResources(nullptr);
  EXPECT_FALSE(bitmap.LoadBitmap(kPictureId));
  platform::ResourceSet empty;
  platform::SetCurrentResources(&empty);
  EXPECT_FALSE(bitmap.LoadBitmap(kPictureId));
  platform::SetCurrentResources(nullptr);
  EXPECT_EQ(bitmap.GetSafeHandle(), nullptr);
  EXPECT_TRUE(bitmap.GetSize() == CSize(0, 0));
}

TEST(DrawingBitmap, NewBitmapsAreBlackAndNeedAPositiveSize) {
  CBitmap none;
  EXPECT_FALSE(none.CreateBitmap(0, 5));
  Canvas canvas(3, 3, kRed);
  CBitmap fresh;
  ASSERT_TRUE(fresh.CreateCompatibleBitmap(&canvas.dc(), 3, 3));
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap* old = dc.SelectObject(&fresh);
  EXPECT_EQ(dc.GetPixel(2, 2), kBlack);
  dc.SelectObject(old);
}

}  // namespace
