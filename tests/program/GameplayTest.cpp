// Playing a game: moves through the tile windows, the solve and its result panel, the clock, new games.
#include <gtest/gtest.h>

#include "ProgramHarness.h"
#include "platform/api/DC.h"
#include "platform/api/Gdi.h"

namespace program_test {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);

// A cell beside the hole in its row: the one on its left, or on its right when the hole is in column 0.
int MovableCellNextToHole(const CPuzzleGame& game) {
  const int hole = game.m_nHole;
  if (hole % game.m_nSide != 0) return hole - 1;
  return hole + 1;
}

// A cell that is no neighbour of the hole.
int FarCellFromHole(const CPuzzleGame& game) {
  for (int cell = 0; cell < game.m_nCells; ++cell) {
    const int dr = cell / game.m_nSide - game.m_nHole / game.m_nSide;
    const int dc = cell % game.m_nSide - game.m_nHole % game.m_nSide;
    if (dr * dr + dc * dc > 1) return cell;
  }
  return -1;
}

TEST(Gameplay, AClickOnATileNextToTheHoleSlidesItAndCountsOneMove) {
  ProgramRun run;
  int moved = -1;
  int hole = -1;
  int number = 0;
  run.backend.Wait(kRestTimeMs);
  // The cell is only known once the program runs, so the rest of the script is written from there.
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    hole = dlg.m_game.m_nHole;
    moved = MovableCellNextToHole(dlg.m_game);
    number = dlg.m_game.m_board[static_cast<std::size_t>(moved)];
    RECT rc;
    dlg.m_tiles[static_cast<std::size_t>(moved)]->GetWindowRect(&rc);
    run.backend.Click(POINT{rc.left + 10, rc.top + 10}).Wait(10);
    run.Check([&](CRecordingPuzzleDlg& later) {
      EXPECT_EQ(later.m_game.m_nMoves, 1);
      EXPECT_EQ(later.m_game.m_nHole, moved);
      EXPECT_EQ(later.m_tiles[static_cast<std::size_t>(hole)]->m_nNumber, number);
      EXPECT_EQ(later.m_tiles[static_cast<std::size_t>(moved)]->m_nNumber, 0);
      // The press on a tile is a move only: it arms no drag of the window.
      EXPECT_FALSE(later.m_bDragArmed);
    });
  });
  run.Run();
}

// What the screen shows inside a cell, its bevel left out: the colour of its corner and how many pixels
// differ from it (the number's ink).
struct CellLook {
  std::uint32_t face = 0;
  int inked = 0;
};

CellLook LookAtCell(const platform::CHeadlessBackend& backend, const CPuzzleDlg& dlg, int cell) {
  RECT rc;
  dlg.m_tiles[static_cast<std::size_t>(cell)]->GetWindowRect(&rc);
  CellLook look;
  look.face = backend.PixelAt(POINT{rc.left + 2, rc.top + 2}).value_or(0xFF000000);
  for (LONG y = rc.top + 2; y < rc.bottom - 2; ++y) {
    for (LONG x = rc.left + 2; x < rc.right - 2; ++x) look.inked += backend.PixelAt(POINT{x, y}) != look.face;
  }
  return look;
}

// The move must reach the screen, not only the numbers: both cells are painted again.
TEST(Gameplay, AfterAMoveTheScreenShowsTheTileInTheOldHoleAndTheHoleWhereTheTileWas) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    const int hole = dlg.m_game.m_nHole;
    const int moved = MovableCellNextToHole(dlg.m_game);
    ASSERT_EQ(LookAtCell(run.backend, dlg, hole).face, 0xFFFFFFu);
    ASSERT_EQ(LookAtCell(run.backend, dlg, moved).face, Screen(RGB(255, 150, 150)));
    RECT rc;
    dlg.m_tiles[static_cast<std::size_t>(moved)]->GetWindowRect(&rc);
    run.backend.Click(POINT{rc.left + 10, rc.top + 10}).Wait(10);
    run.Check([&run, hole, moved](CRecordingPuzzleDlg& later) {
      const CellLook tile = LookAtCell(run.backend, later, hole);
      EXPECT_EQ(tile.face, Screen(RGB(255, 150, 150)));
      EXPECT_GT(tile.inked, 10);
      const CellLook emptied = LookAtCell(run.backend, later, moved);
      EXPECT_EQ(emptied.face, 0xFFFFFFu);
      EXPECT_EQ(emptied.inked, 0);
    });
  });
  run.Run();
}

TEST(Gameplay, ClicksOnTheHoleOrOnAFarTileCountNoMove) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    for (int cell : {dlg.m_game.m_nHole, FarCellFromHole(dlg.m_game)}) {
      RECT rc;
      dlg.m_tiles[static_cast<std::size_t>(cell)]->GetWindowRect(&rc);
      run.backend.Click(POINT{rc.left + 17, rc.top + 17});
    }
    run.backend.Wait(10);
    run.Check([&](CRecordingPuzzleDlg& later) { EXPECT_EQ(later.m_game.m_nMoves, 0); });
  });
  run.Run();
}

TEST(Gameplay, TheSolvingClickStopsTheClockHidesTheTilesAndShowsTheResult) {
  ProgramRun run;
  int secondsAtSolve = -1;
  run.backend.Wait(2500);
  run.Check([&](CRecordingPuzzleDlg& dlg) { SetUpOneMoveFromOrder(dlg); });
  run.backend.Click(CellAtRest(15));
  run.backend.Wait(10);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    EXPECT_TRUE(dlg.m_game.m_bSolved);
    EXPECT_TRUE(dlg.m_game.IsInOrder());
    EXPECT_EQ(dlg.m_game.m_nMoves, 1);
    EXPECT_EQ(dlg.m_game.m_nSeconds, 2);
    secondsAtSolve = dlg.m_game.m_nSeconds;
    for (const auto& tile : dlg.m_tiles) EXPECT_FALSE(tile->IsWindowVisible());
    EXPECT_EQ(dlg.m_tiles.size(), 16u);
    // Further moves are refused, whatever the number.
    for (int number = 0; number < 16; ++number) dlg.OnTileClicked(number);
    EXPECT_EQ(dlg.m_game.m_nMoves, 1);
  });
  run.backend.Wait(3000);
  run.Check([&](CRecordingPuzzleDlg& dlg) { EXPECT_EQ(dlg.m_game.m_nSeconds, secondsAtSolve); });
  run.Run();
}

// Whether any pixel of the theme colour shows between two rows of the panel. The panel's rounded corners,
// where the pattern shows through, are left out.
bool HasThemeInk(const platform::CHeadlessBackend& backend, const CWnd& wnd, int top, int bottom) {
  for (int y = top; y < bottom; ++y) {
    for (int x = 30; x < 180; ++x) {
      if (WindowPixel(backend, wnd, x, y) == Screen(kRed)) return true;
    }
  }
  return false;
}

// The pixels of one result line, 18 rows from `top` between x 27 and 183, that differ from the same
// text drawn by the result's font, red on white, centred in the panel's width.
int LineMismatches(const platform::CHeadlessBackend& backend, const CWnd& wnd, const std::string& text,
                   int top) {
  constexpr int kLeft = 17;
  constexpr int kWidth = 176;
  constexpr int kHeight = 18;
  CBitmap bitmap;
  bitmap.CreateBitmap(kWidth, kHeight);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectObject(&bitmap);
  dc.FillSolidRect(0, 0, kWidth, kHeight, RGB(255, 255, 255));
  CFont font;
  CTileWnd::CreateNumberFont(font, &dc, kHeight);
  dc.SelectObject(&font);
  dc.SetTextColor(kRed);
  dc.SetBkMode(TRANSPARENT);
  RECT rc{0, 0, kWidth, kHeight};
  dc.DrawText(text, &rc, DT_CENTER | DT_SINGLELINE);
  int mismatches = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 10; x < kWidth - 10; ++x) {
      if (WindowPixel(backend, wnd, kLeft + x, top + y) != Screen(dc.GetPixel(x, y))) ++mismatches;
    }
  }
  return mismatches;
}

TEST(Gameplay, TheResultPanelShowsTheThreeLinesCentredAtTheirPlaces) {
  ProgramRun run;
  run.backend.Wait(2500);
  run.Check([&](CRecordingPuzzleDlg& dlg) { SetUpOneMoveFromOrder(dlg); });
  run.backend.Click(CellAtRest(15));
  run.backend.Wait(10);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    const std::array<std::string, 3> lines =
        CPuzzleDlg::ResultLines(dlg.m_game.m_nSeconds, dlg.m_game.m_nMoves);
    EXPECT_EQ(lines[0], "おめでとう！！");
    EXPECT_EQ(lines[1], "0 分 2 秒");
    EXPECT_EQ(lines[2], "移動回数 1 回");

    // The panel (17, 69, 193, 228) is white where no text is, over the board and the margins around it.
    for (POINT pt : {POINT{20, 72}, POINT{189, 72}, POINT{36, 200}, POINT{100, 220}, POINT{174, 209}}) {
      EXPECT_EQ(WindowPixel(run.backend, dlg, pt.x, pt.y), 0xFFFFFFu) << pt.x << "," << pt.y;
    }
    // Outside the panel's rounded corner the pattern shows again.
    EXPECT_NE(WindowPixel(run.backend, dlg, 17, 69), 0xFFFFFFu);

    // The lines start at y 78, 105 and 132, each centred between x 17 and 193: each shows exactly what
    // the same font draws of its text on white.
    const int tops[3] = {78, 105, 132};
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(LineMismatches(run.backend, dlg, lines[i], tops[i]), 0) << lines[i];
    }
    // A line of other text would not pass.
    EXPECT_GT(LineMismatches(run.backend, dlg, "移動回数 10 回", tops[2]), 0);
    // Nothing is written above the first line, between the lines or below the last one.
    EXPECT_FALSE(HasThemeInk(run.backend, dlg, 150, 215));
    EXPECT_FALSE(HasThemeInk(run.backend, dlg, 96, 105));
    EXPECT_FALSE(HasThemeInk(run.backend, dlg, 69, 76));
  });
  run.Run();
}

TEST(Gameplay, TheResultLinesFormatMinutesSecondsAndMoves) {
  auto lines = CPuzzleDlg::ResultLines(125, 37);
  EXPECT_EQ(lines[1], "2 分 5 秒");
  EXPECT_EQ(lines[2], "移動回数 37 回");
  lines = CPuzzleDlg::ResultLines(3600, 1000);
  EXPECT_EQ(lines[1], "60 分 0 秒");
  EXPECT_EQ(lines[2], "移動回数 1000 回");
  lines = CPuzzleDlg::ResultLines(0, 1);
  EXPECT_EQ(lines[1], "0 分 0 秒");
}

TEST(Gameplay, TheClockCountsVirtualSecondsAndStartsAgainAtZeroOnStart) {
  ProgramRun run;
  run.backend.Wait(5500);
  run.Check([&](CRecordingPuzzleDlg& dlg) { EXPECT_EQ(dlg.m_game.m_nSeconds, 5); });
  run.Command(ID_START);
  run.backend.Wait(700);  // 6200: the new game's first second is not over
  run.Check([&](CRecordingPuzzleDlg& dlg) { EXPECT_EQ(dlg.m_game.m_nSeconds, 0); });
  run.backend.Wait(400);  // 6600
  run.Check([&](CRecordingPuzzleDlg& dlg) { EXPECT_EQ(dlg.m_game.m_nSeconds, 1); });
  run.backend.Wait(60000);  // a minute later
  run.Check([&](CRecordingPuzzleDlg& dlg) { EXPECT_EQ(dlg.m_game.m_nSeconds, 61); });
  run.Run();
}

TEST(Gameplay, StartWhileSolvedShowsAFreshShuffledBoard) {
  ProgramRun run;
  std::vector<HWND> oldTiles;
  run.backend.Wait(kRestTimeMs);
  run.Check([&](CRecordingPuzzleDlg& dlg) { SetUpOneMoveFromOrder(dlg); });
  run.backend.Click(CellAtRest(15));
  run.backend.Wait(2000);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    ASSERT_TRUE(dlg.m_game.m_bSolved);
    oldTiles = TileHandles(dlg);
  });
  run.backend.Click(AtRest(40, 30));  // the Start button
  run.backend.Wait(10);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    EXPECT_FALSE(dlg.m_game.m_bSolved);
    EXPECT_FALSE(dlg.m_game.IsInOrder());
    EXPECT_EQ(dlg.m_game.m_nMoves, 0);
    EXPECT_EQ(dlg.m_game.m_nSeconds, 0);
    ASSERT_EQ(dlg.m_tiles.size(), 16u);
    for (const auto& tile : dlg.m_tiles) EXPECT_TRUE(tile->IsWindowVisible());
    for (HWND old : oldTiles) EXPECT_EQ(CWnd::FromHandle(old), nullptr);
    // The panel has gone: the tiles cover the board again.
    EXPECT_EQ(WindowPixel(run.backend, dlg, 36, 70), 0xFFFFFFu);  // the white top edge of a tile's bevel
    EXPECT_EQ(WindowPixel(run.backend, dlg, 36, 104), 0u);        // the black bottom edge of it
  });
  run.backend.Wait(1000);
  run.Check([&](CRecordingPuzzleDlg& dlg) { EXPECT_EQ(dlg.m_game.m_nSeconds, 1); });
  run.Run();
}

}  // namespace
}  // namespace program_test
