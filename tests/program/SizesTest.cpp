// Board sizes and screen sizes: the window-size table, the button rectangles, the cells, new games.
#include <gtest/gtest.h>

#include "ProgramHarness.h"

namespace program_test {
namespace {

struct BoardCommand {
  UINT nID;
  int nCells;
  int nSide;
};
constexpr BoardCommand kBoards[] = {
    {ID_BOARD_16, 16, 4}, {ID_BOARD_25, 25, 5}, {ID_BOARD_36, 36, 6},
    {ID_BOARD_49, 49, 7}, {ID_BOARD_64, 64, 8}, {ID_BOARD_100, 100, 10},
};

struct ScreenCommand {
  UINT nID;
  int nPitch;
  int nFontHeight;
  RECT start;  // the Start button; the others follow one pitch apart
};
constexpr ScreenCommand kScreens[] = {
    {ID_SCREEN_SMALL, 35, 18, {35, 21, 62, 48}},
    {ID_SCREEN_MEDIUM, 52, 26, {52, 32, 92, 72}},
    {ID_SCREEN_LARGE, 70, 36, {70, 43, 124, 97}},
};

// The window sizes of the table, by board (rows) and screen size (columns).
constexpr SIZE kWindowSizes[6][3] = {
    {{210, 245}, {312, 364}, {420, 490}}, {{245, 280}, {364, 416}, {490, 560}},
    {{280, 315}, {416, 468}, {560, 630}}, {{315, 350}, {468, 520}, {630, 700}},
    {{350, 385}, {520, 572}, {700, 770}}, {{420, 455}, {624, 676}, {840, 910}},
};

TEST(Sizes, MaxGivesAHundredTilesInA420By455Window) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Command(ID_BOARD_100);
  run.backend.Wait(10);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    RECT rc;
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(CRect(rc), CRect(407, 261, 407 + 420, 261 + 455));
    EXPECT_EQ(dlg.m_game.m_nSide, 10);
    EXPECT_EQ(dlg.m_game.m_nCells, 100);
    ASSERT_EQ(dlg.m_tiles.size(), 100u);
    for (const auto& tile : dlg.m_tiles) EXPECT_TRUE(tile->IsWindowVisible());
    EXPECT_EQ(CRect(dlg.m_tileRects.back()), CRect(350, 385, 385, 420));
    EXPECT_EQ(dlg.m_nLastBoardPos, 5);
    EXPECT_EQ(dlg.m_nLastScreenPos, 0);
    EXPECT_EQ(dlg.m_game.m_nMoves, 0);
    EXPECT_FALSE(dlg.m_game.m_bSolved);
    // The largest number of the board is shown, and the window's shape follows its new size.
    int largest = 0;
    for (const auto& tile : dlg.m_tiles) largest = std::max(largest, tile->m_nNumber);
    EXPECT_EQ(largest, 99);
    EXPECT_FALSE(WindowPixel(run.backend, dlg, 419, 454).has_value());
    EXPECT_EQ(WindowPixel(run.backend, dlg, 418, 227), Screen(RGB(255, 0, 0)));
  });
  run.Run();
}

TEST(Sizes, TheCurrentBoardSizeStillStartsANewGame) {
  ProgramRun run;
  std::vector<HWND> before;
  run.backend.Wait(kRestTimeMs);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    before = TileHandles(dlg);
    dlg.m_game.m_nMoves = 12;
  });
  run.backend.Wait(1500);
  run.Command(ID_BOARD_16);
  run.backend.Wait(10);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    EXPECT_EQ(dlg.m_game.m_nMoves, 0);
    EXPECT_EQ(dlg.m_game.m_nSeconds, 0);
    ASSERT_EQ(dlg.m_tiles.size(), 16u);
    for (HWND old : before) EXPECT_EQ(CWnd::FromHandle(old), nullptr);
    RECT rc;
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(CRect(rc), CRect(407, 261, 617, 506));
  });
  run.Run();
}

TEST(Sizes, EveryBoardAndScreenSizeGivesTheWindowOfTheTable) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  for (std::size_t b = 0; b < std::size(kBoards); ++b) {
    for (std::size_t s = 0; s < std::size(kScreens); ++s) {
      // The board size is chosen at the current screen size, then the screen size: both orders appear.
      run.Command(kBoards[b].nID).Command(kScreens[s].nID);
      run.backend.Wait(10);
      run.Check([&, b, s](CRecordingPuzzleDlg& dlg) {
        SCOPED_TRACE(testing::Message() << "board " << kBoards[b].nCells << ", screen size " << s);
        const SIZE size = kWindowSizes[b][s];
        RECT rc;
        dlg.GetWindowRect(&rc);
        EXPECT_EQ(CRect(rc), CRect(407, 261, 407 + size.cx, 261 + size.cy));
        RECT frame;
        dlg.GetFrameRect(&frame);
        EXPECT_EQ(CRect(frame), CRect(0, 0, size.cx, size.cy));
        EXPECT_EQ(dlg.m_nScreenSize, static_cast<int>(s));
        EXPECT_EQ(dlg.m_nFontHeight, kScreens[s].nFontHeight);
        EXPECT_EQ(dlg.m_nLastScreenPos, static_cast<int>(s));
        EXPECT_EQ(dlg.m_nLastBoardPos, static_cast<int>(b));
        EXPECT_EQ(dlg.m_game.m_nSide, kBoards[b].nSide);
        const int p = kScreens[s].nPitch;
        for (int i = 0; i < CPuzzleDlg::kButtonCount; ++i) {
          CRect expected(kScreens[s].start);
          expected.OffsetRect(i * p, 0);
          EXPECT_EQ(CRect(dlg.m_rcButtons[static_cast<std::size_t>(i)]), expected) << "button " << i;
        }
        ASSERT_EQ(dlg.m_tiles.size(), static_cast<std::size_t>(kBoards[b].nCells));
        EXPECT_EQ(CRect(dlg.m_tileRects.front()), CRect(p, 2 * p, 2 * p, 3 * p));
        EXPECT_EQ(dlg.m_tiles.front()->m_nFontHeight, kScreens[s].nFontHeight);
        RECT tile;
        dlg.m_tiles.back()->GetWindowRect(&tile);
        const int n = kBoards[b].nSide;
        EXPECT_EQ(CRect(tile), CRect(407 + p * n, 261 + p * (n + 1), 407 + p * (n + 1), 261 + p * (n + 2)));
      });
    }
  }
  run.Run();
}

TEST(Sizes, TheSameScreenSizeAgainStillStartsANewGame) {
  ProgramRun run;
  std::vector<HWND> before;
  run.backend.Wait(kRestTimeMs);
  run.Check([&](CRecordingPuzzleDlg& dlg) { before = TileHandles(dlg); });
  run.Command(ID_SCREEN_SMALL);
  run.backend.Wait(10);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    for (HWND old : before) EXPECT_EQ(CWnd::FromHandle(old), nullptr);
    EXPECT_EQ(dlg.m_tiles.size(), 16u);
  });
  run.Run();
}

TEST(Sizes, ALargeWindowKeepsItsCornerAndMayReachPastTheScreen) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Command(ID_SCREEN_LARGE).Command(ID_BOARD_100);
  run.backend.Wait(10);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    RECT rc;
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(CRect(rc), CRect(407, 261, 407 + 840, 261 + 910));
    EXPECT_EQ(dlg.m_tiles.size(), 100u);
  });
  run.Run();
}

}  // namespace
}  // namespace program_test
