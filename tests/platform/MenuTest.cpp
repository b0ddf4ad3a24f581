// Tests of menus as data: loading, submenus, captions, check marks and their drawing, and bad input.
#include "MenuTestSupport.h"

namespace {

using namespace menutest;

class MenuTest : public MenuFixture {
 protected:
  // Dark pixels at the left end of an item, where the check mark stands before the caption.
  int DarkPixelsBeforeCaption(const CMenu* shown, int pos) {
    RECT rc{};
    EXPECT_TRUE(shown->GetMenuItemRect(static_cast<UINT>(pos), &rc));
    int dark = 0;
    for (int y = rc.top; y < rc.bottom; ++y) {
      for (int x = rc.left; x < rc.left + 15; ++x) {
        std::uint32_t pixel = backend.PixelAt(POINT{x, y}).value_or(0xFFFFFF);
        if ((pixel & 0xFF) < 64 && ((pixel >> 8) & 0xFF) < 64 && ((pixel >> 16) & 0xFF) < 64) ++dark;
      }
    }
    return dark;
  }
};

TEST_F(MenuTest, TheProgramsMenuLoadsWithItsItemsByPosition) {
  EXPECT_EQ(menu.GetMenuItemCount(), 1);
  EXPECT_EQ(popup->GetMenuItemCount(), 10);
  EXPECT_EQ(popup->GetMenuItemID(kStart), 0x8003u);
  EXPECT_EQ(popup->GetMenuItemID(kFirstSeparator), 0u);
  EXPECT_EQ(popup->GetMenuItemID(kBoard), kMenuNoItem);
  EXPECT_EQ(popup->GetMenuItemID(kExit), 0x8016u);
  std::string caption;
  EXPECT_EQ(popup->GetMenuString(kBoard, caption, MF_BYPOSITION),
            static_cast<int>(std::string("難易度設定").size()));
  EXPECT_EQ(caption, "難易度設定");
  EXPECT_EQ(popup->GetMenuString(0x801C, caption, MF_BYCOMMAND), 3);
  EXPECT_EQ(caption, "MAX");
  EXPECT_EQ(popup->GetMenuState(kBoard, MF_BYPOSITION), MF_POPUP | (6u << 8));
  EXPECT_EQ(popup->GetMenuState(kFirstSeparator, MF_BYPOSITION), MF_SEPARATOR);
  EXPECT_EQ(popup->GetSubMenu(kStart), nullptr);
  EXPECT_EQ(popup->GetSubMenu(kBoard), popup->GetSubMenu(kBoard));
  EXPECT_EQ(popup->GetSubMenu(kBoard)->GetMenuItemID(kBoardMax), 0x801Cu);
}

TEST_F(MenuTest, CheckMenuItemByPositionReturnsThePreviousState) {
  CMenu* colour = popup->GetSubMenu(kColour);
  EXPECT_EQ(colour->CheckMenuItem(6, MF_BYPOSITION | MF_CHECKED), MF_UNCHECKED);
  EXPECT_EQ(colour->CheckMenuItem(6, MF_BYPOSITION | MF_CHECKED), MF_CHECKED);
  EXPECT_EQ(colour->GetMenuState(6, MF_BYPOSITION), MF_CHECKED);
  EXPECT_EQ(colour->GetMenuState(5, MF_BYPOSITION), MF_UNCHECKED);
  EXPECT_EQ(colour->CheckMenuItem(6, MF_BYPOSITION | MF_UNCHECKED), MF_CHECKED);
  EXPECT_EQ(colour->GetMenuState(6, MF_BYPOSITION), MF_UNCHECKED);
}

TEST_F(MenuTest, CheckMenuItemByCommandFindsTheItemInASubmenu) {
  EXPECT_EQ(popup->CheckMenuItem(0x8012, MF_BYCOMMAND | MF_CHECKED), MF_UNCHECKED);
  EXPECT_EQ(popup->GetSubMenu(kColour)->GetMenuState(1, MF_BYPOSITION), MF_CHECKED);
}

TEST_F(MenuTest, ItemsThatDoNotExistAnswerAllOnes) {
  CMenu* board = popup->GetSubMenu(kBoard);
  EXPECT_EQ(board->CheckMenuItem(6, MF_BYPOSITION | MF_CHECKED), 0xFFFFFFFFu);
  EXPECT_EQ(board->CheckMenuItem(0xFFFFFFFFu, MF_BYPOSITION | MF_UNCHECKED), 0xFFFFFFFFu);
  EXPECT_EQ(board->CheckMenuItem(0x9999, MF_BYCOMMAND | MF_CHECKED), 0xFFFFFFFFu);
  EXPECT_EQ(board->GetMenuState(6, MF_BYPOSITION), 0xFFFFFFFFu);
  EXPECT_EQ(board->GetMenuItemID(-1), 0xFFFFFFFFu);
  EXPECT_EQ(board->GetSubMenu(-1), nullptr);
  EXPECT_EQ(board->GetSubMenu(6), nullptr);
  std::string caption = "old";
  EXPECT_EQ(board->GetMenuString(6, caption, MF_BYPOSITION), 0);
  EXPECT_EQ(caption, "");
  for (int pos = 0; pos < 6; ++pos)
    EXPECT_EQ(board->GetMenuState(static_cast<UINT>(pos), MF_BYPOSITION), MF_UNCHECKED);
}

TEST_F(MenuTest, LoadingAMissingMenuOrLoadingTwiceFails) {
  CMenu other;
  EXPECT_FALSE(other.LoadMenu(999));
  EXPECT_EQ(other.GetSafeHmenu(), nullptr);
  EXPECT_EQ(other.GetMenuItemCount(), -1);
  EXPECT_FALSE(menu.LoadMenu(kMenuId));
  EXPECT_TRUE(menu.DestroyMenu());
  EXPECT_FALSE(menu.DestroyMenu());
  EXPECT_EQ(menu.GetMenuItemCount(), -1);
  EXPECT_TRUE(menu.LoadMenu(kMenuId));
  EXPECT_EQ(menu.GetSubMenu(0)->GetMenuItemCount(), 10);
}

TEST_F(MenuTest, AnEmptyMenuOrAMissingOwnerIsNotTracked) {
  CMenu empty;
  EXPECT_FALSE(empty.TrackPopupMenu(flags, 300, 200, &owner));
  CWnd notCreated;
  EXPECT_FALSE(popup->TrackPopupMenu(flags, 300, 200, &notCreated));
  EXPECT_FALSE(popup->TrackPopupMenu(flags, 300, 200, nullptr));
  EXPECT_TRUE(ShownMenuRects().empty());
}

TEST_F(MenuTest, AMenuOfOnlySeparatorsShowsAndChoosesNothingFromTheKeyboard) {
  CMenu separators;
  ASSERT_TRUE(separators.LoadMenu(kMenuId + 1));
  CMenu* only = separators.GetSubMenu(0);
  owner.onMessage = [&](UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_OPENMENU) only->TrackPopupMenu(flags, 300, 200, &owner);
    if (message == WM_COMMAND) commands.push_back(static_cast<UINT>(wParam));
  };
  owner.PostMessage(WM_OPENMENU);
  backend.Key(VK_DOWN)
      .Key(VK_UP)
      .Key(VK_RIGHT)
      .Key(VK_RETURN)
      .Wait(10)
      .Call([&] { EXPECT_TRUE(IsShown(only)); })
      .Key(VK_ESCAPE);
  RunUntilIdle(system);
  EXPECT_TRUE(commands.empty());
  EXPECT_FALSE(IsShown(only));
}

TEST_F(MenuTest, CheckMarksShowWhereTheyWereSet) {
  CMenu* board = popup->GetSubMenu(kBoard);
  board->CheckMenuItem(0, MF_BYPOSITION | MF_CHECKED);
  int checked = 0, unchecked = 0;
  script.Then([&] { backend.MouseMove(ItemCentre(popup, kBoard)); }).Then([&] {
    checked = DarkPixelsBeforeCaption(board, 0);
    unchecked = DarkPixelsBeforeCaption(board, 1);
    backend.Key(VK_ESCAPE).Key(VK_ESCAPE);
  });
  OpenAndRun(POINT{300, 200});
  EXPECT_GT(checked, 5);
  EXPECT_EQ(unchecked, 0);
}

TEST_F(MenuTest, ACheckMarkChangedWhileTheMenuIsOpenIsRedrawn) {
  CMenu* board = popup->GetSubMenu(kBoard);
  board->CheckMenuItem(0, MF_BYPOSITION | MF_CHECKED);
  int before = 0, movedFrom = 0, movedTo = 0;
  script.Then([&] { backend.MouseMove(ItemCentre(popup, kBoard)); })
      .Then([&] {
        before = DarkPixelsBeforeCaption(board, 2);
        // As the owner's handlers do while the menu is open: the check moves from one size to another.
        board->CheckMenuItem(2, MF_BYPOSITION | MF_CHECKED);
        board->CheckMenuItem(0, MF_BYPOSITION | MF_UNCHECKED);
      })
      .Then([&] {
        movedFrom = DarkPixelsBeforeCaption(board, 0);
        movedTo = DarkPixelsBeforeCaption(board, 2);
        backend.Key(VK_ESCAPE).Key(VK_ESCAPE);
      });
  OpenAndRun(POINT{300, 200});
  EXPECT_EQ(before, 0);
  EXPECT_EQ(movedFrom, 0);
  EXPECT_GT(movedTo, 5);
}

TEST_F(MenuTest, AMenuDestroyedWhileItIsTrackedClosesItsWindowsAndTheTrackingEnds) {
  owner.SetTimer(3, 100);
  bool destroyed = false;
  owner.onMessage = [&, base = owner.onMessage](UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && tracking && !destroyed) {
      destroyed = true;
      menu.DestroyMenu();
    }
    base(message, wParam, lParam);
  };
  script.Then([&] { backend.MouseMove(ItemCentre(popup, kBoard)); }).Then([&] { backend.Wait(200); });
  OpenAndRun(POINT{300, 200});
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(tracks, 1);
  EXPECT_EQ(trackResult, FALSE);
  EXPECT_TRUE(ShownMenuRects().empty());
  EXPECT_EQ(menu.GetMenuItemCount(), -1);
}

TEST_F(MenuTest, AMenuIsNotTrackedTwiceAtOnce) {
  BOOL nested = TRUE;
  script.Then([&] {
    nested = popup->GetSubMenu(kBoard)->TrackPopupMenu(flags, 10, 10, &owner);
    backend.Key(VK_ESCAPE);
  });
  OpenAndRun(POINT{300, 200});
  EXPECT_FALSE(nested);
  EXPECT_EQ(tracks, 1);
}

}  // namespace
