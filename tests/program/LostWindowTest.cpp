// The program's windows destroyed from outside: the main window ends the program and says why, the About
// box and the popup menu end as if cancelled and leave the main window usable.
#include <gtest/gtest.h>

#include <string>

#include "ProgramHarness.h"
#include "res/TilvaneResources.h"

namespace program_test {
namespace {

using platform::SurfaceKind;

// A point of the window's frame below the board, where a right click opens the menu.
constexpr POINT kFrame = AtRest(20, 230);
constexpr POINT kAboutButton = AtRest(80, 30);

int ShownOfKind(const platform::CHeadlessBackend& backend, SurfaceKind kind) {
  int count = 0;
  for (const auto* s : backend.VisibleSurfaces()) count += s->desc.kind == kind ? 1 : 0;
  return count;
}

TEST(LostWindow, TheMainWindowDestroyedByAnotherClientEndsTheProgramAtOnceAndSaysWhy) {
  ProgramRun run;
  bool ranOn = false;
  run.backend.Wait(kRestTimeMs).DestroyElsewhere(SurfaceKind::Plain).Wait(1000).Call([&] { ranOn = true; });
  std::string reason;
  AfxWinMain(run.app, run.backend, TilvaneResources(), &reason);
  EXPECT_FALSE(ranOn) << "the program waited on without its window";
  EXPECT_NE(reason.find("destroyed the window \"Tilvane\""), std::string::npos) << reason;
  EXPECT_TRUE(run.backend.TrayIcons().empty());
  EXPECT_TRUE(run.backend.VisibleSurfaces().empty());
}

TEST(LostWindow, TheAboutBoxDestroyedByAnotherClientEndsItsRunAndTheMainWindowTakesClicksAgain) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs).Click(kAboutButton).Wait(10);
  run.Check([&run](CRecordingPuzzleDlg& dlg) {
    ASSERT_EQ(ShownOfKind(run.backend, SurfaceKind::Dialog), 1);
    EXPECT_FALSE(dlg.IsWindowEnabled());
  });
  run.backend.DestroyElsewhere(SurfaceKind::Dialog).Wait(10);
  run.Check([&run](CRecordingPuzzleDlg& dlg) {
    EXPECT_EQ(ShownOfKind(run.backend, SurfaceKind::Dialog), 0);
    EXPECT_TRUE(dlg.IsWindowEnabled());
  });
  // The header's About button answers again: the box comes back, and Escape ends it as usual.
  run.backend.Click(kAboutButton).Wait(10);
  run.Check([&run](CRecordingPuzzleDlg&) { EXPECT_EQ(ShownOfKind(run.backend, SurfaceKind::Dialog), 1); });
  run.backend.Key(VK_ESCAPE).Wait(10);
  run.Command(ID_EXIT);
  std::string reason;
  EXPECT_EQ(AfxWinMain(run.app, run.backend, TilvaneResources(), &reason), 0);
  EXPECT_EQ(reason, "");
  EXPECT_EQ(run.app.GetModalResult(), IDCANCEL);
}

TEST(LostWindow, ThePopupMenuDestroyedByAnotherClientEndsItsTrackingAndLeavesNoGrab) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs).Click(kFrame, 3).Wait(10);
  run.Check([&run](CRecordingPuzzleDlg&) { ASSERT_EQ(ShownOfKind(run.backend, SurfaceKind::PopupMenu), 1); });
  run.backend.DestroyElsewhere(SurfaceKind::PopupMenu).Wait(10);
  run.Check([&run](CRecordingPuzzleDlg& dlg) {
    EXPECT_EQ(ShownOfKind(run.backend, SurfaceKind::PopupMenu), 0);
    for (const auto* s : run.backend.VisibleSurfaces()) EXPECT_FALSE(s->grabbed);
    EXPECT_TRUE(dlg.IsWindowEnabled());
  });
  // The menu opens again, and its keyboard works.
  run.backend.Click(kFrame, 3).Wait(10).Key(VK_ESCAPE).Wait(10);
  run.Check([&run](CRecordingPuzzleDlg&) { EXPECT_EQ(ShownOfKind(run.backend, SurfaceKind::PopupMenu), 0); });
  run.Run();
}

}  // namespace
}  // namespace program_test
