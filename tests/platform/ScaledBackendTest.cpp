// The scaling backend between the window system and a denser display: rectangles out, points in, cursors.
#include <gtest/gtest.h>

#include <array>

#include "platform/linux/ScaledBackend.h"
#include "platform/linux/headless/HeadlessBackend.h"

namespace platform {
namespace {

std::array<LONG, 4> Edges(const RECT& rc) {
  return {rc.left, rc.top, rc.right, rc.bottom};
}

TEST(ScaledBackend, RectanglesGoOutMultipliedAndPointsComeInFlooredOnBothSidesOfTheOrigin) {
  CHeadlessBackend device(2048, 1536);
  CScaledBackend scaled(device, 2);
  EXPECT_EQ(Edges(scaled.ScreenRect()), Edges(RECT{0, 0, 1024, 768}));
  const SurfaceId id = scaled.CreateSurface(SurfaceDesc{SurfaceKind::Plain, RECT{-5, -5, 10, 10}, "", 0});
  scaled.ShowSurface(id, true);
  EXPECT_EQ(Edges(device.Find(id)->rect), Edges(RECT{-10, -10, 20, 20}));
  scaled.SetSurfaceShape(id, {RECT{1, 0, 14, 15}});
  EXPECT_EQ(Edges(device.Find(id)->shape.at(0)), Edges(RECT{2, 0, 28, 30}));

  // Device pixels -2 and -1 are program pixel -1, 0 and 1 are program pixel 0.
  device.MouseMove(POINT{-2, -1}).MouseMove(POINT{1, 0});
  const std::optional<InputEvent> left = scaled.WaitEvent(std::nullopt);
  const std::optional<InputEvent> right = scaled.WaitEvent(std::nullopt);
  ASSERT_TRUE(left && right);
  EXPECT_EQ(std::make_pair(left->root.x, left->root.y), std::make_pair(-1, -1));
  EXPECT_EQ(std::make_pair(left->local.x, left->local.y), std::make_pair(4, 4))
      << "device (8, 9) of the surface";
  EXPECT_EQ(std::make_pair(right->root.x, right->root.y), std::make_pair(0, 0));

  const PixelImage cursor{2, 1, {0xff000001, 0xff000002}, POINT{1, 0}};
  scaled.SetCursor(id, &cursor);
  const PixelImage* shown = device.Find(id)->cursor;
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(std::make_pair(shown->width, shown->height), std::make_pair(4, 2));
  EXPECT_EQ(shown->argb, (std::vector<std::uint32_t>{0xff000001, 0xff000001, 0xff000002, 0xff000002,
                                                     0xff000001, 0xff000001, 0xff000002, 0xff000002}));
  EXPECT_EQ(std::make_pair(shown->hotspot.x, shown->hotspot.y), std::make_pair(2, 0));
}

}  // namespace
}  // namespace platform
