// The drop-in from the top of the screen and the exit off its bottom edge, step by step on virtual time.
#include <gtest/gtest.h>

#include "ProgramHarness.h"

namespace program_test {
namespace {

using Tops = std::vector<int>;

TEST(DropIn, OnA768PixelScreenItPassesTheHalvingStepsAndRestsAt261) {
  ProgramRun run;
  run.backend.Wait(5000);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    EXPECT_FALSE(dlg.m_bDropIn);
    // The timer stopped with the arrival: nine ticks, one for each step.
    EXPECT_EQ(dlg.m_nDropTicks, 9);
  });
  run.Run();
  const auto& moves = run.backend.Moves();
  EXPECT_EQ(MoveTops(run.backend), (Tops{131, 196, 229, 245, 253, 257, 259, 260, 261}));
  for (std::size_t i = 0; i < moves.size(); ++i) {
    EXPECT_EQ(moves[i].timeMs, 100 * (i + 1)) << "step " << i + 1;
    EXPECT_EQ(CRect(moves[i].rect).Width(), 210);
    EXPECT_EQ(moves[i].rect.left, 407);
  }
}

TEST(DropIn, OnA600PixelScreenItRestsAt177) {
  ProgramRun run(1024, 600);
  run.backend.Wait(5000);
  run.Run();
  EXPECT_EQ(MoveTops(run.backend), (Tops{89, 133, 155, 166, 172, 175, 176, 177}));
  EXPECT_EQ(run.app.m_nDropTicksAtEnd, 8);
}

TEST(DropIn, AWindowDraggedBelowItsTargetComesBackAndEnds) {
  ProgramRun run;
  // After the first step (top 131) the window is dragged 300 pixels down, below the target 262, in three
  // moves that each stay over the window.
  run.backend.Wait(150);
  run.backend.MouseDown(POINT{417, 231});
  for (int y : {331, 431, 531}) run.backend.MouseMove(POINT{417, y});
  run.backend.MouseUp(POINT{417, 531});
  run.backend.Wait(5000);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    EXPECT_FALSE(dlg.m_bDropIn);
    RECT rc;
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(rc.top, 263);
  });
  run.Run();
  // From below, each step halves the distance rounded towards the target, which leaves the window one
  // pixel below it; the step that no longer moves it ends the drop-in.
  EXPECT_EQ(MoveTops(run.backend), (Tops{131, 231, 331, 431, 347, 305, 284, 273, 268, 265, 264, 263, 263}));
  EXPECT_EQ(run.app.m_nDropTicksAtEnd, 10);
}

TEST(DropIn, AScreenLowerThanTheWindowEndsTheDropInToo) {
  ProgramRun run(1024, 200);
  run.backend.Wait(5000);
  run.Run();
  // The target is 100 - 122 = -22: the window rises towards it from 0.
  EXPECT_EQ(MoveTops(run.backend), (Tops{-11, -16, -19, -20, -21, -21}));
  EXPECT_EQ(run.app.m_nDropTicksAtEnd, 6);
}

TEST(DropIn, AWindowAlreadyOnItsTargetEndsWithTheNextStep) {
  ProgramRun run;
  run.Check([&](CRecordingPuzzleDlg& dlg) { dlg.MoveWindow(407, 262, 210, 245, TRUE); });
  run.backend.Wait(5000);
  run.Run();
  EXPECT_EQ(MoveTops(run.backend), (Tops{262, 262}));
  EXPECT_EQ(run.app.m_nDropTicksAtEnd, 1);
}

TEST(DropIn, ADragFromAboveKeepsTheStopTestOfTheApproachFromAbove) {
  ProgramRun run;
  // After the second step (top 196) the window is dragged up by 100 pixels, by the background below the
  // header.
  run.backend.Wait(250);
  run.backend.MouseDown(POINT{507, 256});
  for (int y : {206, 156}) run.backend.MouseMove(POINT{507, y});
  run.backend.MouseUp(POINT{507, 156});
  run.backend.Wait(5000);
  run.Run();
  EXPECT_EQ(MoveTops(run.backend), (Tops{131, 196, 146, 96, 179, 220, 241, 251, 256, 259, 260, 261}));
}

// Starts the exit from the given top, once the drop-in is over, and returns the run's moves after it.
struct ExitRun {
  explicit ExitRun(int startTop) {
    run.backend.Wait(kRestTimeMs);
    run.Check([startTop](CRecordingPuzzleDlg& dlg) {
      dlg.MoveWindow(407, startTop, 210, 245, TRUE);
      dlg.PostMessage(WM_COMMAND, ID_EXIT, 0);
    });
    run.backend.Wait(60000);
    run.Run();
    const auto& moves = run.backend.Moves();
    exitMoves.assign(moves.begin() + 10, moves.end());  // after the nine drop-in steps and the placement
  }
  Tops ExitTops() const {
    Tops tops;
    for (const auto& move : exitMoves) tops.push_back(move.rect.top);
    return tops;
  }

  ProgramRun run;
  std::vector<platform::CHeadlessBackend::MoveRecord> exitMoves;
};

TEST(Exit, FromTheRestingPlaceItDropsOffTheBottomAndEndsWithoutAWaitAfterTheLastStep) {
  ExitRun exit(261);
  EXPECT_EQ(exit.ExitTops(), (Tops{514, 641, 704, 736, 752, 760, 764, 766, 767}));
  for (std::size_t i = 0; i < exit.exitMoves.size(); ++i) {
    EXPECT_EQ(exit.exitMoves[i].timeMs, kRestTimeMs + 100 * i) << "step " << i + 1;
  }
  EXPECT_EQ(exit.run.app.GetModalResult(), IDCANCEL);
  EXPECT_EQ(exit.run.backend.NowMs(), exit.exitMoves.back().timeMs);
  EXPECT_TRUE(exit.run.backend.VisibleSurfaces().empty());
}

TEST(Exit, FromAboveTheScreen) {
  ExitRun exit(-50);
  EXPECT_EQ(exit.ExitTops(), (Tops{359, 563, 665, 716, 742, 755, 761, 764, 766, 767}));
  EXPECT_EQ(exit.run.app.GetModalResult(), IDCANCEL);
}

TEST(Exit, FromTheLastRowOrBelowItTakesOneStep) {
  for (auto [start, end] : {std::pair{767, 767}, std::pair{768, 768}, std::pair{900, 834}}) {
    ExitRun exit(start);
    EXPECT_EQ(exit.ExitTops(), (Tops{end})) << "from " << start;
    EXPECT_EQ(exit.run.app.GetModalResult(), IDCANCEL);
    EXPECT_EQ(exit.run.backend.NowMs(), kRestTimeMs) << "from " << start;
  }
}

TEST(Exit, TheWindowTakesTheFrameWidthAndKeepsItsLeftEdge) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Check([](CRecordingPuzzleDlg& dlg) {
    dlg.MoveWindow(300, 261, 500, 245, TRUE);
    dlg.PostMessage(WM_COMMAND, ID_EXIT, 0);
  });
  run.backend.Wait(60000);
  run.Run();
  const auto& last = run.backend.Moves().back();
  EXPECT_EQ(CRect(last.rect), CRect(300, 767, 510, 767 + 245));
}

TEST(Exit, AnExitDuringTheDropInEndsTheProgramToo) {
  ProgramRun run;
  run.backend.Wait(250);
  run.Command(ID_EXIT);
  run.backend.Wait(60000);
  run.Run();
  EXPECT_EQ(run.app.GetModalResult(), IDCANCEL);
  EXPECT_EQ(MoveTops(run.backend).back(), 767);
}

}  // namespace
}  // namespace program_test
