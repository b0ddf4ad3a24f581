// The mouse on the main window: header buttons with inclusive edges, dragging the window, the cursors.
#include <gtest/gtest.h>

#include "ProgramHarness.h"

namespace program_test {
namespace {

// A point of the window's background: the left margin beside the board.
constexpr POINT kBackground = AtRest(10, 100);

// A script step that notes the tile windows' handles, and a check that a new game replaced them or not.
struct GameWatch {
  std::vector<HWND> handles;
  void Note(ProgramRun& run) {
    run.Check([this](CRecordingPuzzleDlg& dlg) { handles = TileHandles(dlg); });
  }
  void ExpectNewGame(ProgramRun& run, bool expected, const char* what) {
    run.backend.Wait(10);
    run.Check([this, expected, what](CRecordingPuzzleDlg& dlg) {
      EXPECT_EQ(TileHandles(dlg) != handles, expected) << what;
    });
  }
};

TEST(Mouse, TheHeaderButtonsTakeInTheirRightAndBottomEdges) {
  ProgramRun run;
  GameWatch watch;
  run.backend.Wait(kRestTimeMs);
  // The Start button is (35, 21, 62, 48): its far corner answers, one pixel beyond it does not.
  watch.Note(run);
  run.backend.Click(AtRest(62, 48));
  watch.ExpectNewGame(run, true, "(62, 48)");
  watch.Note(run);
  run.backend.Click(AtRest(63, 48));
  watch.ExpectNewGame(run, false, "(63, 48)");
  run.backend.Click(AtRest(62, 49));
  watch.ExpectNewGame(run, false, "(62, 49)");
  run.backend.Click(AtRest(35, 21));
  watch.ExpectNewGame(run, true, "(35, 21)");
  run.Run();
}

TEST(Mouse, APressOnAButtonAndAReleaseElsewhereRunsNothingAndArmsNoDrag) {
  ProgramRun run;
  GameWatch watch;
  run.backend.Wait(kRestTimeMs);
  watch.Note(run);
  run.backend.MouseDown(AtRest(40, 30));
  run.Check([](CRecordingPuzzleDlg& dlg) { EXPECT_TRUE(dlg.m_bPressed); });
  run.backend.MouseUp(kBackground);
  run.Check([](CRecordingPuzzleDlg& dlg) {
    EXPECT_FALSE(dlg.m_bPressed);
    EXPECT_FALSE(dlg.m_bDragArmed);
  });
  watch.ExpectNewGame(run, false, "press on Start, release on the background");
  run.Run();
}

TEST(Mouse, TheReleasePointChoosesTheButton) {
  ProgramRun run;
  GameWatch watch;
  run.backend.Wait(kRestTimeMs);
  watch.Note(run);
  run.backend.MouseDown(AtRest(80, 30)).MouseUp(AtRest(40, 30));  // About, then Start
  watch.ExpectNewGame(run, true, "press on About, release on Start");
  run.backend.MouseDown(AtRest(40, 30)).MouseUp(AtRest(110, 30));  // Start, then Colour
  run.backend.Wait(10);
  run.Check([](CRecordingPuzzleDlg& dlg) { EXPECT_EQ(dlg.m_crTheme, RGB(255, 0, 255)); });
  run.backend.MouseDown(AtRest(40, 30)).MouseUp(AtRest(150, 30));  // Start, then Exit
  run.backend.Wait(60000);
  run.Run();
  EXPECT_EQ(run.app.GetModalResult(), IDCANCEL);
  const std::vector<int> tops = MoveTops(run.backend);
  const std::vector<int> exit(tops.end() - 9, tops.end());
  EXPECT_EQ(exit, (std::vector<int>{514, 641, 704, 736, 752, 760, 764, 766, 767}));
}

TEST(Mouse, DraggingTheBackgroundMovesTheWindowUnderTheGripCursor) {
  ProgramRun run;
  const auto cursor = [&run] { return MainSurface(run.backend)->cursor; };
  run.backend.Wait(kRestTimeMs);
  run.backend.MouseMove(kBackground);
  run.Check([&](CRecordingPuzzleDlg&) { EXPECT_EQ(cursor(), PointerCursor()); });
  run.backend.MouseDown(kBackground);
  run.backend.MouseMove(POINT{kBackground.x + 20, kBackground.y + 30});
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    RECT rc;
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(CRect(rc), CRect(427, 291, 637, 536));
    EXPECT_TRUE(dlg.m_bDragging);
  });
  // The cursor follows the state the previous move left: the next event shows the grip.
  run.backend.MouseMove(POINT{kBackground.x + 25, kBackground.y + 30});
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    EXPECT_EQ(cursor(), GripCursor());
    RECT rc;
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(rc.left, 432);
  });
  run.backend.MouseUp(POINT{kBackground.x + 25, kBackground.y + 30});
  run.backend.MouseMove(POINT{kBackground.x + 26, kBackground.y + 30});
  run.backend.MouseMove(POINT{kBackground.x + 27, kBackground.y + 30});
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    EXPECT_FALSE(dlg.m_bDragging);
    EXPECT_TRUE(dlg.m_bDragArmed);  // a release leaves the drag armed
    EXPECT_EQ(cursor(), PointerCursor());
    RECT rc;
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(rc.left, 432);
  });
  run.Run();
}

// Starts a drag of the background of the resting window: two moves with the left button, the grip shows.
void StartDrag(ProgramRun& run) {
  run.backend.Wait(kRestTimeMs);
  run.backend.MouseDown(kBackground);
  run.backend.MouseMove(POINT{kBackground.x + 5, kBackground.y});
  run.backend.MouseMove(POINT{kBackground.x + 10, kBackground.y});
  run.Check([&](CRecordingPuzzleDlg&) { EXPECT_EQ(MainSurface(run.backend)->cursor, GripCursor()); });
}

// Two more moves after the drag was spoiled: the window stays and the pointing hand comes back.
void ExpectNoMove(ProgramRun& run) {
  run.backend.MouseMove(POINT{kBackground.x + 30, kBackground.y + 40});
  run.backend.MouseMove(POINT{kBackground.x + 50, kBackground.y + 60});
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    RECT rc;
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(CRect(rc), CRect(417, 261, 627, 506));
    EXPECT_FALSE(dlg.m_bDragging);
    EXPECT_EQ(MainSurface(run.backend)->cursor, PointerCursor());
  });
}

TEST(Mouse, ADragWithShiftDoesNotMove) {
  ProgramRun run;
  StartDrag(run);
  run.backend.Modifiers(MK_SHIFT);
  ExpectNoMove(run);
  run.Run();
}

TEST(Mouse, ADragWithCtrlDoesNotMove) {
  ProgramRun run;
  StartDrag(run);
  run.backend.Modifiers(MK_CONTROL);
  ExpectNoMove(run);
  run.Run();
}

TEST(Mouse, ADragWithTheRightButtonAlsoDownDoesNotMove) {
  ProgramRun run;
  StartDrag(run);
  run.backend.MouseDown(POINT{kBackground.x + 10, kBackground.y}, 3);
  ExpectNoMove(run);
  run.backend.MouseUp(POINT{kBackground.x + 50, kBackground.y + 60}, 3);
  run.Run();
}

TEST(Mouse, AfterASolveAPressOverTheBoardArmsADragExceptInTheFirstCell) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Check([&](CRecordingPuzzleDlg& dlg) { SetUpOneMoveFromOrder(dlg); });
  run.backend.Click(CellAtRest(15));
  run.backend.Wait(10);
  // A press on a button first sets m_bPressed; the press in the first cell clears it and arms nothing.
  run.backend.MouseDown(AtRest(40, 30));
  run.backend.MouseDown(CellAtRest(0));
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    ASSERT_TRUE(dlg.m_game.m_bSolved);
    EXPECT_FALSE(dlg.m_bPressed);
    EXPECT_FALSE(dlg.m_bDragArmed);
  });
  // Both edges of the first cell (35, 70, 70, 105) count, as for the buttons.
  run.backend.MouseDown(AtRest(70, 105));
  run.Check([&](CRecordingPuzzleDlg& dlg) { EXPECT_FALSE(dlg.m_bDragArmed); });
  run.backend.MouseDown(AtRest(71, 105));
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    EXPECT_TRUE(dlg.m_bDragArmed);
    EXPECT_EQ(dlg.m_ptDragAnchor, CPoint(71, 105));
  });
  run.backend.MouseDown(CellAtRest(5));
  run.backend.MouseMove(POINT{CellAtRest(5).x - 7, CellAtRest(5).y + 9});
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    RECT rc;
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(CRect(rc), CRect(400, 270, 610, 515));
  });
  run.Run();
}

TEST(Mouse, AnArmedDragOutlivesTheReleaseAndMovesByTheOldAnchor) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.backend.MouseDown(kBackground).MouseUp(kBackground);  // armed at (10, 100)
  // A press on a tile window is a move of the game; the main window does not see it.
  run.backend.MouseDown(CellAtRest(0));
  run.Check([&](CRecordingPuzzleDlg& dlg) { EXPECT_TRUE(dlg.m_bDragArmed); });
  // Dragged onto the rim with the left button still down, the window moves by the offset from the anchor.
  run.backend.MouseMove(AtRest(1, 150));
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    RECT rc;
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(rc.left, 407 - 9);
    EXPECT_EQ(rc.top, 261 + 50);
  });
  run.Run();
}

TEST(Mouse, TheCursorOverATileIsTheMainWindowsHand) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.backend.MouseMove(kBackground).MouseMove(CellAtRest(6));
  run.Check([&](CRecordingPuzzleDlg&) { EXPECT_EQ(MainSurface(run.backend)->cursor, PointerCursor()); });
  run.Run();
}

TEST(Mouse, TheCursorsAreThe32By32HandsWithTheirHotSpots) {
  EXPECT_EQ(GripCursor()->width, 32);
  EXPECT_EQ(GripCursor()->height, 32);
  EXPECT_EQ(GripCursor()->hotspot.x, 7);
  EXPECT_EQ(GripCursor()->hotspot.y, 7);
  EXPECT_EQ(PointerCursor()->width, 32);
  EXPECT_EQ(PointerCursor()->height, 32);
  EXPECT_EQ(PointerCursor()->hotspot.x, 12);
  EXPECT_EQ(PointerCursor()->hotspot.y, 1);
  // The pointing hand's fingertip is the black outline at its hot spot; both have transparent corners.
  EXPECT_EQ(PointerCursor()->argb[1 * 32 + 12], 0xFF000000u);
  EXPECT_EQ(PointerCursor()->argb[0] >> 24, 0u);
  EXPECT_EQ(GripCursor()->argb[0] >> 24, 0u);
}

}  // namespace
}  // namespace program_test
