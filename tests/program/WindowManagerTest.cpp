// The program under a window manager that moves, refuses or alters its window's moves, and with the About
// box open: where clicks land, how the animations end, which window takes the keyboard.
#include <gtest/gtest.h>

#include "ProgramHarness.h"
#include "platform/linux/WindowSystem.h"

namespace program_test {
namespace {

using Tops = std::vector<int>;
using Surface = platform::CHeadlessBackend::Surface;

// Managers as desktops have them: one that keeps every window where it is, one that keeps the top edge
// on the screen, one that keeps a 24-pixel strip of the window above the bottom of a 768-pixel screen.
RECT RefuseEveryMove(const Surface& surface, const RECT&) {
  return surface.rect;
}
RECT KeepTopOnScreen(const Surface&, const RECT& requested) {
  RECT rc = requested;
  if (rc.top < 0) OffsetRect(&rc, 0, -rc.top);
  return rc;
}
RECT KeepStripVisible(const Surface&, const RECT& requested) {
  RECT rc = requested;
  if (rc.top > 768 - 24) OffsetRect(&rc, 0, 768 - 24 - rc.top);
  return rc;
}

platform::SurfaceId MainSurfaceId(const platform::CHeadlessBackend& backend) {
  const Surface* surface = MainSurface(backend);
  return surface ? surface->id : 0;
}

TEST(WindowManager, AWindowMovedByTheManagerAnswersColourStartAndTilesAtItsNewPlace) {
  ProgramRun run;
  constexpr POINT kMoved{100, 50};
  run.backend.Wait(kRestTimeMs);
  run.backend.Call([&] { run.backend.MoveByManager(MainSurfaceId(run.backend), kMoved); });
  run.backend.Wait(10);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    RECT rc;
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(CRect(rc), CRect(100, 50, 310, 295)) << "GetWindowRect reports where the manager put it";
  });
  // The Colour button, by its place on the moved window.
  run.backend.Click(POINT{kMoved.x + 118, kMoved.y + 34}).Wait(10);
  run.Check([](CRecordingPuzzleDlg& dlg) { EXPECT_EQ(dlg.m_crTheme, RGB(255, 0, 255)); });
  // The last tile, one move from order, slides and solves the game.
  run.Check([](CRecordingPuzzleDlg& dlg) { SetUpOneMoveFromOrder(dlg); });
  run.backend.Click(POINT{kMoved.x + 35 * 4 + 17, kMoved.y + 35 * 5 + 17}).Wait(10);
  run.Check([](CRecordingPuzzleDlg& dlg) {
    EXPECT_EQ(dlg.m_game.m_nMoves, 1);
    EXPECT_TRUE(dlg.m_game.m_bSolved);
  });
  // Start begins a new game: new tile windows, no moves.
  auto before = std::make_shared<std::vector<HWND>>();
  run.Check([before](CRecordingPuzzleDlg& dlg) { *before = TileHandles(dlg); });
  run.backend.Click(POINT{kMoved.x + 48, kMoved.y + 34}).Wait(10);
  run.Check([before](CRecordingPuzzleDlg& dlg) {
    EXPECT_EQ(dlg.m_game.m_nMoves, 0);
    EXPECT_NE(TileHandles(dlg), *before);
  });
  run.Run();
}

TEST(WindowManager, ADragAfterTheManagersMoveStartsFromWhereTheWindowReallyIs) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.backend.Call([&] { run.backend.MoveByManager(MainSurfaceId(run.backend), POINT{100, 50}); });
  run.backend.Wait(10);
  // A drag by the background below the board, 40 pixels right and 30 down, from the moved place.
  run.backend.MouseDown(POINT{120, 270});
  run.Check([](CRecordingPuzzleDlg& dlg) { EXPECT_TRUE(dlg.m_bDragArmed); });
  run.backend.MouseMove(POINT{140, 285}).MouseMove(POINT{160, 300}).MouseUp(POINT{160, 300}).Wait(10);
  run.Check([](CRecordingPuzzleDlg& dlg) {
    RECT rc;
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(rc.left, 140);
    EXPECT_EQ(rc.top, 80);
  });
  run.Run();
}

TEST(WindowManager, ADropInWhoseMovesAreRefusedEndsFromAboveAndFromBelow) {
  {
    ProgramRun run;
    run.backend.SetWindowManager(RefuseEveryMove);
    run.backend.Wait(5000);
    run.Check([](CRecordingPuzzleDlg& dlg) { EXPECT_FALSE(dlg.m_bDropIn); });
    run.Run();
    // The first step is asked for and refused; the next tick finds the window still at the top and ends.
    EXPECT_EQ(MoveTops(run.backend), (Tops{131}));
    EXPECT_EQ(run.app.m_nDropTicksAtEnd, 2);
  }
  {
    ProgramRun run;
    run.backend.SetWindowManager(RefuseEveryMove);
    run.backend.Wait(50);
    // The manager itself puts the window below its target before the first step.
    run.backend.Call([&] { run.backend.MoveByManager(MainSurfaceId(run.backend), POINT{407, 600}); });
    run.backend.Wait(5000);
    run.Run();
    EXPECT_EQ(MoveTops(run.backend), (Tops{431}));
    EXPECT_EQ(run.app.m_nDropTicksAtEnd, 2);
  }
}

TEST(WindowManager, ADropInTowardsATargetAboveTheScreenEndsWhenTheManagerKeepsTheTopOnIt) {
  // The screen is lower than the window: the target is 100 - 122 = -22, which this manager never allows.
  ProgramRun run(1024, 200);
  run.backend.SetWindowManager(KeepTopOnScreen);
  run.backend.Wait(5000);
  run.Check([](CRecordingPuzzleDlg& dlg) {
    RECT rc;
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(rc.top, 0);
  });
  run.Run();
  EXPECT_EQ(MoveTops(run.backend), (Tops{-11}));
  EXPECT_EQ(run.app.m_nDropTicksAtEnd, 2);
}

TEST(WindowManager, AnExitThatTheManagerHoldsOnTheScreenEndsWhereItStops) {
  ProgramRun run;
  run.backend.SetWindowManager(KeepStripVisible);
  run.backend.Wait(kRestTimeMs);
  run.Command(ID_EXIT);
  run.backend.Wait(60000);
  EXPECT_EQ(run.Run(), 0);
  EXPECT_EQ(run.app.GetModalResult(), IDCANCEL);
  const Tops tops = MoveTops(run.backend);
  // After the drop-in and the placement: 752 and 756 are held at 744, and the step after the second
  // finds the window where the one before it did.
  EXPECT_EQ(Tops(tops.end() - 6, tops.end()), (Tops{514, 641, 704, 736, 752, 756}));
  EXPECT_EQ(run.backend.NowMs(), kRestTimeMs + 600);
}

TEST(WindowManager, AnExitWhoseEveryMoveIsRefusedEndsAfterOneWait) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.backend.Call([&] { run.backend.SetWindowManager(RefuseEveryMove); });
  run.Command(ID_EXIT);
  run.backend.Wait(60000);
  EXPECT_EQ(run.Run(), 0);
  EXPECT_EQ(MoveTops(run.backend).back(), 514);
  EXPECT_EQ(run.backend.NowMs(), kRestTimeMs + 100);
}

const Surface* AboutBox(const platform::CHeadlessBackend& backend) {
  for (const Surface* s : backend.VisibleSurfaces()) {
    if (s->desc.kind == platform::SurfaceKind::Dialog) return s;
  }
  return nullptr;
}

int DialogCount(const platform::CHeadlessBackend& backend) {
  int count = 0;
  for (const Surface* s : backend.VisibleSurfaces()) count += s->desc.kind == platform::SurfaceKind::Dialog;
  return count;
}

// The About box is open and active, its surface in front, and keys reach it.
void ExpectAboutBoxActive(ProgramRun& run) {
  run.Check([&run](CRecordingPuzzleDlg& dlg) {
    ASSERT_NE(dlg.m_pAboutDlg, nullptr);
    EXPECT_EQ(platform::CWindowSystem::Current()->GetActive(), dlg.m_pAboutDlg->m_hWnd);
    ASSERT_NE(AboutBox(run.backend), nullptr);
    EXPECT_EQ(run.backend.VisibleSurfaces().back(), AboutBox(run.backend));
  });
}

TEST(Modality, WhateverBringsTheMainWindowForwardBringsTheOpenAboutBoxInstead) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Command(ID_INFO);
  run.backend.Wait(10);
  run.backend.TrayMouse(WM_LBUTTONDOWN).TrayMouse(WM_LBUTTONUP).Wait(10);
  ExpectAboutBoxActive(run);
  // Escape reaches the box and closes it; the main window is active again.
  run.backend.Key(VK_ESCAPE).Wait(10);
  run.Check([&run](CRecordingPuzzleDlg& dlg) {
    EXPECT_EQ(AboutBox(run.backend), nullptr);
    EXPECT_EQ(platform::CWindowSystem::Current()->GetActive(), dlg.m_hWnd);
  });
  // Again, now with a click on the disabled main window, which does nothing else.
  run.Command(ID_INFO);
  run.backend.Wait(10);
  run.backend.Click(AtRest(118, 34)).Wait(10);
  ExpectAboutBoxActive(run);
  run.Check([](CRecordingPuzzleDlg& dlg) { EXPECT_EQ(dlg.m_crTheme, RGB(255, 0, 0)); });
  run.backend.Key(VK_RETURN).Wait(10);
  run.Check([&run](CRecordingPuzzleDlg&) { EXPECT_EQ(AboutBox(run.backend), nullptr); });
  run.Run();
}

TEST(Modality, InformationWhileTheBoxIsOpenBringsItForwardInsteadOfASecondOne) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Command(ID_INFO);
  run.backend.Wait(10);
  run.Command(ID_INFO);
  run.backend.Wait(10);
  run.Command(ID_APP_ABOUT);
  run.backend.Wait(10);
  run.Check([&run](CRecordingPuzzleDlg&) { EXPECT_EQ(DialogCount(run.backend), 1); });
  ExpectAboutBoxActive(run);
  // One OK closes the one box; nothing was stacked behind it.
  run.backend.Key(VK_RETURN).Wait(10);
  run.Check([&run](CRecordingPuzzleDlg& dlg) {
    EXPECT_EQ(DialogCount(run.backend), 0);
    EXPECT_EQ(dlg.m_pAboutDlg, nullptr);
    EXPECT_TRUE(dlg.IsWindowEnabled());
  });
  run.Run();
}

TEST(Modality, ExitWhileTheBoxIsOpenEndsTheBoxThenDropsTheWindowAndEndsTheProgram) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Command(ID_INFO);
  run.backend.Wait(10);
  run.Command(ID_EXIT);
  // Nothing more in the script: the program must end by itself.
  EXPECT_EQ(run.Run(), 0);
  EXPECT_FALSE(run.app.GetPuzzleDlg());
  EXPECT_EQ(run.app.GetModalResult(), IDCANCEL);
  EXPECT_EQ(MoveTops(run.backend).back(), 767);
  EXPECT_TRUE(run.backend.VisibleSurfaces().empty());
  EXPECT_TRUE(run.backend.TrayIcons().empty());
}

}  // namespace
}  // namespace program_test
