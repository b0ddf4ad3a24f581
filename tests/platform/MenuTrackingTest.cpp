// Tests of tracking a popup menu with the mouse: submenus on hover, choices posted after the tracking,
// dismissal.
#include "MenuTestSupport.h"

namespace {

using namespace menutest;

class MenuTrackingTest : public MenuFixture {};

TEST_F(MenuTrackingTest, WalkingIntoTheDifficultySubmenuAndChoosingMaxPostsItsCommand) {
  CMenu* board = popup->GetSubMenu(kBoard);
  ASSERT_NE(board, nullptr);
  script.Then([&] { backend.MouseMove(ItemCentre(popup, kBoard)); })
      .Then([&] {
        ASSERT_TRUE(IsShown(board));
        backend.MouseMove(ItemCentre(board, kBoardMax));
      })
      .Then([&] { backend.Click(ItemCentre(board, kBoardMax)); });
  OpenAndRun(POINT{300, 200});
  EXPECT_EQ(commands, std::vector<UINT>{0x801C});
  EXPECT_FALSE(commandWhileTracking);
  EXPECT_EQ(trackResult, TRUE);
  EXPECT_TRUE(ShownMenuRects().empty());
  EXPECT_FALSE(IsShown(popup));
}

TEST_F(MenuTrackingTest, TheMenuOpensWithItsTopLeftCornerAtThePoint) {
  std::vector<RECT> shown;
  script.Then([&] { shown = ShownMenuRects(); }).Then([&] { backend.Key(VK_ESCAPE); });
  OpenAndRun(POINT{300, 200});
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].left, 300);
  EXPECT_EQ(shown[0].top, 200);
}

TEST_F(MenuTrackingTest, HoverOpensASubmenuBesideItsItemAndAnotherItemClosesIt) {
  CMenu* colour = popup->GetSubMenu(kColour);
  RECT item{}, parent{}, first{};
  bool openAfterMovingOn = true;
  script.Then([&] { backend.MouseMove(ItemCentre(popup, kColour)); })
      .Then([&] {
        ASSERT_TRUE(IsShown(colour));
        popup->GetMenuItemRect(kColour, &item);
        colour->GetMenuItemRect(0, &first);
        parent = ShownMenuRects().front();
        backend.MouseMove(ItemCentre(popup, kStart));
      })
      .Then([&] {
        openAfterMovingOn = IsShown(colour);
        backend.Key(VK_ESCAPE);
      });
  OpenAndRun(POINT{300, 200});
  EXPECT_GE(first.left, parent.right - 4);
  EXPECT_EQ(first.top, item.top);
  EXPECT_FALSE(openAfterMovingOn);
  EXPECT_TRUE(commands.empty());
}

TEST_F(MenuTrackingTest, AClickOutsideDismissesTheMenuWithoutReachingTheWindowUnderIt) {
  script.Then([&] { backend.MouseMove(ItemCentre(popup, kStart)); }).Then([&] {
    backend.Click(POINT{150, 150});
  });
  OpenAndRun(POINT{300, 200});
  EXPECT_EQ(tracks, 1);
  EXPECT_TRUE(commands.empty());
  EXPECT_TRUE(log.Only(WM_LBUTTONDOWN).empty());
  EXPECT_TRUE(ShownMenuRects().empty());
}

TEST_F(MenuTrackingTest, EscapeDismissesTheMenu) {
  script.Then([&] { backend.MouseMove(ItemCentre(popup, kStart)); }).Then([&] { backend.Key(VK_ESCAPE); });
  OpenAndRun(POINT{300, 200});
  EXPECT_EQ(tracks, 1);
  EXPECT_TRUE(commands.empty());
  EXPECT_TRUE(ShownMenuRects().empty());
}

TEST_F(MenuTrackingTest, ASeparatorOrASubmenuCaptionChoosesNothing) {
  bool openAfterSeparator = false, openAfterCaption = false, submenuShown = false;
  script.Then([&] { backend.Click(ItemCentre(popup, kFirstSeparator)); })
      .Then([&] {
        openAfterSeparator = IsShown(popup);
        backend.Click(ItemCentre(popup, kBoard));
      })
      .Then([&] {
        openAfterCaption = IsShown(popup);
        submenuShown = IsShown(popup->GetSubMenu(kBoard));
        backend.Click(ItemCentre(popup, kBoard), 3);
      })
      .Then([&] { backend.Key(VK_ESCAPE).Key(VK_ESCAPE); });
  OpenAndRun(POINT{300, 200});
  EXPECT_TRUE(openAfterSeparator);
  EXPECT_TRUE(openAfterCaption);
  EXPECT_TRUE(submenuShown);
  EXPECT_TRUE(commands.empty());
  EXPECT_EQ(tracks, 1);
}

TEST_F(MenuTrackingTest, TheReleaseOfThePressThatOpenedTheMenuChoosesNothing) {
  // The right press opens the menu just above and to the left of the pointer, so that the release falls on
  // "開始"; only a later click chooses it.
  POINT pointer{320, 210};
  owner.onMessage = [this, base = owner.onMessage](UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_RBUTTONDOWN) {
      at = POINT{300, 200};
      owner.PostMessage(WM_OPENMENU);
    }
    base(message, wParam, lParam);
  };
  bool openAfterRelease = false;
  backend.MouseDown(pointer, 3).Wait(10).Call([&] { ASSERT_TRUE(IsShown(popup)); }).MouseUp(pointer, 3);
  script.Then([&] {
    openAfterRelease = IsShown(popup);
    EXPECT_TRUE(commands.empty());
    backend.Click(ItemCentre(popup, kStart), 3);
  });
  script.Start();
  RunUntilIdle(system);
  EXPECT_TRUE(openAfterRelease);
  EXPECT_EQ(commands, std::vector<UINT>{0x8003});
  EXPECT_FALSE(commandWhileTracking);
}

TEST_F(MenuTrackingTest, TheRightButtonChoosesOnlyWhenTheFlagsAllowIt) {
  flags = TPM_LEFTALIGN | TPM_TOPALIGN;
  bool openAfterRightClick = false;
  script.Then([&] { backend.Click(ItemCentre(popup, kInfo), 3); }).Then([&] {
    openAfterRightClick = IsShown(popup);
    backend.Click(ItemCentre(popup, kInfo), 1);
  });
  OpenAndRun(POINT{300, 200});
  EXPECT_TRUE(openAfterRightClick);
  EXPECT_EQ(commands, std::vector<UINT>{0x8004});
}

TEST_F(MenuTrackingTest, AChoiceIsReturnedInsteadOfPostedWithReturnCmd) {
  flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD;
  script.Then([&] { backend.Click(ItemCentre(popup, kExit)); });
  OpenAndRun(POINT{300, 200});
  EXPECT_EQ(trackResult, 0x8016);
  EXPECT_TRUE(commands.empty());
}

TEST_F(MenuTrackingTest, AMenuNearTheBottomRightCornerStaysOnTheScreenAndSoDoItsSubmenus) {
  std::vector<RECT> rootOnly, withSubmenu;
  script
      .Then([&] {
        rootOnly = ShownMenuRects();
        backend.MouseMove(ItemCentre(popup, kBoard));
      })
      .Then([&] {
        withSubmenu = ShownMenuRects();
        backend.Key(VK_ESCAPE).Key(VK_ESCAPE);
      });
  OpenAndRun(POINT{1020, 760});
  ASSERT_EQ(rootOnly.size(), 1u);
  ASSERT_EQ(withSubmenu.size(), 2u);
  const RECT screen = backend.ScreenRect();
  for (const RECT& rc : withSubmenu) {
    EXPECT_GE(rc.left, screen.left);
    EXPECT_GE(rc.top, screen.top);
    EXPECT_LE(rc.right, screen.right);
    EXPECT_LE(rc.bottom, screen.bottom);
  }
  // The menu opens up and to the left of the point; its submenu, with no room on the right, on the left.
  EXPECT_EQ(rootOnly[0].right, 1020);
  EXPECT_EQ(rootOnly[0].bottom, 760);
  EXPECT_LT(withSubmenu[1].left, withSubmenu[0].left);
}

TEST_F(MenuTrackingTest, TheOwnersTimerKeepsTickingWhileTheMenuIsOpen) {
  owner.SetTimer(7, 100);
  std::size_t ticksWhenOpened = 0, ticksWhenClosing = 0;
  script.Then([&] { ticksWhenOpened = log.Only(WM_TIMER).size(); }).Then([&] {
    backend.Wait(1000).Call([&] { ticksWhenClosing = log.Only(WM_TIMER).size(); }).Key(VK_ESCAPE);
  });
  OpenAndRun(POINT{300, 200});
  EXPECT_EQ(tracks, 1);
  EXPECT_GE(ticksWhenClosing - ticksWhenOpened, 9u);
}

TEST_F(MenuTrackingTest, APressOnTheTrayIconClosesTheMenu) {
  ASSERT_NE(backend.AddTrayIcon({}), 0u);
  script.Then([&] { backend.TrayMouse(WM_RBUTTONDOWN); });
  OpenAndRun(POINT{300, 200});
  EXPECT_EQ(tracks, 1);
  EXPECT_TRUE(commands.empty());
  EXPECT_TRUE(ShownMenuRects().empty());
}

TEST_F(MenuTrackingTest, InputReachesTheWindowsAgainOnceTheMenuHasClosed) {
  script.Then([&] { backend.Key(VK_ESCAPE); }).Then([&] { backend.Click(POINT{150, 150}); });
  OpenAndRun(POINT{300, 200});
  EXPECT_EQ(log.Only(WM_LBUTTONDOWN).size(), 1u);
}

}  // namespace
