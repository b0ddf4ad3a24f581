// The Windows platform's windows: parents and owners, messages and timers through the program's own loop,
// PreTranslateMessage from a child up to its parent, the end of a window, modal dialogs built from our
// templates, menus built from our menu resources, and icons and cursors made from pixel art.
#include <string>
#include <vector>

#include "platform/api/Cursor.h"
#include "platform/api/Dialog.h"
#include "platform/api/Menu.h"
#include "platform/api/WinApp.h"
#include "platform/api/Wnd.h"
#include "platform/win32/Utf16.h"
#include "tests/windows/platform/Win32TestSupport.h"

namespace {

constexpr UINT kProbeCommand = 1234;
constexpr UINT_PTR kTimerId = 7;

// Records what reaches it; a key may be taken before it is dispatched.
class CRecordingWnd : public CWnd {
 public:
  explicit CRecordingWnd(std::vector<std::string>* log, std::string name, bool takesKeys = false)
      : m_log(log), m_name(std::move(name)), m_takesKeys(takesKeys) {}

  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message != WM_KEYDOWN) return FALSE;
    m_log->push_back(m_name + " pre-translate");
    return m_takesKeys ? TRUE : FALSE;
  }
  BOOL OnCmdMsg(UINT nID) override {
    m_log->push_back(m_name + " command " + std::to_string(nID));
    return TRUE;
  }

 protected:
  void OnTimer(UINT_PTR id) override {
    m_log->push_back(m_name + " timer " + std::to_string(id));
    KillTimer(id);
  }
  void OnKeyDown(UINT nChar, UINT, UINT) override {
    m_log->push_back(m_name + " key " + std::to_string(nChar));
  }

 private:
  std::vector<std::string>* m_log;
  std::string m_name;
  bool m_takesKeys;
};

bool Logged(const std::vector<std::string>& log, const std::string& entry) {
  for (const std::string& each : log) {
    if (each == entry) return true;
  }
  return false;
}

platform::PixelImage Square(int size, std::uint32_t argb, POINT hotspot = {}) {
  platform::PixelImage image;
  image.width = size;
  image.height = size;
  image.argb.assign(static_cast<std::size_t>(size * size), argb);
  image.hotspot = hotspot;
  return image;
}

constexpr UINT kDialogId = 100;
constexpr UINT kMenuId = 3;
constexpr UINT kIconId = 1;
constexpr UINT kCursorId = 2;

platform::ResourceSet WindowResources() {
  platform::ResourceSet set;
  set.icons[kIconId].images = {Square(16, 0xFF0000FF), Square(32, 0xFFFF0000)};
  set.cursors[kCursorId].image = Square(32, 0xFF00FF00, POINT{5, 7});
  platform::DialogResource box;
  box.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
  box.dlu = RECT{0, 0, 173, 59};
  box.title = "バージョン情報";
  box.fontFace = "ＭＳ Ｐゴシック";
  // The default button comes first, so that it also has the focus when the box opens.
  using platform::ControlClass;
  box.controls = {
      {.cls = ControlClass::Button,
       .id = IDCANCEL,
       .style = WS_TABSTOP | BS_DEFPUSHBUTTON,
       .dlu = {117, 40, 167, 54},
       .text = "キャンセル"},
      {.cls = ControlClass::Button,
       .id = IDOK,
       .style = WS_TABSTOP | BS_PUSHBUTTON,
       .dlu = {60, 40, 110, 54},
       .text = "OK"},
      {.cls = ControlClass::Static,
       .id = -1,
       .style = SS_ICON,
       .dlu = {7, 8, 27, 28},
       .text = "",
       .iconId = kIconId},
      {.cls = ControlClass::Static,
       .id = -1,
       .style = SS_LEFT,
       .dlu = {39, 8, 117, 16},
       .text = "Tilvane　Version"},
  };
  set.dialogs[kDialogId] = box;
  platform::MenuItemResource popup;
  popup.caption = "Popup";
  platform::MenuItemResource colours;
  colours.caption = "色設定";
  colours.submenu = {{"赤", 20, false, {}}, {"青", 21, false, {}}};
  popup.submenu = {{"開始", 10, false, {}}, {"", 0, true, {}}, colours};
  set.menus[kMenuId].items = {popup};
  return set;
}

// A dialog that, once shown, does what the test asks from inside its own modal loop. (WM_USER and the next
// few numbers are the dialog manager's own messages, DM_GETDEFID first.)
constexpr UINT kScriptMessage = WM_APP + 1;
constexpr UINT_PTR kGiveUpTimer = 99;
constexpr int kGaveUp = -2;

class CScriptedDialog : public CDialog {
 public:
  explicit CScriptedDialog(CWnd* owner, std::function<void(CScriptedDialog&)> script)
      : CDialog(kDialogId, owner), m_script(std::move(script)) {}

  std::vector<HWND> children;
  HICON shownIcon = nullptr;
  std::string staticText;
  RECT rect{};

 protected:
  BOOL OnInitDialog() override {
    for (HWND child = GetWindow(m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      children.push_back(child);
    }
    if (children.size() == 4) {
      shownIcon = reinterpret_cast<HICON>(SendMessageW(children[2], STM_GETICON, 0, 0));
      wchar_t text[64] = {};
      GetWindowTextW(children[3], text, 64);
      staticText = platform::Narrow(text);
    }
    GetWindowRect(&rect);
    PostMessage(kScriptMessage);
    SetTimer(kGiveUpTimer, 2000);
    return TRUE;
  }
  // A dialog that the script did not end gives up instead of holding the test run.
  void OnTimer(UINT_PTR id) override {
    if (id == kGiveUpTimer) EndDialog(kGaveUp);
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kScriptMessage) {
      m_script(*this);
      return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
  }

 private:
  std::function<void(CScriptedDialog&)> m_script;
};

class Win32Windows : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, kOwnerRect, nullptr, 0));
  }

  static constexpr RECT kOwnerRect{100, 100, 500, 400};
  platform::ResourceSet resources = WindowResources();
  win32test::ScopedResources scope{resources};
  std::vector<std::string> log;
  CRecordingWnd owner{&log, "owner", true};
};

}  // namespace

TEST(Win32Text, Utf8AndUtf16RoundTrip) {
  EXPECT_EQ(platform::Widen(""), L"");
  EXPECT_EQ(platform::Widen("バージョン情報"), L"バージョン情報");
  EXPECT_EQ(platform::Narrow(L"Tilvane\u3000Version"), "Tilvane\u3000Version");
  EXPECT_EQ(platform::Narrow(platform::Widen("移動回数 48 回")), "移動回数 48 回");
}

TEST_F(Win32Windows, AChildHasItsParentWhileAPopupHasOnlyAnOwner) {
  CRecordingWnd popup(&log, "popup");
  ASSERT_TRUE(popup.CreateEx(0, nullptr, "popup", WS_POPUP, RECT{10, 10, 50, 50}, &owner, 0));
  CRecordingWnd child(&log, "child");
  ASSERT_TRUE(child.Create(nullptr, "child", WS_CHILD | WS_VISIBLE, RECT{5, 6, 25, 36}, &owner, 0));
  EXPECT_EQ(child.GetParent(), &owner);
  EXPECT_EQ(popup.GetParent(), nullptr);
  EXPECT_EQ(popup.GetOwner(), &owner);
  EXPECT_EQ(CWnd::FromHandle(child.m_hWnd), &child);
  EXPECT_FALSE(child.Create(nullptr, "again", WS_CHILD, RECT{0, 0, 1, 1}, &owner, 0));

  owner.SetWindowText("所有者");
  EXPECT_EQ(owner.GetWindowText(), "所有者");
  RECT rc{};
  child.GetClientRect(&rc);
  EXPECT_EQ(CRect(rc), CRect(0, 0, 20, 30));
  POINT pt{0, 0};
  child.ClientToScreen(&pt);
  EXPECT_EQ(pt.x, 105);
  EXPECT_EQ(pt.y, 106);
  owner.GetWindowRect(&rc);
  EXPECT_EQ(CRect(rc), CRect(kOwnerRect));
  RECT desktop{};
  CWnd::GetDesktopWindow()->GetWindowRect(&desktop);
  EXPECT_GT(desktop.right - desktop.left, 0);
}

TEST_F(Win32Windows, PostedCommandsAndTimersReachTheHandlersThroughTheProgramsLoop) {
  ASSERT_EQ(owner.SetTimer(kTimerId, 10), kTimerId);
  ASSERT_TRUE(owner.PostMessage(WM_COMMAND, kProbeCommand));
  EXPECT_TRUE(win32test::PumpUntil([&] {
    return Logged(log, "owner timer 7") && Logged(log, "owner command 1234");
  })) << ::testing::PrintToString(log);
}

TEST_F(Win32Windows, AKeyPassesTheChildAndThenItsParentBeforeItIsDispatched) {
  CRecordingWnd child(&log, "child");
  ASSERT_TRUE(child.Create(nullptr, "child", WS_CHILD | WS_VISIBLE, RECT{5, 5, 25, 25}, &owner, 0));
  PostMessageW(child.m_hWnd, WM_KEYDOWN, VK_SPACE, 0);
  PostMessageW(owner.m_hWnd, WM_COMMAND, kProbeCommand, 0);  // after the key: the loop has seen the key
  ASSERT_TRUE(win32test::PumpUntil([&] { return Logged(log, "owner command 1234"); }));
  EXPECT_EQ(log,
            (std::vector<std::string>{"child pre-translate", "owner pre-translate", "owner command 1234"}));
}

TEST_F(Win32Windows, AFrameWindowDeletesItselfWhenItsWindowIsGone) {
  auto* frame = new CFrameWnd;
  ASSERT_TRUE(frame->Create(nullptr, "frame"));
  HWND hwnd = frame->m_hWnd;
  EXPECT_EQ(CWnd::FromHandle(hwnd), frame);
  EXPECT_TRUE(frame->DestroyWindow());  // deletes the object
  EXPECT_EQ(CWnd::FromHandle(hwnd), nullptr);
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(Win32Windows, ADialogFromOurTemplateHasTheControlsTheIconAndAPlaceOverItsOwner) {
  CScriptedDialog dialog(&owner, [](CScriptedDialog& box) {
    EXPECT_FALSE(box.GetOwner()->IsWindowEnabled());
    SendMessageW(box.children[1], BM_CLICK, 0, 0);  // OK, pressed and released
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  ASSERT_EQ(dialog.children.size(), 4u);
  EXPECT_EQ(dialog.shownIcon, LoadIcon(kIconId));
  EXPECT_EQ(dialog.staticText, "Tilvane　Version");
  // Centred over the owner, within a pixel.
  EXPECT_NEAR((dialog.rect.left + dialog.rect.right) / 2, 300, 1);
  EXPECT_NEAR((dialog.rect.top + dialog.rect.bottom) / 2, 250, 1);
  EXPECT_TRUE(owner.IsWindowEnabled());
  EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST_F(Win32Windows, EnterPressesTheDefaultButtonAndEscapeCancels) {
  CScriptedDialog enter(&owner, [](CScriptedDialog& box) { box.PostMessage(WM_KEYDOWN, VK_RETURN); });
  EXPECT_EQ(enter.DoModal(), IDCANCEL);  // the template's default button is Cancel
  CScriptedDialog escape(&owner, [&](CScriptedDialog& box) {
    PostMessageW(box.children[1], WM_KEYDOWN, VK_ESCAPE, 0);  // a key of a control reaches its dialog first
  });
  EXPECT_EQ(escape.DoModal(), IDCANCEL);
  CScriptedDialog closed(&owner, [](CScriptedDialog& box) { box.PostMessage(WM_CLOSE); });
  EXPECT_EQ(closed.DoModal(), IDCANCEL);
  CDialog missing(999, &owner);
  EXPECT_EQ(missing.DoModal(), -1);
}

TEST_F(Win32Windows, AMenuResourceBecomesASystemMenuWithItsCaptionsAndCheckMarks) {
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(kMenuId));
  EXPECT_FALSE(menu.LoadMenu(kMenuId));
  CMenu* popup = menu.GetSubMenu(0);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->GetMenuItemCount(), 3);
  EXPECT_EQ(popup->GetMenuItemID(0), 10u);
  EXPECT_EQ(popup->GetMenuItemID(1), 0u);
  EXPECT_EQ(popup->GetMenuItemID(2), kMenuNoItem);
  EXPECT_EQ(popup->GetSubMenu(0), nullptr);
  std::string caption;
  EXPECT_EQ(popup->GetMenuString(0, caption, MF_BYPOSITION), 6);
  EXPECT_EQ(caption, "開始");
  popup->GetMenuString(21, caption, MF_BYCOMMAND);
  EXPECT_EQ(caption, "青");

  EXPECT_EQ(popup->CheckMenuItem(21, MF_BYCOMMAND | MF_CHECKED), MF_UNCHECKED);
  EXPECT_EQ(popup->GetMenuState(21, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  EXPECT_EQ(popup->CheckMenuItem(21, MF_BYCOMMAND | MF_UNCHECKED), MF_CHECKED);
  EXPECT_EQ(popup->CheckMenuItem(99, MF_BYCOMMAND | MF_CHECKED), kMenuNoItem);
  const UINT submenuState = popup->GetMenuState(2, MF_BYPOSITION);
  EXPECT_EQ(submenuState & MF_POPUP, MF_POPUP);
  EXPECT_EQ(submenuState >> 8, 2u);  // its item count
  EXPECT_EQ(popup->GetMenuState(1, MF_BYPOSITION) & MF_SEPARATOR, MF_SEPARATOR);

  RECT rc{};
  EXPECT_FALSE(popup->GetMenuItemRect(0, &rc));  // not shown
  EXPECT_FALSE(popup->TrackPopupMenu(TPM_LEFTALIGN, 0, 0, nullptr));
  EXPECT_TRUE(menu.DestroyMenu());
  EXPECT_FALSE(menu.DestroyMenu());
  EXPECT_EQ(menu.GetMenuItemCount(), -1);
  EXPECT_EQ(menu.GetSubMenu(0), nullptr);
}

TEST_F(Win32Windows, IconsAndCursorsAreMadeOnceFromThePixelArt) {
  HICON icon = LoadIcon(kIconId);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(LoadIcon(kIconId), icon);
  EXPECT_EQ(IconAsCursor(icon), icon);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP picture{};
  GetObjectW(info.hbmColor, sizeof picture, &picture);
  EXPECT_TRUE(info.fIcon);
  EXPECT_EQ(picture.bmWidth, 32);  // the 32 x 32 picture of the two
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);

  HCURSOR cursor = LoadCursor(kCursorId);
  ASSERT_NE(cursor, nullptr);
  ASSERT_TRUE(GetIconInfo(cursor, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 5u);
  EXPECT_EQ(info.yHotspot, 7u);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);

  EXPECT_EQ(LoadIcon(99), nullptr);
  EXPECT_EQ(LoadCursor(99), nullptr);
}
