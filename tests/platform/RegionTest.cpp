// Regions: GDI's rounded rectangle pixel by pixel, the window rim ring, combining, moving and the rectangle
// helpers.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "platform/api/RectOps.h"
#include "platform/api/Region.h"

namespace {

CRgn RoundRect(int l, int t, int r, int b, int w, int h) {
  CRgn region;
  EXPECT_TRUE(region.CreateRoundRectRgn(l, t, r, b, w, h));
  return region;
}

CRgn RectRgn(int l, int t, int r, int b) {
  CRgn region;
  EXPECT_TRUE(region.CreateRectRgn(l, t, r, b));
  return region;
}

long Area(const CRgn& region) {
  long area = 0;
  for (const RECT& rc : region.Rects()) area += long(rc.right - rc.left) * (rc.bottom - rc.top);
  return area;
}

TEST(RegionRoundRect, CoversTheRectangleUpToItsExclusiveEdges) {
  const CRgn frame = RoundRect(0, 0, 210, 245, 30, 30);
  EXPECT_TRUE(frame.GetRgnBox() == CRect(0, 0, 210, 245));
  EXPECT_TRUE(frame.PtInRegion(209, 120));
  EXPECT_FALSE(frame.PtInRegion(210, 120));
  EXPECT_TRUE(frame.PtInRegion(105, 244));
  EXPECT_FALSE(frame.PtInRegion(105, 245));
}

// The window rim: outer (0, 0, 210, 245) minus inner (3, 3, 207, 242), both with 30 x 30 corners.
TEST(RegionRoundRect, RimIsThreePixelsWideAlongTheStraightEdges) {
  CRgn rim = RoundRect(0, 0, 210, 245, 30, 30);
  const CRgn inner = RoundRect(3, 3, 207, 242, 30, 30);
  ASSERT_EQ(rim.CombineRgn(&rim, &inner, RGN_DIFF), COMPLEXREGION);
  for (int y = 20; y < 225; ++y) {
    for (int x : {0, 1, 2, 207, 208, 209}) EXPECT_TRUE(rim.PtInRegion(x, y)) << x << "," << y;
    for (int x : {3, 105, 206, 210}) EXPECT_FALSE(rim.PtInRegion(x, y)) << x << "," << y;
  }
  for (int x = 20; x < 190; ++x) {
    for (int y : {0, 1, 2, 242, 243, 244}) EXPECT_TRUE(rim.PtInRegion(x, y)) << x << "," << y;
    for (int y : {3, 120, 241, 245}) EXPECT_FALSE(rim.PtInRegion(x, y)) << x << "," << y;
  }
}

TEST(RegionRoundRect, RimCornersAreRoundAndFollowTheOutline) {
  CRgn rim = RoundRect(0, 0, 210, 245, 30, 30);
  const CRgn outer = RoundRect(0, 0, 210, 245, 30, 30);
  const CRgn inner = RoundRect(3, 3, 207, 242, 30, 30);
  rim.CombineRgn(&rim, &inner, RGN_DIFF);
  EXPECT_FALSE(outer.PtInRegion(0, 0));
  EXPECT_FALSE(outer.PtInRegion(1, 1));
  EXPECT_FALSE(outer.PtInRegion(209, 244));
  EXPECT_TRUE(outer.PtInRegion(15, 15));
  // Near the corner the ring runs diagonally: these two mirror points are both on it.
  EXPECT_TRUE(rim.PtInRegion(1, 14));
  EXPECT_TRUE(rim.PtInRegion(14, 1));
  EXPECT_FALSE(rim.PtInRegion(15, 15));
  // Every row of the window starts and ends with rim pixels.
  for (int y = 0; y < 245; ++y) {
    int first = -1;
    int last = -1;
    for (int x = 0; x < 210; ++x) {
      if (!outer.PtInRegion(x, y)) continue;
      if (first < 0) first = x;
      last = x;
    }
    ASSERT_GE(first, 0) << "row " << y;
    EXPECT_TRUE(rim.PtInRegion(first, y)) << "row " << y;
    EXPECT_TRUE(rim.PtInRegion(last, y)) << "row " << y;
    EXPECT_EQ(first + last, 209) << "row " << y;
  }
}

TEST(RegionRoundRect, CornerOf30HasAQuarterEllipseProfile) {
  const CRgn frame = RoundRect(0, 0, 210, 245, 30, 30);
  // The top row starts 11 pixels in; the insets shrink towards the middle of the corner and vanish at 15.
  EXPECT_FALSE(frame.PtInRegion(10, 0));
  EXPECT_TRUE(frame.PtInRegion(11, 0));
  EXPECT_TRUE(frame.PtInRegion(0, 11));
  EXPECT_FALSE(frame.PtInRegion(0, 10));
  EXPECT_TRUE(frame.PtInRegion(0, 15));
  int previous = 210;
  for (int y = 0; y < 15; ++y) {
    int inset = 0;
    while (!frame.PtInRegion(inset, y)) ++inset;
    EXPECT_LE(inset, previous) << "row " << y;
    previous = inset;
  }
  EXPECT_EQ(previous, 0);
}

// Mirror symmetry left-right and top-bottom for any size, and across the diagonal for circular corners.
class RoundRectShape : public ::testing::TestWithParam<std::tuple<int, int, int, int>> {};

TEST_P(RoundRectShape, IsSymmetric) {
  const auto [w, h, ew, eh] = GetParam();
  const CRgn region = RoundRect(10, 20, 10 + w, 20 + h, ew, eh);
  const int cw = w;  // the covered size
  const int ch = h;
  const bool circular = std::min(ew, cw) == std::min(eh, ch);
  for (int y = 0; y < ch; ++y) {
    for (int x = 0; x < cw; ++x) {
      const bool in = region.PtInRegion(10 + x, 20 + y);
      ASSERT_EQ(in, bool(region.PtInRegion(10 + cw - 1 - x, 20 + y))) << x << "," << y;
      ASSERT_EQ(in, bool(region.PtInRegion(10 + x, 20 + ch - 1 - y))) << x << "," << y;
      if (circular && x < std::min(ew, cw) && y < std::min(ew, cw)) {
        ASSERT_EQ(in, bool(region.PtInRegion(10 + y, 20 + x))) << x << "," << y;
      }
    }
  }
  const CRect box = region.GetRgnBox();
  EXPECT_TRUE(box == CRect(10, 20, 10 + cw, 20 + ch));
}

INSTANTIATE_TEST_SUITE_P(Sizes, RoundRectShape,
                         ::testing::Values(std::tuple{210, 245, 30, 30}, std::tuple{176, 35, 20, 20},
                                           std::tuple{40, 30, 7, 13}, std::tuple{12, 9, 40, 40},
                                           std::tuple{31, 31, 31, 31}, std::tuple{20, 20, 2, 2}));

TEST(RegionRoundRect, FlatCornersGiveThePlainRectangle) {
  const CRgn region = RoundRect(2, 3, 12, 9, 0, 0);
  EXPECT_EQ(Area(region), 10 * 6);
  EXPECT_TRUE(region.GetRgnBox() == CRect(2, 3, 12, 9));
}

TEST(RegionEmpty, ZeroSizeRegionsExistAndHoldNothing) {
  CRgn flat = RectRgn(5, 5, 5, 9);
  EXPECT_NE(flat.GetSafeHandle(), nullptr);
  EXPECT_TRUE(flat.Rects().empty());
  EXPECT_TRUE(flat.GetRgnBox() == CRect(0, 0, 0, 0));
  EXPECT_FALSE(flat.PtInRegion(5, 5));
  EXPECT_EQ(flat.OffsetRgn(1, 1), NULLREGION);
  const CRgn tiny = RoundRect(3, 3, 3, 4, 30, 30);
  EXPECT_TRUE(tiny.Rects().empty());
  CRgn sum = RectRgn(0, 0, 2, 2);
  EXPECT_EQ(sum.CombineRgn(&sum, &tiny, RGN_OR), SIMPLEREGION);
  EXPECT_EQ(sum.CombineRgn(&sum, &flat, RGN_AND), NULLREGION);
}

TEST(RegionRect, SwappedCornersArePutInOrder) {
  const CRgn region = RectRgn(8, 9, 2, 3);
  EXPECT_TRUE(region.GetRgnBox() == CRect(2, 3, 8, 9));
  EXPECT_TRUE(region.PtInRegion(2, 3));
  EXPECT_FALSE(region.PtInRegion(8, 8));
}

TEST(RegionCombine, EachModeGivesItsSetAndType) {
  const CRgn a = RectRgn(0, 0, 10, 10);
  const CRgn b = RectRgn(5, 5, 15, 15);
  CRgn out = RectRgn(0, 0, 0, 0);

  EXPECT_EQ(out.CombineRgn(&a, &b, RGN_AND), SIMPLEREGION);
  EXPECT_TRUE(out.GetRgnBox() == CRect(5, 5, 10, 10));

  EXPECT_EQ(out.CombineRgn(&a, &b, RGN_OR), COMPLEXREGION);
  EXPECT_EQ(Area(out), 175);
  EXPECT_TRUE(out.PtInRegion(12, 12));
  EXPECT_FALSE(out.PtInRegion(12, 2));

  EXPECT_EQ(out.CombineRgn(&a, &b, RGN_DIFF), COMPLEXREGION);
  EXPECT_EQ(Area(out), 75);
  EXPECT_FALSE(out.PtInRegion(7, 7));
  EXPECT_TRUE(out.PtInRegion(2, 7));

  EXPECT_EQ(out.CombineRgn(&a, &b, RGN_XOR), COMPLEXREGION);
  EXPECT_EQ(Area(out), 150);
  EXPECT_FALSE(out.PtInRegion(7, 7));
  EXPECT_TRUE(out.PtInRegion(12, 12));

  EXPECT_EQ(out.CombineRgn(&b, nullptr, RGN_COPY), SIMPLEREGION);
  EXPECT_TRUE(out.EqualRgn(&b));
}

TEST(RegionCombine, FailuresLeaveTheRegionAsItWas) {
  const CRgn a = RectRgn(0, 0, 4, 4);
  CRgn uncreated;
  EXPECT_EQ(uncreated.CombineRgn(&a, &a, RGN_OR), ERROR);
  EXPECT_EQ(uncreated.GetSafeHandle(), nullptr);
  CRgn out = RectRgn(1, 1, 2, 2);
  EXPECT_EQ(out.CombineRgn(&a, &a, 99), ERROR);
  EXPECT_EQ(out.CombineRgn(&a, &uncreated, RGN_AND), ERROR);
  EXPECT_TRUE(out.GetRgnBox() == CRect(1, 1, 2, 2));
}

TEST(RegionCombine, ResultMayBeTheSecondOperand) {
  const CRgn a = RectRgn(0, 0, 10, 2);
  CRgn b = RectRgn(4, 0, 6, 2);
  b.CombineRgn(&a, &b, RGN_DIFF);
  EXPECT_EQ(Area(b), 16);
  EXPECT_FALSE(b.PtInRegion(5, 1));
}

TEST(RegionOps, OffsetMovesEveryPixel) {
  CRgn region = RoundRect(0, 0, 20, 20, 8, 8);
  const CRgn copy = RoundRect(0, 0, 20, 20, 8, 8);
  EXPECT_EQ(region.OffsetRgn(7, -3), COMPLEXREGION);
  for (int y = 0; y < 19; ++y) {
    for (int x = 0; x < 19; ++x) ASSERT_EQ(copy.PtInRegion(x, y), region.PtInRegion(x + 7, y - 3));
  }
}

TEST(RegionOps, RectanglesAreDisjointAndCoverTheRegion) {
  const CRgn region = RoundRect(0, 0, 60, 50, 30, 20);
  const std::vector<RECT> rects = region.Rects();
  long covered = 0;
  for (int y = -1; y < 51; ++y) {
    for (int x = -1; x < 61; ++x) {
      int hits = 0;
      for (const RECT& rc : rects) hits += PtInRect(&rc, POINT{x, y});
      ASSERT_LE(hits, 1);
      ASSERT_EQ(hits == 1, bool(region.PtInRegion(x, y))) << x << "," << y;
      covered += hits;
    }
  }
  EXPECT_EQ(covered, Area(region));
}

TEST(RegionOps, MovingHandsOverTheRegion) {
  CRgn first = RectRgn(0, 0, 3, 3);
  CRgn second(std::move(first));
  EXPECT_EQ(first.GetSafeHandle(), nullptr);  // NOLINT(bugprone-use-after-move)
  EXPECT_TRUE(second.PtInRegion(1, 1));
  CRgn third = RectRgn(10, 10, 11, 11);
  third = std::move(second);
  EXPECT_TRUE(third.PtInRegion(2, 2));
  EXPECT_FALSE(third.PtInRegion(10, 10));
  EXPECT_TRUE(third.DeleteObject());
  EXPECT_FALSE(third.DeleteObject());
  EXPECT_FALSE(third.PtInRegion(2, 2));
}

TEST(RegionOps, DetachGivesUpOwnership) {
  CRgn region = RectRgn(0, 0, 3, 3);
  HRGN raw = region.Detach();
  EXPECT_EQ(region.GetSafeHandle(), nullptr);
  CRgn other;
  other.Attach(raw);
  EXPECT_TRUE(other.PtInRegion(2, 2));
}

TEST(RectOps, InflateGrowsAndShrinksEveryEdge) {
  RECT rc{0, 0, 210, 245};
  InflateRect(&rc, -17, -17);
  EXPECT_TRUE(CRect(rc) == CRect(17, 17, 193, 228));
  InflateRect(&rc, 2, 1);
  EXPECT_TRUE(CRect(rc) == CRect(15, 16, 195, 229));
}

TEST(RectOps, PtInRectExcludesRightAndBottom) {
  const RECT rc{1, 1, 4, 4};
  EXPECT_TRUE(PtInRect(&rc, POINT{1, 1}));
  EXPECT_TRUE(PtInRect(&rc, POINT{3, 3}));
  EXPECT_FALSE(PtInRect(&rc, POINT{4, 3}));
  EXPECT_FALSE(PtInRect(&rc, POINT{3, 4}));
}

TEST(RectOps, IntersectionOfDisjointRectanglesIsZeroed) {
  const RECT a{0, 0, 5, 5};
  const RECT b{3, 2, 9, 4};
  const RECT c{5, 0, 8, 5};
  RECT out{};
  EXPECT_TRUE(IntersectRect(&out, &a, &b));
  EXPECT_TRUE(CRect(out) == CRect(3, 2, 5, 4));
  EXPECT_FALSE(IntersectRect(&out, &a, &c));
  EXPECT_TRUE(CRect(out) == CRect(0, 0, 0, 0));
}

TEST(RectOps, OffsetAndUnion) {
  RECT rc{1, 2, 3, 4};
  OffsetRect(&rc, 10, -2);
  EXPECT_TRUE(CRect(rc) == CRect(11, 0, 13, 2));
  const RECT empty{};
  RECT out{};
  EXPECT_TRUE(UnionRect(&out, &rc, &empty));
  EXPECT_TRUE(CRect(out) == CRect(rc));
  const RECT other{0, 5, 1, 6};
  UnionRect(&out, &rc, &other);
  EXPECT_TRUE(CRect(out) == CRect(0, 0, 13, 6));
}

}  // namespace
