// Drawing through a window-style target: the context's origin and clip region keep every operation inside.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "DrawingCanvas.h"
#include "platform/api/Region.h"
#include "platform/linux/CairoHandles.h"

namespace {

constexpr int kSize = 24;
constexpr POINT kOrigin{5, 4};

// A 24 x 24 window buffer and a clip of two rectangles in buffer coordinates, as a paint would hand over.
class DrawingClip : public ::testing::Test {
 protected:
  void SetUp() override {
    m_surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSize, kSize);
    CDC whole;
    whole.AttachSurface(platform::HandleOf(m_surface), POINT{}, nullptr);
    whole.FillSolidRect(0, 0, kSize, kSize, kWhite);
    whole.DetachSurface();
    m_clip = cairo_region_create();
    const cairo_rectangle_int_t a{6, 6, 6, 4};
    const cairo_rectangle_int_t b{14, 2, 2, 2};
    cairo_region_union_rectangle(m_clip, &a);
    cairo_region_union_rectangle(m_clip, &b);
  }
  void TearDown() override {
    cairo_region_destroy(m_clip);
    cairo_surface_destroy(m_surface);
  }

  COLORREF Pixel(int x, int y) {
    cairo_surface_flush(m_surface);
    const unsigned char* row =
        cairo_image_surface_get_data(m_surface) + y * cairo_image_surface_get_stride(m_surface);
    const std::uint32_t p = reinterpret_cast<const std::uint32_t*>(row)[x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  bool InClip(int x, int y) { return cairo_region_contains_point(m_clip, x, y); }

  // Runs a drawing on a context attached with the origin and clip, then checks the buffer outside the clip.
  int DrawAndCountInsideClip(const std::function<void(CDC&)>& draw) {
    CDC dc;
    dc.AttachSurface(platform::HandleOf(m_surface), kOrigin, platform::HandleOf(m_clip));
    EXPECT_TRUE(dc.IsValid());
    draw(dc);
    dc.DetachSurface();
    int inside = 0;
    for (int y = 0; y < kSize; ++y) {
      for (int x = 0; x < kSize; ++x) {
        if (Pixel(x, y) == kWhite) continue;
        EXPECT_TRUE(InClip(x, y)) << "drawn outside the clip at " << x << "," << y;
        ++inside;
      }
    }
    return inside;
  }

  cairo_surface_t* m_surface = nullptr;
  cairo_region_t* m_clip = nullptr;
};

TEST_F(DrawingClip, FillCoversExactlyTheClip) {
  const int inside =
      DrawAndCountInsideClip([](CDC& dc) { dc.FillSolidRect(-kOrigin.x, -kOrigin.y, 40, 40, kRed); });
  EXPECT_EQ(inside, 6 * 4 + 2 * 2);
}

TEST_F(DrawingClip, CoordinatesStartAtTheOrigin) {
  DrawAndCountInsideClip([](CDC& dc) { dc.FillSolidRect(1, 2, 1, 1, kRed); });
  EXPECT_EQ(Pixel(6, 6), kRed);
}

TEST_F(DrawingClip, ReadingBackHonoursOriginAndClip) {
  CDC dc;
  dc.AttachSurface(platform::HandleOf(m_surface), kOrigin, platform::HandleOf(m_clip));
  dc.FillSolidRect(1, 2, 1, 1, kRed);
  EXPECT_EQ(dc.GetPixel(1, 2), kRed);
  EXPECT_EQ(dc.GetPixel(0, 0), CLR_INVALID);
  EXPECT_EQ(dc.GetPixel(100, 2), CLR_INVALID);
}

TEST_F(DrawingClip, LinesStopAtTheClip) {
  const int inside = DrawAndCountInsideClip([](CDC& dc) {
    dc.MoveTo(-5, 3);
    dc.LineTo(20, 3);
    dc.MoveTo(3, -4);
    dc.LineTo(3, 20);
  });
  EXPECT_GT(inside, 0);
}

TEST_F(DrawingClip, RegionFillsStopAtTheClip) {
  const int inside = DrawAndCountInsideClip([](CDC& dc) {
    CRgn region;
    region.CreateRoundRectRgn(-5, -4, 20, 20, 6, 6);
    CBrush brush(kRed);
    dc.FillRgn(&region, &brush);
  });
  EXPECT_EQ(inside, 6 * 4 + 2 * 2);
}

TEST_F(DrawingClip, CopiesStopAtTheClip) {
  Canvas source(30, 30, kRed);
  const int inside = DrawAndCountInsideClip(
      [&source](CDC& dc) { dc.StretchBlt(-5, -4, 40, 40, &source.dc(), 0, 0, 30, 30, SRCCOPY); });
  EXPECT_EQ(inside, 6 * 4 + 2 * 2);
}

TEST_F(DrawingClip, TextStopsAtTheClip) {
  const int inside = DrawAndCountInsideClip([](CDC& dc) {
    dc.SetBkMode(TRANSPARENT);
    RECT rc{-5, -4, 19, 20};
    dc.DrawText("■■■■", &rc, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  });
  EXPECT_GT(inside, 0);
}

TEST_F(DrawingClip, AnEmptyClipDrawsNothing) {
  cairo_region_t* empty = cairo_region_create();
  CDC dc;
  dc.AttachSurface(platform::HandleOf(m_surface), kOrigin, platform::HandleOf(empty));
  cairo_region_destroy(empty);
  dc.FillSolidRect(-10, -10, 50, 50, kRed);
  dc.DetachSurface();
  EXPECT_EQ(Pixel(8, 8), kWhite);
}

TEST_F(DrawingClip, DetachingStopsDrawing) {
  CDC dc;
  dc.AttachSurface(platform::HandleOf(m_surface), kOrigin, nullptr);
  dc.DetachSurface();
  EXPECT_FALSE(dc.IsValid());
  dc.FillSolidRect(0, 0, 10, 10, kRed);
  EXPECT_EQ(Pixel(6, 6), kWhite);
}

}  // namespace
