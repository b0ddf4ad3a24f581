// Tests of a tracked menu's keyboard: the arrows move and open, Enter chooses, Left and Escape close one
// level.
#include "MenuTestSupport.h"

namespace {

using namespace menutest;

// The classic desktop's highlight, as the headless screen stores it (0x00RRGGBB).
constexpr std::uint32_t kNavy = 0x0A246A;

class MenuKeyboardTest : public MenuFixture {
 protected:
  // The colour just inside the left end of an item: the highlight's when the item is highlighted.
  std::uint32_t ItemBackground(const CMenu* shown, int pos) {
    RECT rc{};
    EXPECT_TRUE(shown->GetMenuItemRect(static_cast<UINT>(pos), &rc));
    return backend.PixelAt(POINT{rc.left + 1, rc.top + 1}).value_or(0xFFFFFFFF);
  }
  // Plays the keys one by one, 10 ms apart, then leaves the program to run until all is done.
  void PressKeys(std::initializer_list<UINT> keys) {
    for (UINT vk : keys) script.Then([this, vk] { backend.Key(vk); });
    OpenAndRun(POINT{300, 200});
  }
};

TEST_F(MenuKeyboardTest, DownHighlightsTheFirstItemAndSkipsSeparators) {
  std::uint32_t first = 0, afterSeparator = 0, startAfterSecondDown = 0;
  script.Then([&] { backend.Key(VK_DOWN); })
      .Then([&] {
        first = ItemBackground(popup, kStart);
        backend.Key(VK_DOWN);
      })
      .Then([&] {
        afterSeparator = ItemBackground(popup, kColour);
        startAfterSecondDown = ItemBackground(popup, kStart);
        backend.Key(VK_ESCAPE);
      });
  OpenAndRun(POINT{300, 200});
  EXPECT_EQ(first, kNavy);
  EXPECT_EQ(afterSeparator, kNavy);
  EXPECT_NE(startAfterSecondDown, kNavy);
  EXPECT_TRUE(commands.empty());
}

TEST_F(MenuKeyboardTest, RightOpensASubmenuOnItsFirstItemAndEnterChoosesThere) {
  // 開始, 色設定, then into the colours: 赤, 紫.
  PressKeys({VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
  EXPECT_EQ(commands, std::vector<UINT>{0x8012});
  EXPECT_FALSE(commandWhileTracking);
}

TEST_F(MenuKeyboardTest, UpWrapsFromTheFirstItemToTheLast) {
  PressKeys({VK_DOWN, VK_UP, VK_RETURN});
  EXPECT_EQ(commands, std::vector<UINT>{0x8016});
}

TEST_F(MenuKeyboardTest, UpWithNothingHighlightedStartsAtTheLastItem) {
  PressKeys({VK_UP, VK_UP, VK_RETURN});
  EXPECT_EQ(commands, std::vector<UINT>{0x8004});
}

TEST_F(MenuKeyboardTest, LeftClosesOneLevelAndLeavesTheHighlightOnItsItem) {
  // Into the colours and back out, one item down to 背景ｻｲｽﾞ, and into it: 極小.
  PressKeys({VK_DOWN, VK_DOWN, VK_RIGHT, VK_LEFT, VK_DOWN, VK_RIGHT, VK_RETURN});
  EXPECT_EQ(commands, std::vector<UINT>{0x800D});
}

TEST_F(MenuKeyboardTest, EnterOnASubmenuCaptionOpensItInsteadOfChoosing) {
  PressKeys({VK_UP, VK_UP, VK_UP, VK_UP, VK_UP, VK_RETURN, VK_UP, VK_RETURN});
  // 終了, 情報, 難易度設定, 画面ｻｲｽﾞ, 背景ｻｲｽﾞ; Enter opens it on 極小, Up wraps to 特大.
  EXPECT_EQ(commands, std::vector<UINT>{0x8011});
}

TEST_F(MenuKeyboardTest, EscapeClosesOneLevelAtATimeAndThenTheMenu) {
  bool submenuAfterFirstEscape = true, menuAfterFirstEscape = false;
  CMenu* colour = popup->GetSubMenu(kColour);
  script.Then([&] { backend.Key(VK_DOWN).Key(VK_DOWN).Key(VK_RIGHT); })
      .Then([&] {
        ASSERT_TRUE(IsShown(colour));
        backend.Key(VK_ESCAPE);
      })
      .Then([&] {
        submenuAfterFirstEscape = IsShown(colour);
        menuAfterFirstEscape = IsShown(popup);
        backend.Key(VK_ESCAPE);
      });
  OpenAndRun(POINT{300, 200});
  EXPECT_FALSE(submenuAfterFirstEscape);
  EXPECT_TRUE(menuAfterFirstEscape);
  EXPECT_EQ(tracks, 1);
  EXPECT_TRUE(commands.empty());
  EXPECT_TRUE(ShownMenuRects().empty());
}

TEST_F(MenuKeyboardTest, KeysMoveInTheMenuThatHasTheHighlightAfterAHoverOpenedASubmenu) {
  // The hover opens 難易度設定 without highlighting in it; Down then moves in the popup, to 情報.
  script.Then([&] { backend.MouseMove(ItemCentre(popup, kBoard)); }).Then([&] {
    backend.MouseMove(POINT{150, 150}).Key(VK_DOWN).Key(VK_RETURN);
  });
  OpenAndRun(POINT{300, 200});
  EXPECT_EQ(commands, std::vector<UINT>{0x8004});
}

}  // namespace
