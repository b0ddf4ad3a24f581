// Colour themes and pattern steps: the menu commands, the recolouring of the tiles and the colour cycle.
#include <gtest/gtest.h>

#include "ProgramHarness.h"

namespace program_test {
namespace {

struct Theme {
  UINT nID;
  COLORREF crTheme;
  COLORREF crLight;
  int nPosition;
};
constexpr Theme kThemes[] = {
    {ID_COLOR_RED, RGB(255, 0, 0), RGB(255, 150, 150), 0},
    {ID_COLOR_PURPLE, RGB(255, 0, 255), RGB(255, 150, 255), 1},
    {ID_COLOR_YELLOW, RGB(255, 255, 0), RGB(255, 255, 150), 2},
    {ID_COLOR_GREEN, RGB(0, 255, 0), RGB(150, 255, 150), 3},
    {ID_COLOR_CYAN, RGB(0, 255, 255), RGB(150, 255, 255), 4},
    {ID_COLOR_BLUE, RGB(0, 0, 255), RGB(150, 150, 255), 5},
    {ID_COLOR_BLACK, RGB(0, 0, 0), RGB(150, 150, 150), 6},
};

constexpr POINT kColourButton = AtRest(118, 34);

TEST(Themes, EveryColourCommandSetsItsPairRecoloursTheTilesAndMovesTheCheck) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  // In reverse menu order, so that every command moves the check away from the one before.
  for (auto it = std::rbegin(kThemes); it != std::rend(kThemes); ++it) {
    const Theme theme = *it;
    run.Command(theme.nID);
    run.backend.Wait(10);
    run.Check([theme, &run](CRecordingPuzzleDlg& dlg) {
      SCOPED_TRACE(testing::Message() << "command " << std::hex << theme.nID);
      EXPECT_EQ(dlg.m_crTheme, theme.crTheme);
      EXPECT_EQ(dlg.m_crThemeLight, theme.crLight);
      EXPECT_EQ(dlg.m_nLastColorPos, theme.nPosition);
      // A theme chosen from the menu never moves the pattern on.
      EXPECT_EQ(dlg.m_nPatternStep, 7);
      for (const auto& tile : dlg.m_tiles) {
        EXPECT_EQ(tile->m_crText, theme.crTheme);
        EXPECT_EQ(tile->m_crFace, theme.crLight);
      }
      EXPECT_EQ(WindowPixel(run.backend, dlg, 105, 1), Screen(theme.crTheme));
    });
  }
  run.Run();
}

TEST(Themes, EveryPatternCommandSetsItsStepAndMovesTheCheck) {
  constexpr std::pair<UINT, int> kSteps[] = {
      {ID_PATTERN_19, 19}, {ID_PATTERN_15, 15}, {ID_PATTERN_11, 11}, {ID_PATTERN_7, 7}, {ID_PATTERN_3, 3},
  };
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  for (int i = 0; i < 5; ++i) {
    run.Command(kSteps[i].first);
    run.backend.Wait(10);
    run.Check([i, kSteps](CRecordingPuzzleDlg& dlg) {
      EXPECT_EQ(dlg.m_nPatternStep, kSteps[i].second);
      EXPECT_EQ(dlg.m_nLastPatternPos, 4 - i);
      EXPECT_EQ(dlg.m_crTheme, RGB(255, 0, 0));
    });
  }
  run.Run();
}

TEST(Themes, ThirtyFiveColourClicksGoRoundFiveTimesAndReturnToRedWithStep7) {
  ProgramRun run;
  std::vector<std::pair<COLORREF, int>> seen;
  run.backend.Wait(kRestTimeMs);
  for (int i = 0; i < 35; ++i) {
    run.backend.Click(kColourButton);
    run.Check([&](CRecordingPuzzleDlg& dlg) { seen.emplace_back(dlg.m_crTheme, dlg.m_nPatternStep); });
  }
  run.backend.Wait(10);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    ASSERT_EQ(seen.size(), 35u);
    for (std::size_t i = 0; i < seen.size(); ++i) {
      // Click i + 1 lands on the theme after red at position (i + 1) % 7, and each wrap to red moves the
      // step on: 11, 15, 19, 3 and 7 again.
      const Theme& expected = kThemes[(i + 1) % 7];
      EXPECT_EQ(seen[i].first, expected.crTheme) << "click " << i + 1;
      const int wraps = static_cast<int>((i + 1) / 7);
      constexpr int kStepsAfterWraps[] = {7, 11, 15, 19, 3, 7};
      EXPECT_EQ(seen[i].second, kStepsAfterWraps[wraps]) << "click " << i + 1;
    }
    EXPECT_EQ(dlg.m_crTheme, RGB(255, 0, 0));
    EXPECT_EQ(dlg.m_crThemeLight, RGB(255, 150, 150));
    EXPECT_EQ(dlg.m_nPatternStep, 7);
    EXPECT_EQ(dlg.m_nLastColorPos, 0);
    EXPECT_EQ(dlg.m_nLastPatternPos, 1);
    EXPECT_EQ(dlg.m_tiles.front()->m_crFace, RGB(255, 150, 150));
  });
  run.Run();
}

TEST(Themes, RedFromTheMenuWhileBlackKeepsTheStepButTheCycleMovesIt) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Command(ID_COLOR_BLACK).Command(ID_COLOR_RED);
  run.backend.Wait(10);
  run.Check([&](CRecordingPuzzleDlg& dlg) { EXPECT_EQ(dlg.m_nPatternStep, 7); });
  run.Command(ID_PATTERN_19).Command(ID_COLOR_BLACK);
  run.backend.Click(kColourButton).Wait(10);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    EXPECT_EQ(dlg.m_crTheme, RGB(255, 0, 0));
    EXPECT_EQ(dlg.m_nPatternStep, 3);
    EXPECT_EQ(dlg.m_nLastPatternPos, 0);
  });
  run.Run();
}

TEST(Themes, TheCycleTurnsAnyOtherColourToRedWithoutMovingTheStep) {
  ProgramRun run;
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    dlg.m_crTheme = RGB(12, 34, 56);
    dlg.CycleTheme();
    EXPECT_EQ(dlg.m_crTheme, RGB(255, 0, 0));
    EXPECT_EQ(dlg.m_nPatternStep, 7);
  });
  run.Run();
}

TEST(Themes, ASolvedGameTakesTheNewThemeInItsTextAndItsHiddenTiles) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Check([&](CRecordingPuzzleDlg& dlg) { SetUpOneMoveFromOrder(dlg); });
  run.backend.Click(CellAtRest(15));
  run.Command(ID_COLOR_GREEN);
  run.backend.Wait(10);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    ASSERT_TRUE(dlg.m_game.m_bSolved);
    for (const auto& tile : dlg.m_tiles) {
      EXPECT_FALSE(tile->IsWindowVisible());
      EXPECT_EQ(tile->m_crText, RGB(0, 255, 0));
    }
    int green = 0;
    for (int y = 78; y < 150; ++y) {
      for (int x = 30; x < 180; ++x) green += WindowPixel(run.backend, dlg, x, y) == Screen(RGB(0, 255, 0));
    }
    EXPECT_GT(green, 100);
  });
  run.Run();
}

}  // namespace
}  // namespace program_test
