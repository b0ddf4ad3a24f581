// Tests of the tray icon: Shell_NotifyIcon's adding and removing, and mouse activity reaching the owner.
#include <gtest/gtest.h>

#include "MenuTestSupport.h"
#include "MessageLog.h"
#include "TestSupport.h"
#include "platform/api/ShellNotify.h"

using platform::CHeadlessBackend;
using platform::CWindowSystem;

namespace {

constexpr UINT kIcon = 102;
constexpr UINT WM_TRAYNOTIFY = WM_USER + 1;

platform::ResourceSet TrayResources() {
  platform::ResourceSet set;
  set.icons[kIcon].images = {
      platform::PixelArt({{'r', 0xFFFF0000}}, std::vector<std::string>(32, std::string(32, 'r'))),
      platform::PixelArt({{'r', 0xFFFF0000}}, std::vector<std::string>(16, std::string(16, 'r')))};
  return set;
}

NOTIFYICONDATA AddRecord(HWND owner) {
  NOTIFYICONDATA data;
  data.cbSize = sizeof data;
  data.hWnd = owner;
  data.uID = kIcon;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = WM_TRAYNOTIFY;
  data.hIcon = LoadIcon(kIcon);
  return data;
}

NOTIFYICONDATA DeleteRecord(HWND owner) {
  NOTIFYICONDATA data;
  data.cbSize = sizeof data;
  data.hWnd = owner;
  data.uID = kIcon;
  return data;
}

// A desktop without a notification area: it refuses every icon.
class CNoTrayBackend : public CHeadlessBackend {
 public:
  platform::TrayId AddTrayIcon(const std::vector<platform::PixelImage>&) override { return 0; }
};

struct Callback {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

template <class Backend>
class TrayFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, Rect(100, 100, 300, 300), nullptr, 0));
    owner.onMessage = [this](UINT message, WPARAM wParam, LPARAM lParam) {
      if (message == WM_TRAYNOTIFY) callbacks.push_back(Callback{message, wParam, lParam});
    };
  }
  platform::ResourceSet resources = TrayResources();
  Backend backend;
  CWindowSystem system{backend, &resources};
  MessageLog log;
  CLoggingWnd owner{log, "owner"};
  std::vector<Callback> callbacks;
};

using TrayTest = TrayFixture<CHeadlessBackend>;
using NoTrayTest = TrayFixture<CNoTrayBackend>;

TEST_F(TrayTest, AnAddedIconShowsTheIconsPictures) {
  NOTIFYICONDATA data = AddRecord(owner.m_hWnd);
  EXPECT_TRUE(Shell_NotifyIcon(NIM_ADD, &data));
  ASSERT_EQ(backend.TrayIcons().size(), 1u);
  ASSERT_EQ(backend.TrayIcons()[0].icons.size(), 2u);
  EXPECT_EQ(backend.TrayIcons()[0].icons[0].width, 32);
  EXPECT_EQ(backend.TrayIcons()[0].icons[1].width, 16);
}

TEST_F(TrayTest, MouseActivityOverTheIconArrivesAsTheCallbackMessage) {
  NOTIFYICONDATA data = AddRecord(owner.m_hWnd);
  ASSERT_TRUE(Shell_NotifyIcon(NIM_ADD, &data));
  backend.TrayMouse(WM_RBUTTONDOWN).TrayMouse(WM_RBUTTONUP).TrayMouse(WM_LBUTTONDOWN).TrayMouse(WM_MOUSEMOVE);
  RunUntilIdle(system);
  ASSERT_EQ(callbacks.size(), 4u);
  const UINT expected[] = {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONDOWN, WM_MOUSEMOVE};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(callbacks[i].message, WM_TRAYNOTIFY);
    EXPECT_EQ(callbacks[i].wParam, kIcon);
    EXPECT_EQ(callbacks[i].lParam, static_cast<LPARAM>(expected[i]));
  }
}

TEST_F(TrayTest, ASecondAddOfTheSameIconFailsAndLeavesOneIcon) {
  NOTIFYICONDATA data = AddRecord(owner.m_hWnd);
  EXPECT_TRUE(Shell_NotifyIcon(NIM_ADD, &data));
  EXPECT_FALSE(Shell_NotifyIcon(NIM_ADD, &data));
  EXPECT_EQ(backend.TrayIcons().size(), 1u);
}

TEST_F(TrayTest, DeletingRemovesTheIconAndDeletingAnIconNeverAddedFails) {
  NOTIFYICONDATA remove = DeleteRecord(owner.m_hWnd);
  EXPECT_FALSE(Shell_NotifyIcon(NIM_DELETE, &remove));
  NOTIFYICONDATA data = AddRecord(owner.m_hWnd);
  ASSERT_TRUE(Shell_NotifyIcon(NIM_ADD, &data));
  EXPECT_TRUE(Shell_NotifyIcon(NIM_DELETE, &remove));
  EXPECT_TRUE(backend.TrayIcons().empty());
  EXPECT_FALSE(Shell_NotifyIcon(NIM_DELETE, &remove));
  backend.TrayMouse(WM_RBUTTONDOWN);
  RunUntilIdle(system);
  EXPECT_TRUE(callbacks.empty());
}

TEST_F(TrayTest, RecordsThatNameNoWindowOrNothingFail) {
  NOTIFYICONDATA data = AddRecord(nullptr);
  EXPECT_FALSE(Shell_NotifyIcon(NIM_ADD, &data));
  EXPECT_FALSE(Shell_NotifyIcon(NIM_ADD, nullptr));
  EXPECT_FALSE(Shell_NotifyIcon(NIM_DELETE, nullptr));
  NOTIFYICONDATA valid = AddRecord(owner.m_hWnd);
  EXPECT_FALSE(Shell_NotifyIcon(NIM_MODIFY, &valid));
  EXPECT_FALSE(Shell_NotifyIcon(7, &valid));
  EXPECT_TRUE(backend.TrayIcons().empty());
}

// The menu a desktop draws for the icon is the program's own, read again as it changes; a choice there is
// the command the same choice in the popup would post, and only a command the menu holds.
TEST_F(TrayTest, TheIconsMenuFollowsTheProgramsMenuAndAChoiceThereIsItsCommand) {
  resources.menus = menutest::ProgramMenus().menus;
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(menutest::kMenuId));
  CMenu* popup = menu.GetSubMenu(0);
  NOTIFYICONDATA data = AddRecord(owner.m_hWnd);
  ASSERT_TRUE(Shell_NotifyIcon(NIM_ADD, &data));
  EXPECT_FALSE(Shell_NotifyIconMenu(owner.m_hWnd, kIcon + 1, popup));
  ASSERT_TRUE(Shell_NotifyIconMenu(owner.m_hWnd, kIcon, popup));
  const platform::TrayMenu& shown = backend.TrayIcons()[0].menu;
  ASSERT_EQ(shown.size(), 10u);
  EXPECT_TRUE(shown[menutest::kFirstSeparator].separator);
  EXPECT_EQ(shown[menutest::kExit].label, "終了");
  ASSERT_EQ(shown[menutest::kColour].children.size(), 7u);
  // Nothing is checked yet, so nothing is drawn as a choice.
  EXPECT_FALSE(shown[menutest::kColour].children[1].checkable);

  popup->CheckMenuItem(0x8012, MF_CHECKED);
  RunUntilIdle(system);
  const platform::TrayMenu& checked = backend.TrayIcons()[0].menu;
  EXPECT_TRUE(checked[menutest::kColour].children[1].checked);
  EXPECT_TRUE(checked[menutest::kColour].children[0].checkable);
  EXPECT_FALSE(checked[menutest::kColour].children[0].checked);
  EXPECT_FALSE(checked[menutest::kBoard].children[0].checkable);
  const int updates = backend.TrayIcons()[0].menuUpdates;
  RunUntilIdle(system);
  EXPECT_EQ(backend.TrayIcons()[0].menuUpdates, updates) << "an unchanged menu is not sent again";

  backend.TrayCommand(0x8012).TrayCommand(0x7777).TrayCommand(0);
  RunUntilIdle(system);
  const auto commands = log.Only(WM_COMMAND);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].wParam, 0x8012u);
}

TEST_F(NoTrayTest, WithoutANotificationAreaTheCallsFailAndTheProgramGoesOn) {
  NOTIFYICONDATA data = AddRecord(owner.m_hWnd);
  EXPECT_FALSE(Shell_NotifyIcon(NIM_ADD, &data));
  NOTIFYICONDATA remove = DeleteRecord(owner.m_hWnd);
  EXPECT_FALSE(Shell_NotifyIcon(NIM_DELETE, &remove));
  owner.SetTimer(1, 100);
  backend.Wait(350);
  RunUntilIdle(system);
  EXPECT_EQ(log.Only(WM_TIMER).size(), 3u);
  EXPECT_TRUE(owner.IsWindowVisible());
}

}  // namespace
