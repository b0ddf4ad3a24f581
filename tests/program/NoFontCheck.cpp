// The whole program on a system without any font (its own test process, since fontconfig is set up once
// per process): one line on stderr says what is missing, and the game goes on without text.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ProgramHarness.h"
#include "platform/linux/FontCatalog.h"
#include "res/TilvaneResources.h"

namespace program_test {
namespace {

TEST(NoFont, OneLineSaysWhatIsMissingAndTheGameStillPlays) {
  ASSERT_FALSE(platform::IsFamilyInstalled("IPAGothic")) << "run with FONTCONFIG_FILE set to no-fonts.conf";
  ProgramRun run;
  int movesBefore = -1;
  int hole = -1;
  run.backend.Wait(kRestTimeMs);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    movesBefore = dlg.m_game.m_nMoves;
    hole = dlg.m_game.m_nHole;
    // A tile next to the hole: above it, or below it in the top row.
    const int neighbour = hole >= 4 ? hole - 4 : hole + 4;
    run.backend.Click(CellAtRest(neighbour)).Wait(10);
    // The menu's captions are drawn too, without a font.
    run.backend.Click(AtRest(20, 230), 3).Wait(10).Key(VK_ESCAPE).Wait(10);
    run.Check([&](CRecordingPuzzleDlg& dlg2) { EXPECT_EQ(dlg2.m_game.m_nMoves, movesBefore + 1); });
    run.Command(ID_EXIT);
  });
  testing::internal::CaptureStderr();
  const int status = run.Run();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 0);
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_NE(err.find("no usable font"), std::string::npos) << err;
  EXPECT_NE(err.find("IPAGothic"), std::string::npos) << err;
}

}  // namespace
}  // namespace program_test
