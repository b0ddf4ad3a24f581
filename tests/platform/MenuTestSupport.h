// Shared set-up for the menu tests: a menu like the program's, an owner that opens it, and a script whose
// steps can aim at menu items that exist only once the menu is shown.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

#include "MessageLog.h"
#include "TestSupport.h"
#include "platform/api/Menu.h"

namespace menutest {

constexpr UINT kMenuId = 181;
constexpr UINT WM_OPENMENU = WM_USER + 2;

// Positions in the popup (submenu 0) and in its submenus.
constexpr int kStart = 0;
constexpr int kFirstSeparator = 1;
constexpr int kColour = 2;
constexpr int kBoard = 5;
constexpr int kInfo = 7;
constexpr int kExit = 9;
constexpr int kBoardMax = 5;

inline platform::MenuItemResource Command(const char* caption, UINT id) {
  platform::MenuItemResource item;
  item.caption = caption;
  item.id = id;
  return item;
}

inline platform::MenuItemResource Separator() {
  platform::MenuItemResource item;
  item.separator = true;
  return item;
}

inline platform::MenuItemResource Popup(const char* caption, std::vector<platform::MenuItemResource> items) {
  platform::MenuItemResource item;
  item.caption = caption;
  item.submenu = std::move(items);
  return item;
}

// Menu 181 as the program has it: one top-level "Popup" item whose submenu is what the user sees.
inline platform::ResourceSet ProgramMenus() {
  platform::ResourceSet set;
  set.menus[kMenuId].items = {Popup(
      "Popup",
      {Command("開始", 0x8003), Separator(),
       Popup("色設定",
             {Command("赤", 0x8006), Command("紫", 0x8012), Command("黄", 0x8008), Command("緑", 0x8009),
              Command("水", 0x800A), Command("青", 0x800B), Command("黒", 0x800C)}),
       Popup("背景ｻｲｽﾞ", {Command("極小", 0x800D), Command("小", 0x800E), Command("中", 0x800F),
                          Command("大", 0x8010), Command("特大", 0x8011)}),
       Popup("画面ｻｲｽﾞ", {Command("小", 0x8013), Command("中", 0x8014), Command("大", 0x8015)}),
       Popup("難易度設定", {Command("MoreEasy", 0x8017), Command("Easy", 0x8018), Command("Normal", 0x8019),
                            Command("Hard", 0x801A), Command("MoreHard", 0x801B), Command("MAX", 0x801C)}),
       Separator(), Command("情報", 0x8004), Separator(), Command("終了", 0x8016)})};
  set.menus[kMenuId + 1].items = {Popup("Empty", {Separator()})};
  return set;
}

// Test steps run one after another while the program runs, 10 ms apart; a step may script input at
// points it can find only then, such as the place of a menu item on the screen.
class CLiveScript {
 public:
  explicit CLiveScript(platform::CHeadlessBackend& backend) : m_backend(backend) {}
  CLiveScript& Then(std::function<void()> step) {
    m_steps.push_back(std::move(step));
    return *this;
  }
  void Start() { Schedule(); }

 private:
  void Schedule() {
    if (m_steps.empty()) return;
    m_backend.Wait(10).Call([this] {
      std::function<void()> step = std::move(m_steps.front());
      m_steps.pop_front();
      step();
      Schedule();
    });
  }
  platform::CHeadlessBackend& m_backend;
  std::deque<std::function<void()>> m_steps;
};

inline POINT Centre(const RECT& rc) {
  return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

// The centre of an item of a shown menu; the test fails when the menu is not shown.
inline POINT ItemCentre(const CMenu* menu, int pos) {
  RECT rc{};
  EXPECT_TRUE(menu && menu->GetMenuItemRect(static_cast<UINT>(pos), &rc))
      << "item " << pos << " is not shown";
  return Centre(rc);
}

inline bool IsShown(const CMenu* menu) {
  RECT rc{};
  return menu && menu->GetMenuItemRect(0, &rc);
}

// An owner window that opens the popup of menu 181 when it receives WM_OPENMENU, and records the commands
// it receives and whether a tracking was still running when each came.
class MenuFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, Rect(100, 100, 400, 400), nullptr, 0));
    ASSERT_TRUE(menu.LoadMenu(kMenuId));
    popup = menu.GetSubMenu(0);
    ASSERT_NE(popup, nullptr);
    owner.onMessage = [this](UINT message, WPARAM wParam, LPARAM) {
      if (message == WM_OPENMENU) {
        tracking = true;
        trackResult = popup->TrackPopupMenu(flags, at.x, at.y, &owner);
        tracking = false;
        ++tracks;
      } else if (message == WM_COMMAND) {
        commands.push_back(static_cast<UINT>(wParam));
        commandWhileTracking = commandWhileTracking || tracking;
      }
    };
  }

  // Opens the popup at `pt` once the program runs, then plays the script's steps and runs until all is done.
  void OpenAndRun(POINT pt) {
    at = pt;
    owner.PostMessage(WM_OPENMENU);
    script.Start();
    RunUntilIdle(system);
  }

  std::vector<RECT> ShownMenuRects() const {
    std::vector<RECT> rects;
    for (const auto* s : backend.VisibleSurfaces()) {
      if (s->desc.kind == platform::SurfaceKind::PopupMenu) rects.push_back(s->rect);
    }
    return rects;
  }

  platform::ResourceSet resources = ProgramMenus();
  platform::CHeadlessBackend backend;
  platform::CWindowSystem system{backend, &resources};
  MessageLog log;
  CLoggingWnd owner{log, "owner"};
  CMenu menu;
  CMenu* popup = nullptr;
  UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON;
  POINT at{};
  BOOL trackResult = FALSE;
  int tracks = 0;
  bool tracking = false;
  bool commandWhileTracking = false;
  std::vector<UINT> commands;
  CLiveScript script{backend};
};

}  // namespace menutest
