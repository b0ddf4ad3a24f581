// Exact pixels of fills, pens, region fills and object selection in small memory bitmaps.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "DrawingCanvas.h"
#include "platform/api/DC.h"
#include "platform/api/Region.h"

namespace {

constexpr COLORREF kLight = RGB(255, 150, 150);

TEST(DrawingFill, SolidRectCoversLeftAndTopEdgesButNotRightAndBottom) {
  Canvas canvas(12, 12);
  canvas.dc().FillSolidRect(CRect(2, 3, 6, 8), kRed);
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 12; ++x) {
      const bool inside = x >= 2 && x < 6 && y >= 3 && y < 8;
      EXPECT_EQ(canvas.At(x, y), inside ? kRed : kWhite) << "at " << x << "," << y;
    }
  }
}

TEST(DrawingFill, SolidRectBySizeMatchesRectangleForm) {
  Canvas canvas(10, 10);
  canvas.dc().FillSolidRect(1, 2, 3, 4, kRed);
  const Ink ink = canvas.InkOf(kWhite);
  EXPECT_EQ(ink.pixels, 12);
  EXPECT_TRUE(CRect(ink.box) == CRect(1, 2, 4, 6));
}

TEST(DrawingFill, SolidRectLeavesItsColourAsBackground) {
  Canvas canvas(4, 4);
  canvas.dc().FillSolidRect(0, 0, 1, 1, kLight);
  EXPECT_EQ(canvas.dc().GetBkColor(), kLight);
  EXPECT_EQ(canvas.dc().SetBkColor(kWhite), kLight);
}

TEST(DrawingFill, EmptyOrInvertedRectanglesDrawNothing) {
  Canvas canvas(8, 8);
  canvas.dc().FillSolidRect(CRect(3, 3, 3, 6), kRed);
  canvas.dc().FillSolidRect(CRect(5, 5, 2, 2), kRed);
  canvas.dc().FillSolidRect(1, 1, 0, 4, kRed);
  EXPECT_EQ(canvas.InkOf(kWhite).pixels, 0);
}

TEST(DrawingFill, FillRectUsesTheBrushColour) {
  Canvas canvas(6, 6);
  CBrush brush(kRed);
  const CRect rc(1, 1, 3, 2);
  canvas.dc().FillRect(&rc, &brush);
  EXPECT_EQ(canvas.At(1, 1), kRed);
  EXPECT_EQ(canvas.At(2, 1), kRed);
  EXPECT_EQ(canvas.InkOf(kWhite).pixels, 2);
}

// A 2 x 2 block of four colours, as a pattern brush's bitmap.
void MakeBlock(CBitmap& block, const COLORREF (&colours)[4]) {
  block.CreateBitmap(2, 2);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectObject(&block);
  for (int i = 0; i < 4; ++i) dc.FillSolidRect(i % 2, i / 2, 1, 1, colours[i]);
}

TEST(DrawingFill, APatternBrushRepeatsItsBitmapFromTheContextsOriginAndKeepsItsOwnCopy) {
  constexpr COLORREF kColours[4] = {kRed, kLight, RGB(0, 0, 255), kBlack};
  CBitmap block;
  MakeBlock(block, kColours);
  CBrush brush;
  ASSERT_TRUE(brush.CreatePatternBrush(&block));
  EXPECT_FALSE(brush.CreatePatternBrush(&block));
  // Drawing on the bitmap or deleting it afterwards leaves the brush as it was.
  {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&block);
    dc.FillSolidRect(0, 0, 2, 2, kWhite);
  }
  block.DeleteObject();

  Canvas canvas(9, 8);
  const CRect rc(1, 2, 8, 7);
  canvas.dc().FillRect(&rc, &brush);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 9; ++x) {
      const COLORREF expected = rc.PtInRect(CPoint(x, y)) ? kColours[(y % 2) * 2 + x % 2] : kWhite;
      ASSERT_EQ(canvas.At(x, y), expected) << "at " << x << "," << y;
    }
  }
  // A region takes the same pattern, still aligned on the context's origin.
  CRgn region;
  region.CreateRectRgn(3, 0, 4, 1);
  canvas.dc().FillRgn(&region, &brush);
  EXPECT_EQ(canvas.At(3, 0), kColours[1]);
}

TEST(DrawingFill, APatternBrushNeedsABitmapWithPixels) {
  CBitmap empty;
  CBrush brush;
  EXPECT_FALSE(brush.CreatePatternBrush(&empty));
  EXPECT_FALSE(brush.CreatePatternBrush(nullptr));
  EXPECT_EQ(brush.GetSafeHandle(), nullptr);
}

TEST(DrawingFill, FillRgnPaintsExactlyThePixelsOfTheRegion) {
  Canvas canvas(40, 30);
  CRgn region;
  ASSERT_TRUE(region.CreateRoundRectRgn(2, 3, 37, 28, 12, 10));
  CBrush brush(kRed);
  ASSERT_TRUE(canvas.dc().FillRgn(&region, &brush));
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      EXPECT_EQ(canvas.At(x, y), region.PtInRegion(x, y) ? kRed : kWhite) << "at " << x << "," << y;
    }
  }
}

TEST(DrawingFill, DeletedBrushOrRegionFillsNothing) {
  Canvas canvas(6, 6);
  CRgn region;
  region.CreateRectRgn(0, 0, 6, 6);
  CBrush brush(kRed);
  brush.DeleteObject();
  EXPECT_FALSE(canvas.dc().FillRgn(&region, &brush));
  CBrush live(kRed);
  region.DeleteObject();
  EXPECT_FALSE(canvas.dc().FillRgn(&region, &live));
  EXPECT_EQ(canvas.InkOf(kWhite).pixels, 0);
}

// The tile bevel as the tile window draws it, on sizes of every screen size and an odd rectangle.
class TileBevel : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(TileBevel, ColoursEachEdgePixelAsTheTileShowsIt) {
  const auto [w, h] = GetParam();
  Canvas canvas(w, h);
  CDC& dc = canvas.dc();
  dc.FillSolidRect(CRect(0, 0, w, h), kLight);
  CPen black(PS_SOLID, 1, kBlack);
  CPen* old = dc.SelectObject(&black);
  dc.MoveTo(0, h - 1);
  dc.LineTo(w - 1, h - 1);
  dc.LineTo(w - 1, 0);
  CPen white(PS_SOLID, 1, kWhite);
  dc.SelectObject(&white);
  dc.MoveTo(w - 1, 0);
  dc.LineTo(0, 0);
  dc.LineTo(0, h - 1);
  dc.SelectObject(old);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      COLORREF expected = kLight;
      if (y == 0)
        expected = kWhite;
      else if (y == h - 1)
        expected = kBlack;
      else if (x == 0)
        expected = kWhite;
      else if (x == w - 1)
        expected = kBlack;
      ASSERT_EQ(canvas.At(x, y), expected) << "at " << x << "," << y << " of " << w << "x" << h;
    }
  }
  EXPECT_TRUE(dc.GetCurrentPosition() == CPoint(0, h - 1));
}

INSTANTIATE_TEST_SUITE_P(Sizes, TileBevel,
                         ::testing::Values(std::pair{35, 35}, std::pair{52, 52}, std::pair{70, 70},
                                           std::pair{7, 4}, std::pair{2, 2}));

// Every line from the centre to the points around it: one pixel per step of the longer axis, the start
// drawn, the end left out, and each pixel within half a pixel of the true line.
TEST(DrawingLine, SlopedLinesFollowTheIdealLineAndLeaveOutTheEnd) {
  for (int dy = -7; dy <= 7; ++dy) {
    for (int dx = -7; dx <= 7; ++dx) {
      if (dx == 0 && dy == 0) continue;
      Canvas canvas(17, 17);
      canvas.dc().MoveTo(8, 8);
      canvas.dc().LineTo(8 + dx, 8 + dy);
      const int steps = std::max(std::abs(dx), std::abs(dy));
      SCOPED_TRACE(::testing::Message() << "to " << dx << "," << dy);
      EXPECT_EQ(canvas.InkOf(kWhite).pixels, steps);
      EXPECT_EQ(canvas.At(8, 8), kBlack);
      EXPECT_EQ(canvas.At(8 + dx, 8 + dy), kWhite);
      for (int y = 0; y < 17; ++y) {
        for (int x = 0; x < 17; ++x) {
          if (canvas.At(x, y) != kBlack) continue;
          const double t = std::abs(dx) >= std::abs(dy) ? double(x - 8) / dx : double(y - 8) / dy;
          EXPECT_GE(t, 0.0);
          EXPECT_LT(t, 1.0);
          const double off = std::abs(dx) >= std::abs(dy) ? (y - 8) - t * dy : (x - 8) - t * dx;
          EXPECT_LE(std::abs(off), 0.5) << "pixel " << x << "," << y;
        }
      }
    }
  }
}

TEST(DrawingLine, NullPenMovesWithoutDrawing) {
  Canvas canvas(8, 8);
  CPen none(PS_NULL, 1, kRed);
  canvas.dc().SelectObject(&none);
  canvas.dc().MoveTo(1, 1);
  EXPECT_TRUE(canvas.dc().LineTo(6, 1));
  EXPECT_EQ(canvas.InkOf(kWhite).pixels, 0);
  EXPECT_TRUE(canvas.dc().GetCurrentPosition() == CPoint(6, 1));
}

TEST(DrawingLine, MoveToReturnsThePreviousPosition) {
  CDC dc;
  dc.MoveTo(3, 4);
  EXPECT_TRUE(dc.MoveTo(5, 6) == CPoint(3, 4));
}

TEST(DrawingLine, AWiderPenCoversItsWidthAcrossTheLine) {
  Canvas canvas(12, 12);
  CPen wide(PS_SOLID, 3, kRed);
  canvas.dc().SelectObject(&wide);
  canvas.dc().MoveTo(2, 5);
  canvas.dc().LineTo(9, 5);
  const Ink ink = canvas.InkOf(kWhite);
  EXPECT_TRUE(CRect(ink.box) == CRect(1, 4, 10, 7));
}

TEST(DrawingLine, KeepsDrawingWithAPenDeletedWhileSelected) {
  Canvas canvas(6, 3);
  CPen red(PS_SOLID, 1, kRed);
  canvas.dc().SelectObject(&red);
  red.DeleteObject();
  canvas.dc().MoveTo(0, 1);
  canvas.dc().LineTo(3, 1);
  EXPECT_EQ(canvas.At(2, 1), kRed);
}

TEST(DrawingSelect, EachKindReturnsWhatWasSelectedBefore) {
  Canvas canvas(2, 2);
  CDC& dc = canvas.dc();
  CPen pen1(PS_SOLID, 1, kRed);
  CPen pen2(PS_SOLID, 1, kWhite);
  CPen* stockPen = dc.SelectObject(&pen1);
  ASSERT_NE(stockPen, nullptr);
  EXPECT_TRUE(stockPen->IsStock());
  EXPECT_EQ(stockPen->Color(), kBlack);
  EXPECT_EQ(stockPen->Width(), 1);
  EXPECT_EQ(dc.SelectObject(&pen2), &pen1);
  EXPECT_EQ(dc.SelectObject(stockPen), &pen2);

  CBrush brush(kRed);
  CBrush* stockBrush = dc.SelectObject(&brush);
  ASSERT_NE(stockBrush, nullptr);
  EXPECT_EQ(stockBrush->Color(), kWhite);
  EXPECT_EQ(dc.SelectObject(stockBrush), &brush);

  CBitmap other;
  other.CreateBitmap(3, 3);
  CBitmap* canvasBitmap = dc.SelectObject(&other);
  ASSERT_NE(canvasBitmap, nullptr);
  EXPECT_TRUE(canvasBitmap->GetSize() == CSize(2, 2));
  EXPECT_EQ(dc.SelectObject(canvasBitmap), &other);
}

TEST(DrawingSelect, StockObjectsAreSharedAndCannotBeDeleted) {
  CDC a;
  CDC b;
  a.CreateCompatibleDC(nullptr);
  b.CreateCompatibleDC(nullptr);
  CPen pen(PS_SOLID, 1, kRed);
  CPen* stock = a.SelectObject(&pen);
  EXPECT_EQ(b.SelectObject(&pen), stock);
  EXPECT_FALSE(stock->DeleteObject());
  EXPECT_NE(stock->GetSafeHandle(), nullptr);
  CBitmap bitmap;
  bitmap.CreateBitmap(1, 1);
  CBitmap* stockBitmap = a.SelectObject(&bitmap);
  ASSERT_NE(stockBitmap, nullptr);
  EXPECT_TRUE(stockBitmap->IsStock());
  EXPECT_TRUE(stockBitmap->GetSize() == CSize(1, 1));
}

TEST(DrawingSelect, EmptyObjectsAreRefusedAndTheOldOneStays) {
  Canvas canvas(4, 1);
  CPen red(PS_SOLID, 1, kRed);
  canvas.dc().SelectObject(&red);
  CPen never;
  EXPECT_EQ(canvas.dc().SelectObject(&never), nullptr);
  EXPECT_EQ(canvas.dc().SelectObject(static_cast<CPen*>(nullptr)), nullptr);
  canvas.dc().MoveTo(0, 0);
  canvas.dc().LineTo(2, 0);
  EXPECT_EQ(canvas.At(1, 0), kRed);
}

TEST(DrawingSelect, OnlyMemoryContextsTakeBitmaps) {
  CDC dc;
  CBitmap bitmap;
  bitmap.CreateBitmap(2, 2);
  EXPECT_EQ(dc.SelectObject(&bitmap), nullptr);
}

TEST(DrawingContext, WithoutPixelsEverythingIsHarmless) {
  CDC dc;
  EXPECT_FALSE(dc.IsValid());
  dc.FillSolidRect(0, 0, 10, 10, kRed);
  dc.MoveTo(0, 0);
  dc.LineTo(5, 5);
  CRgn region;
  region.CreateRectRgn(0, 0, 4, 4);
  CBrush brush(kRed);
  dc.FillRgn(&region, &brush);
  RECT rc{0, 0, 50, 20};
  dc.DrawText("10", &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  EXPECT_EQ(dc.GetPixel(0, 0), CLR_INVALID);

  CDC memory;
  ASSERT_TRUE(memory.CreateCompatibleDC(&dc));
  EXPECT_TRUE(memory.IsValid());
  memory.FillSolidRect(0, 0, 1, 1, kRed);
  EXPECT_EQ(memory.GetPixel(0, 0), CLR_INVALID);
  EXPECT_FALSE(memory.BitBlt(0, 0, 1, 1, &dc, 0, 0, SRCCOPY));
  EXPECT_TRUE(memory.DeleteDC());
  EXPECT_FALSE(memory.IsValid());
}

TEST(DrawingContext, ASecondCreateCompatibleDCIsRefused) {
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  EXPECT_FALSE(dc.CreateCompatibleDC(nullptr));
}

}  // namespace
