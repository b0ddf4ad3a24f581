// The command table: every command id of the main window reaches its handler, and no other id does.
#include <gtest/gtest.h>

#include <map>

#include "ProgramHarness.h"

namespace program_test {
namespace {

using Handler = void (CPuzzleDlg::*)();

const std::map<UINT, Handler>& ExpectedCommands() {
  static const std::map<UINT, Handler> commands{
      {ID_START, &CPuzzleDlg::OnStart},
      {ID_INFO, &CPuzzleDlg::OnAppAbout},
      {ID_APP_ABOUT, &CPuzzleDlg::OnAppAbout},
      {ID_COLOR_RED, &CPuzzleDlg::OnColorRed},
      {ID_COLOR_PURPLE, &CPuzzleDlg::OnColorPurple},
      {ID_COLOR_YELLOW, &CPuzzleDlg::OnColorYellow},
      {ID_COLOR_GREEN, &CPuzzleDlg::OnColorGreen},
      {ID_COLOR_CYAN, &CPuzzleDlg::OnColorCyan},
      {ID_COLOR_BLUE, &CPuzzleDlg::OnColorBlue},
      {ID_COLOR_BLACK, &CPuzzleDlg::OnColorBlack},
      {ID_PATTERN_3, &CPuzzleDlg::OnPattern3},
      {ID_PATTERN_7, &CPuzzleDlg::OnPattern7},
      {ID_PATTERN_11, &CPuzzleDlg::OnPattern11},
      {ID_PATTERN_15, &CPuzzleDlg::OnPattern15},
      {ID_PATTERN_19, &CPuzzleDlg::OnPattern19},
      {ID_SCREEN_SMALL, &CPuzzleDlg::OnScreenSmall},
      {ID_SCREEN_MEDIUM, &CPuzzleDlg::OnScreenMedium},
      {ID_SCREEN_LARGE, &CPuzzleDlg::OnScreenLarge},
      {ID_EXIT, &CPuzzleDlg::OnExit},
      {ID_BOARD_16, &CPuzzleDlg::OnBoard16},
      {ID_BOARD_25, &CPuzzleDlg::OnBoard25},
      {ID_BOARD_36, &CPuzzleDlg::OnBoard36},
      {ID_BOARD_49, &CPuzzleDlg::OnBoard49},
      {ID_BOARD_64, &CPuzzleDlg::OnBoard64},
      {ID_BOARD_100, &CPuzzleDlg::OnBoard100},
  };
  return commands;
}

TEST(Commands, TheTableBindsEveryCommandToItsHandlerOnce) {
  std::map<UINT, int> count;
  for (const CPuzzleDlg::CommandEntry& entry : CPuzzleDlg::CommandTable()) {
    ++count[entry.nID];
    auto expected = ExpectedCommands().find(entry.nID);
    ASSERT_NE(expected, ExpectedCommands().end()) << std::hex << entry.nID;
    EXPECT_TRUE(entry.pfnHandler == expected->second) << std::hex << entry.nID;
  }
  EXPECT_EQ(count.size(), ExpectedCommands().size());
  for (const auto& [id, n] : count) EXPECT_EQ(n, 1) << std::hex << id;
}

// The commands whose effect shows in the window's state, each posted as the popup menu posts it.
TEST(Commands, PostedCommandsReachTheirHandlers) {
  ProgramRun run;
  std::vector<HWND> tiles;
  run.backend.Wait(kRestTimeMs);
  run.Check([&](CRecordingPuzzleDlg& dlg) { tiles = TileHandles(dlg); });
  run.Command(ID_START).Command(ID_COLOR_CYAN).Command(ID_PATTERN_11);
  run.backend.Wait(10);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    EXPECT_NE(TileHandles(dlg), tiles);
    EXPECT_EQ(dlg.m_crTheme, RGB(0, 255, 255));
    EXPECT_EQ(dlg.m_nPatternStep, 11);
  });
  run.Command(ID_BOARD_49).Command(ID_SCREEN_MEDIUM);
  run.backend.Wait(10);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    EXPECT_EQ(dlg.m_game.m_nCells, 49);
    EXPECT_EQ(dlg.m_nScreenSize, 1);
  });
  // The About box is not part of this window yet; both of its commands leave the game as it is.
  run.Command(ID_INFO).Command(ID_APP_ABOUT);
  // An id of no command of the window changes nothing either.
  run.Command(0x8005).Command(0x8007);
  run.backend.Wait(10);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    EXPECT_EQ(dlg.m_game.m_nCells, 49);
    EXPECT_EQ(dlg.m_crTheme, RGB(0, 255, 255));
    EXPECT_TRUE(dlg.IsWindowVisible());
  });
  run.Command(ID_EXIT);
  run.backend.Wait(60000);
  run.Run();
  EXPECT_EQ(run.app.GetModalResult(), IDCANCEL);
}

TEST(Commands, IdcancelEndsTheWindowAtOnce) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Command(IDCANCEL);
  run.backend.Wait(60000);
  run.Run();
  EXPECT_EQ(run.app.GetModalResult(), IDCANCEL);
  EXPECT_EQ(run.backend.NowMs(), kRestTimeMs);
}

}  // namespace
}  // namespace program_test
