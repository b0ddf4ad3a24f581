// The shell of the program: the popup menu from a right click and from the tray, its check marks, the About
// box.
#include <gtest/gtest.h>
#include <functional>

#include <memory>

#include "ProgramHarness.h"
#include "platform/linux/DialogUnits.h"
#include "platform/linux/WindowSystem.h"

namespace program_test {
namespace {

// A point of the window's frame below the board, where a right click opens the menu.
constexpr POINT kFrame = AtRest(20, 230);

using Surface = platform::CHeadlessBackend::Surface;

std::vector<const Surface*> SurfacesOfKind(const platform::CHeadlessBackend& backend,
                                           platform::SurfaceKind kind) {
  std::vector<const Surface*> found;
  for (const Surface* s : backend.VisibleSurfaces()) {
    if (s->desc.kind == kind) found.push_back(s);
  }
  return found;
}

std::vector<const Surface*> OpenMenus(const platform::CHeadlessBackend& backend) {
  return SurfacesOfKind(backend, platform::SurfaceKind::PopupMenu);
}

CMenu& Settings(CPuzzleDlg& dlg, int nSubMenu) {
  return *dlg.m_menuPopup.GetSubMenu(0)->GetSubMenu(nSubMenu);
}

// The positions of a settings submenu that carry a check mark.
std::vector<int> Checked(CPuzzleDlg& dlg, int nSubMenu) {
  std::vector<int> positions;
  CMenu& menu = Settings(dlg, nSubMenu);
  for (int i = 0; i < menu.GetMenuItemCount(); ++i) {
    if (menu.GetMenuState(static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) positions.push_back(i);
  }
  return positions;
}

POINT Centre(const RECT& rc) {
  return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

TEST(Shell, AtStartTheChecksStandOnRedSmallPatternSmallScreenAndTheSmallestBoard) {
  ProgramRun run;
  run.Check([](CRecordingPuzzleDlg& dlg) {
    EXPECT_EQ(Checked(dlg, 2), std::vector<int>{0});
    EXPECT_EQ(Checked(dlg, 3), std::vector<int>{1});
    EXPECT_EQ(Checked(dlg, 4), std::vector<int>{0});
    EXPECT_EQ(Checked(dlg, 5), std::vector<int>{0});
  });
  run.Run();
}

TEST(Shell, EveryMenuCommandMovesItsCheckMarkAndNoOther) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Command(ID_COLOR_BLACK).Command(ID_PATTERN_19).Command(ID_BOARD_100);
  run.backend.Wait(10);
  run.Check([](CRecordingPuzzleDlg& dlg) {
    EXPECT_EQ(Checked(dlg, 2), std::vector<int>{6});
    EXPECT_EQ(Checked(dlg, 3), std::vector<int>{4});
    EXPECT_EQ(Checked(dlg, 4), std::vector<int>{0});
    EXPECT_EQ(Checked(dlg, 5), std::vector<int>{5});
  });
  // Choosing the item already checked leaves it checked.
  run.Command(ID_COLOR_BLACK).Command(ID_SCREEN_LARGE).Command(ID_COLOR_PURPLE);
  run.backend.Wait(10);
  run.Check([](CRecordingPuzzleDlg& dlg) {
    EXPECT_EQ(Checked(dlg, 2), std::vector<int>{1});
    EXPECT_EQ(Checked(dlg, 4), std::vector<int>{2});
    EXPECT_EQ(Checked(dlg, 5), std::vector<int>{5});
  });
  run.Run();
}

TEST(Shell, ARightClickOnTheFrameOpensTheMenuAtTheCursorAndEscapeClosesIt) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs).Click(kFrame, 3).Wait(10);
  run.Check([&run](CRecordingPuzzleDlg&) {
    auto menus = OpenMenus(run.backend);
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus[0]->rect.left, kFrame.x);
    EXPECT_EQ(menus[0]->rect.top, kFrame.y);
  });
  run.backend.Key(VK_ESCAPE).Wait(10);
  run.Check([&run](CRecordingPuzzleDlg&) { EXPECT_TRUE(OpenMenus(run.backend).empty()); });
  run.Run();
}

TEST(Shell, ARightClickOnATileOpensNothing) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs).Click(CellAtRest(5), 3).Wait(10);
  run.Check([&run](CRecordingPuzzleDlg&) { EXPECT_TRUE(OpenMenus(run.backend).empty()); });
  run.Run();
}

TEST(Shell, TheTraysRightPressOpensTheMenuAndItsLeftPressDoesNot) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs).MouseMove({900, 700});
  run.Check([&run](CRecordingPuzzleDlg&) { ASSERT_EQ(run.backend.TrayIcons().size(), 1u); });
  run.backend.TrayMouse(WM_LBUTTONDOWN).TrayMouse(WM_LBUTTONUP).TrayMouse(WM_RBUTTONUP).Wait(10);
  run.Check([&run](CRecordingPuzzleDlg&) { EXPECT_TRUE(OpenMenus(run.backend).empty()); });
  run.backend.TrayMouse(WM_RBUTTONDOWN).Wait(10);
  run.Check([&run](CRecordingPuzzleDlg&) {
    auto menus = OpenMenus(run.backend);
    ASSERT_EQ(menus.size(), 1u);
    // The menu opens at the cursor, kept inside the screen.
    EXPECT_LE(menus[0]->rect.right, 1024);
    EXPECT_LE(menus[0]->rect.bottom, 768);
  });
  run.backend.Key(VK_ESCAPE);
  EXPECT_EQ(run.Run(), 0);
  EXPECT_TRUE(run.backend.TrayIcons().empty());
}

TEST(Shell, WalkingIntoTheBoardSubmenuAndChoosingMaxGivesTheLargestBoard) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs).Click(kFrame, 3).Wait(10);
  run.Check([&run](CRecordingPuzzleDlg& dlg) {
    RECT item{};
    ASSERT_TRUE(dlg.m_menuPopup.GetSubMenu(0)->GetMenuItemRect(5, &item));
    run.backend.MouseMove(Centre(item)).Wait(10);
    run.Check([&run](CRecordingPuzzleDlg& dlg2) {
      RECT max{};
      ASSERT_TRUE(Settings(dlg2, 5).GetMenuItemRect(5, &max));
      run.backend.Click(Centre(max)).Wait(10);
      run.Check([&run](CRecordingPuzzleDlg& dlg3) {
        EXPECT_TRUE(OpenMenus(run.backend).empty());
        EXPECT_EQ(dlg3.m_game.m_nCells, 100);
        RECT rc;
        dlg3.GetWindowRect(&rc);
        EXPECT_EQ(rc.right - rc.left, 420);
        EXPECT_EQ(rc.bottom - rc.top, 455);
      });
    });
  });
  run.Run();
}

TEST(Shell, WhileTheMenuIsOpenTheClockKeepsCounting) {
  ProgramRun run;
  int secondsBefore = -1;
  run.backend.Wait(kRestTimeMs);
  run.Check([&](CRecordingPuzzleDlg& dlg) { secondsBefore = dlg.m_game.m_nSeconds; });
  run.backend.Click(kFrame, 3).Wait(5000);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    EXPECT_EQ(OpenMenus(run.backend).size(), 1u);
    EXPECT_EQ(dlg.m_game.m_nSeconds, secondsBefore + 5);
  });
  run.backend.Key(VK_ESCAPE);
  run.Run();
}

const Surface* AboutBox(const platform::CHeadlessBackend& backend) {
  auto dialogs = SurfacesOfKind(backend, platform::SurfaceKind::Dialog);
  return dialogs.size() == 1 ? dialogs[0] : nullptr;
}

void ExpectAboutOpenWhileTheClockRuns(ProgramRun& run) {
  auto before = std::make_shared<int>(0);
  run.Check([&run, before](CRecordingPuzzleDlg& dlg) {
    const Surface* box = AboutBox(run.backend);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->desc.title, "バージョン情報");
    EXPECT_FALSE(dlg.IsWindowEnabled());
    *before = dlg.m_game.m_nSeconds;
  });
  // A click on the Start button meanwhile does nothing.
  run.backend.Click(AtRest(40, 30)).Wait(3000);
  run.Check([&run, before](CRecordingPuzzleDlg& dlg) {
    EXPECT_NE(AboutBox(run.backend), nullptr);
    EXPECT_EQ(dlg.m_game.m_nSeconds, *before + 3);
  });
  run.backend.Key(VK_RETURN).Wait(10);
  run.Check([&run](CRecordingPuzzleDlg& dlg) {
    EXPECT_EQ(AboutBox(run.backend), nullptr);
    EXPECT_TRUE(dlg.IsWindowEnabled());
    EXPECT_GE(dlg.m_game.m_nSeconds, 4);
  });
}

TEST(Shell, TheMenusInformationItemOpensTheAboutBox) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Command(ID_INFO);
  run.backend.Wait(10);
  ExpectAboutOpenWhileTheClockRuns(run);
  run.Run();
}

TEST(Shell, TheHeadersAboutButtonOpensTheSameBox) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs).Click(AtRest(80, 30)).Wait(10);
  ExpectAboutOpenWhileTheClockRuns(run);
  run.Run();
}

// The About box's window and, in template order, its controls' texts.
HWND AboutWindow() {
  platform::CWindowSystem* system = platform::CWindowSystem::Current();
  for (HWND top : system->TopLevels()) {
    if (system->GetText(top) == "バージョン情報") return top;
  }
  return nullptr;
}

// Opens the About box on a resting game, hands its window to `check`, then closes it with Escape.
void CheckAboutBox(const std::function<void(platform::CWindowSystem&, HWND)>& check) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Command(ID_INFO);
  run.backend.Wait(10);
  run.Check([&check](CRecordingPuzzleDlg&) {
    const HWND box = AboutWindow();
    ASSERT_NE(box, nullptr);
    check(*platform::CWindowSystem::Current(), box);
  });
  run.backend.Key(VK_ESCAPE);
  run.Run();
}

TEST(Shell, TheAboutBoxNamesTheProgramWithAnIdeographicSpaceAndCarriesTheMakersNotice) {
  CheckAboutBox([](platform::CWindowSystem& system, HWND box) {
    std::vector<std::string> texts;
    for (HWND child : system.Children(box)) texts.push_back(system.GetText(child));
    EXPECT_EQ(texts, (std::vector<std::string>{"OK", "", "Tilvane\u3000Version 4.01",
                                               "Copyright (C) The Tilvane developers"}));
  });
}

// Enter presses the default button, and the box draws it with the heavier frame.
TEST(Shell, TheAboutBoxsOkIsTheDefaultPushButton) {
  CheckAboutBox([](platform::CWindowSystem& system, HWND box) {
    const std::vector<HWND> controls = system.Children(box);
    ASSERT_FALSE(controls.empty());
    const platform::ControlInfo* ok = platform::FindControlInfo(controls.front());
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->id, IDOK);
    EXPECT_EQ(system.GetStyle(controls.front()) & 0x0F, BS_DEFPUSHBUTTON);
    EXPECT_TRUE(ok->isDefaultButton);
  });
}

TEST(Shell, TheExitCommandDropsTheWindowAndEndsTheProgramWithTheTrayIconGone) {
  ProgramRun run;
  run.backend.Wait(kRestTimeMs);
  run.Command(ID_EXIT);
  EXPECT_EQ(run.Run(), 0);
  EXPECT_EQ(run.app.GetModalResult(), IDCANCEL);
  EXPECT_TRUE(run.backend.TrayIcons().empty());
  EXPECT_EQ(MoveTops(run.backend).back(), 767);
}

}  // namespace
}  // namespace program_test
