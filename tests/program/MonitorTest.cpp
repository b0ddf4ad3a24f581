// The program on several monitors: it rests on the primary one and drops off its bottom edge, and the popup
// menu and the About box stay on the monitor where they open.
#include <gtest/gtest.h>

#include "ProgramHarness.h"

namespace program_test {
namespace {

using Surface = platform::CHeadlessBackend::Surface;

const Surface* SurfaceOfKind(const platform::CHeadlessBackend& backend, platform::SurfaceKind kind) {
  for (const Surface* s : backend.VisibleSurfaces()) {
    if (s->desc.kind == kind) return s;
  }
  return nullptr;
}

::testing::AssertionResult Inside(const RECT& inner, const RECT& outer) {
  if (inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
      inner.bottom <= outer.bottom)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << inner.left << ", " << inner.top << ", " << inner.right
                                       << ", " << inner.bottom << ") is not inside (" << outer.left << ", "
                                       << outer.top << ", " << outer.right << ", " << outer.bottom << ")";
}

// Runs the program on the monitors until it rests, checks where, then exits and checks the last top.
void ExpectRestAndExit(const std::vector<RECT>& monitors, POINT rest, int lastTop) {
  ProgramRun run;
  run.backend.SetMonitors(monitors);
  run.backend.Wait(kRestTimeMs + 500);
  run.Check([rest](CRecordingPuzzleDlg& dlg) {
    EXPECT_FALSE(dlg.m_bDropIn);
    RECT rc;
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(rc.left, rest.x);
    EXPECT_EQ(rc.top, rest.y);
  });
  run.Command(ID_EXIT);
  EXPECT_EQ(run.Run(), 0);
  EXPECT_EQ(MoveTops(run.backend).back(), lastTop);
}

TEST(Monitors, TheWindowRestsCentredOnThePrimaryMonitorAndLeavesByItsBottomEdge) {
  const RECT left{0, 0, 1024, 768};
  const RECT right{1024, 0, 2048, 768};
  SCOPED_TRACE("primary on the right");
  ExpectRestAndExit({right, left}, POINT{1024 + 407, 261}, 767);
  SCOPED_TRACE("primary on the left");
  ExpectRestAndExit({left, right}, POINT{407, 261}, 767);
  SCOPED_TRACE("stacked, primary below");
  ExpectRestAndExit({RECT{0, 768, 1024, 1536}, left}, POINT{407, 768 + 261}, 1535);
  SCOPED_TRACE("a taller primary on the right: target 512 - 122");
  ExpectRestAndExit({RECT{1024, 0, 2304, 1024}, left}, POINT{1024 + 640 - 105, 389}, 1023);
}

TEST(Monitors, WithoutMonitorsTheWholeScreenIsTheDesktop) {
  ProgramRun run(2048, 768);
  run.backend.Wait(kRestTimeMs);
  run.Check([](CRecordingPuzzleDlg& dlg) {
    RECT rc;
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(CRect(rc), CRect(919, 261, 919 + 210, 261 + 245));
  });
  run.Run();
}

// Puts the resting window at `topLeft` through the window manager, then right-clicks its frame near the
// bottom-right corner, and checks that the menu lies wholly on `monitor`.
void ExpectMenuOnMonitor(const std::vector<RECT>& monitors, POINT topLeft, const RECT& monitor) {
  ProgramRun run;
  run.backend.SetMonitors(monitors);
  run.backend.Wait(kRestTimeMs);
  run.backend.Call([&] { run.backend.MoveByManager(MainSurface(run.backend)->id, topLeft); });
  const POINT click{topLeft.x + 190, topLeft.y + 230};
  run.backend.Wait(10).Click(click, 3).Wait(10);
  run.Check([&run, &monitor, click](CRecordingPuzzleDlg&) {
    const Surface* menu = SurfaceOfKind(run.backend, platform::SurfaceKind::PopupMenu);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(Inside(menu->rect, monitor));
    // It opens beside the point where it was asked for, on whichever side has room.
    EXPECT_TRUE(menu->rect.left == click.x || menu->rect.right == click.x) << menu->rect.left;
  });
  run.backend.Key(VK_ESCAPE);
  run.Run();
}

TEST(Monitors, AMenuOpenedNearTheEdgeOfAMonitorStaysOnIt) {
  const RECT left{0, 0, 1024, 768};
  const RECT right{1024, 0, 2048, 768};
  SCOPED_TRACE("on the left monitor, the primary on the right");
  ExpectMenuOnMonitor({right, left}, POINT{800, 261}, left);
  SCOPED_TRACE("on the right monitor, the primary on the left");
  ExpectMenuOnMonitor({left, right}, POINT{1800, 261}, right);
}

TEST(Monitors, TheAboutBoxStaysOnItsOwnersMonitor) {
  const RECT left{0, 0, 1024, 768};
  const RECT right{1024, 0, 2048, 768};
  ProgramRun run;
  run.backend.SetMonitors({right, left});
  run.backend.Wait(kRestTimeMs);
  // The window stands at the right edge of the left monitor, so a box centred over it would cross over.
  run.backend.Call([&] { run.backend.MoveByManager(MainSurface(run.backend)->id, POINT{810, 261}); });
  run.backend.Wait(10);
  run.Command(ID_INFO);
  run.backend.Wait(10);
  run.Check([&run, left](CRecordingPuzzleDlg& dlg) {
    const Surface* box = SurfaceOfKind(run.backend, platform::SurfaceKind::Dialog);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(Inside(box->rect, left));
    EXPECT_EQ(box->rect.right, 1024);
    // Vertically it is still centred over its owner.
    RECT owner;
    dlg.GetWindowRect(&owner);
    EXPECT_NEAR((box->rect.top + box->rect.bottom) / 2, (owner.top + owner.bottom) / 2, 1);
  });
  run.backend.Key(VK_RETURN);
  run.Run();
}

}  // namespace
}  // namespace program_test
