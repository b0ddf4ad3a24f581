// The program's start: the first placement, the start values, the first board, the keyboard, the end.
#include <gtest/gtest.h>

#include <algorithm>

#include "ProgramHarness.h"
#include "platform/linux/FontCatalog.h"
#include "platform/linux/WindowSystem.h"

namespace program_test {
namespace {

TEST(Startup, TheWindowStartsCentredAtTheTopWithTheRedThemeAndAFreshBoard) {
  ProgramRun run;
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    RECT rc;
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(CRect(rc), CRect(407, 0, 617, 245));
    EXPECT_EQ(dlg.GetWindowText(), "Tilvane");

    EXPECT_EQ(dlg.m_crTheme, RGB(255, 0, 0));
    EXPECT_EQ(dlg.m_crThemeLight, RGB(255, 150, 150));
    EXPECT_EQ(dlg.m_nPatternStep, 7);
    EXPECT_EQ(dlg.m_nScreenSize, 0);
    EXPECT_EQ(dlg.m_nFontHeight, 18);
    // The check marks stand on red, the second step, the small size and the 4 x 4 board.
    EXPECT_EQ(dlg.m_nLastColorPos, 0);
    EXPECT_EQ(dlg.m_nLastPatternPos, 1);
    EXPECT_EQ(dlg.m_nLastScreenPos, 0);
    EXPECT_EQ(dlg.m_nLastBoardPos, 0);
    EXPECT_FALSE(dlg.m_bPressed);
    EXPECT_FALSE(dlg.m_bDragArmed);
    EXPECT_FALSE(dlg.m_bDragging);
    EXPECT_TRUE(dlg.m_bDropIn);
    EXPECT_EQ(dlg.m_hIcon, LoadIcon(IDR_MAINFRAME));
    // Icon 102 serves as both the big and the small icon of the window, in its 32 and 16 pixel sizes, with
    // transparent corners.
    ASSERT_NE(dlg.m_hIcon, nullptr);
    ASSERT_EQ(dlg.m_hIcon->images.size(), 2u);
    EXPECT_EQ(dlg.m_hIcon->images[0].width, 32);
    EXPECT_EQ(dlg.m_hIcon->images[1].width, 16);
    for (const platform::PixelImage& image : dlg.m_hIcon->images) EXPECT_EQ(image.argb.front() >> 24, 0u);
    EXPECT_EQ(MainSurface(run.backend)->icons.size(), 4u);

    const CPuzzleGame& game = dlg.m_game;
    EXPECT_EQ(game.m_nSide, 4);
    EXPECT_EQ(game.m_nCells, 16);
    EXPECT_EQ(game.m_nMoves, 0);
    EXPECT_EQ(game.m_nSeconds, 0);
    EXPECT_FALSE(game.m_bSolved);
    EXPECT_FALSE(game.IsInOrder());
    std::vector<int> sorted = game.m_board;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < 16; ++i) EXPECT_EQ(sorted[static_cast<std::size_t>(i)], i);
    EXPECT_EQ(game.m_board[static_cast<std::size_t>(game.m_nHole)], 0);

    ASSERT_EQ(dlg.m_tiles.size(), 16u);
    for (std::size_t i = 0; i < 16; ++i) {
      const CTileWnd& tile = *dlg.m_tiles[i];
      EXPECT_TRUE(tile.IsWindowVisible()) << "tile " << i;
      EXPECT_EQ(tile.m_nNumber, game.m_board[i]) << "tile " << i;
      EXPECT_EQ(tile.m_nFontHeight, 18);
      EXPECT_EQ(tile.m_crText, RGB(255, 0, 0));
      EXPECT_EQ(tile.m_crFace, RGB(255, 150, 150));
      RECT cell;
      tile.GetWindowRect(&cell);
      const int p = 35;
      const int c = static_cast<int>(i % 4);
      const int r = static_cast<int>(i / 4);
      EXPECT_EQ(CRect(cell), CRect(407 + p * (c + 1), p * (r + 2), 407 + p * (c + 2), p * (r + 3)))
          << "tile " << i;
    }
  });
  run.Run();
  EXPECT_EQ(run.app.GetModalResult(), -1);
}

// The first frame needs the number font and nothing else: the main window's nominal template size and
// the stock font handed back by SelectObject open no font file. The About box's font comes with the box.
TEST(Startup, TheFirstFramesOnlyFontIsTheNumberFontAndTheDialogFontWaitsForTheAboutBox) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    dlg.m_game.m_bSolved = TRUE;
    dlg.Invalidate();
  });
  run.backend.Wait(10);
  run.Check([&](CRecordingPuzzleDlg&) {
    EXPECT_EQ(platform::OpenedFamilies(), (std::vector<std::string>{"IPAGothic"}));
  });
  run.Command(ID_INFO);
  run.backend.Wait(10);
  run.Check([&](CRecordingPuzzleDlg&) {
    EXPECT_EQ(platform::OpenedFamilies(), (std::vector<std::string>{"IPAGothic", "IPAPGothic"}));
  });
  run.backend.Key(VK_RETURN);
  run.Run();
}

TEST(Startup, TheLayoutOfTheSmallFourByFourWindow) {
  ProgramRun run;
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    EXPECT_EQ(CRect(dlg.m_rcButtons[0]), CRect(35, 21, 62, 48));
    EXPECT_EQ(CRect(dlg.m_rcButtons[1]), CRect(70, 21, 97, 48));
    EXPECT_EQ(CRect(dlg.m_rcButtons[2]), CRect(105, 21, 132, 48));
    EXPECT_EQ(CRect(dlg.m_rcButtons[3]), CRect(140, 21, 167, 48));
    ASSERT_EQ(dlg.m_tileRects.size(), 16u);
    EXPECT_EQ(CRect(dlg.m_tileRects.front()), CRect(35, 70, 70, 105));
    EXPECT_EQ(CRect(dlg.m_tileRects.back()), CRect(140, 175, 175, 210));
    RECT frame;
    dlg.GetFrameRect(&frame);
    EXPECT_EQ(CRect(frame), CRect(0, 0, 210, 245));
    EXPECT_EQ(dlg.GetCellSize(TRUE), 35);
    EXPECT_EQ(dlg.GetCellSize(FALSE), 27);
  });
  run.Run();
}

TEST(Startup, TheWindowIsRoundedAndHasNoTaskbarEntryOfItsOwn) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    // Only the main window is on the screen: the owner frame is never shown.
    EXPECT_EQ(run.backend.VisibleSurfaces().size(), 1u);
    EXPECT_EQ(dlg.GetOwner(), AfxGetMainWnd());
    EXPECT_FALSE(AfxGetMainWnd()->IsWindowVisible());
    // The corners lie outside the shape; the middle of each edge is on the rim.
    for (POINT corner : {POINT{0, 0}, POINT{209, 0}, POINT{0, 244}, POINT{209, 244}}) {
      EXPECT_FALSE(WindowPixel(run.backend, dlg, corner.x, corner.y).has_value())
          << corner.x << "," << corner.y;
    }
    EXPECT_EQ(WindowPixel(run.backend, dlg, 105, 0), Screen(RGB(255, 0, 0)));
    EXPECT_EQ(WindowPixel(run.backend, dlg, 0, 122), Screen(RGB(255, 0, 0)));
  });
  run.Run();
}

TEST(Startup, NoKeyChangesAnything) {
  ProgramRun run;
  std::vector<int> board;
  run.backend.Wait(kRestTimeMs);
  run.Check([&](CRecordingPuzzleDlg& dlg) { board = dlg.m_game.m_board; });
  for (UINT vk : {VK_RETURN, VK_ESCAPE, VK_SPACE, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_TAB, VK_F1, UINT{'A'},
                  UINT{'1'}}) {
    run.backend.Key(vk);
  }
  run.backend.Wait(10);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    EXPECT_EQ(dlg.m_game.m_board, board);
    EXPECT_EQ(dlg.m_game.m_nMoves, 0);
    EXPECT_EQ(dlg.m_crTheme, RGB(255, 0, 0));
    EXPECT_TRUE(dlg.IsWindowVisible());
  });
  run.Run();
  // Neither Enter nor Escape ended the window: the run went on until the script was over.
  EXPECT_EQ(run.app.GetModalResult(), -1);
}

TEST(Startup, AClosedWindowEndsAtOnceWithoutTheExitAnimation) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Check([&](CRecordingPuzzleDlg&) { ASSERT_EQ(MainSurface(run.backend)->id, 1u); });
  run.backend.Close(1);
  run.backend.Wait(5000);
  run.Run();
  EXPECT_EQ(run.app.GetModalResult(), IDCANCEL);
  EXPECT_EQ(MoveTops(run.backend).back(), 261);
  EXPECT_EQ(run.backend.NowMs(), kRestTimeMs);
  EXPECT_TRUE(run.backend.VisibleSurfaces().empty());
  EXPECT_TRUE(run.backend.TrayIcons().empty());
}

TEST(Startup, TheRunReleasesTheWindowsWhenTheScriptIsOver) {
  ProgramRun run;
  run.backend.Wait(2500);
  EXPECT_EQ(run.Run(), 0);
  EXPECT_EQ(run.app.GetModalResult(), -1);
  EXPECT_EQ(run.app.GetPuzzleDlg(), nullptr);
  EXPECT_TRUE(run.backend.VisibleSurfaces().empty());
  EXPECT_EQ(run.app.m_nDropTicksAtEnd, 9);
}

}  // namespace
}  // namespace program_test
