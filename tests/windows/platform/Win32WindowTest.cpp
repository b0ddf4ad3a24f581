// The Windows platform's windows: parents and owners, messages and timers through the program's own loop,
// PreTranslateMessage from a child up to its parent, the end of a window, and the module's resources: the
// About box's template run as a modal dialog, the popup menu, the icon in its two sizes and the cursors.
#include <string>
#include <vector>

#include "platform/api/Cursor.h"
#include "platform/api/Dialog.h"
#include "platform/api/Menu.h"
#include "platform/api/WinApp.h"
#include "platform/api/Wnd.h"
#include "platform/win32/Utf16.h"
#include "platform/win32/Win32Icons.h"
#include "res/ResourceArt.h"
#include "res/ResourceIds.h"
#include "res/Version.h"
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

// A dialog that, once shown, does what the test asks from inside its own modal loop. (WM_USER and the next
// few numbers are the dialog manager's own messages, DM_GETDEFID first.)
constexpr UINT kScriptMessage = WM_APP + 1;
constexpr UINT_PTR kGiveUpTimer = 99;
constexpr int kGaveUp = -2;

class CScriptedDialog : public CDialog {
 public:
  explicit CScriptedDialog(CWnd* owner, std::function<void(CScriptedDialog&)> script)
      : CDialog(IDD_ABOUTBOX, owner), m_script(std::move(script)) {}

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
      shownIcon = reinterpret_cast<HICON>(SendMessageW(children[1], STM_GETICON, 0, 0));
      wchar_t text[64] = {};
      GetWindowTextW(children[2], text, 64);
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

TEST_F(Win32Windows, TheAboutBoxOfTheModuleHasItsControlsItsIconAndAPlaceOverItsOwner) {
  CScriptedDialog dialog(&owner, [](CScriptedDialog& box) {
    EXPECT_FALSE(box.GetOwner()->IsWindowEnabled());
    SendMessageW(box.children[0], BM_CLICK, 0, 0);  // OK, pressed and released
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  ASSERT_EQ(dialog.children.size(), 4u);
  EXPECT_NE(dialog.shownIcon, nullptr);  // the dialog manager loaded icon 102 for the icon static
  EXPECT_EQ(dialog.staticText, std::string(tilvane::kVersion.productName) + "\u3000Version " +
                                   tilvane::kVersion.productVersionText);
  // Centred over the owner, within a pixel.
  EXPECT_NEAR((dialog.rect.left + dialog.rect.right) / 2, 300, 1);
  EXPECT_NEAR((dialog.rect.top + dialog.rect.bottom) / 2, 250, 1);
  EXPECT_TRUE(owner.IsWindowEnabled());
  EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST_F(Win32Windows, EnterPressesTheDefaultButtonEscapeAndClosingCancel) {
  CScriptedDialog enter(&owner, [](CScriptedDialog& box) { box.PostMessage(WM_KEYDOWN, VK_RETURN); });
  EXPECT_EQ(enter.DoModal(), IDOK);
  CScriptedDialog escape(&owner, [&](CScriptedDialog& box) {
    PostMessageW(box.children[0], WM_KEYDOWN, VK_ESCAPE, 0);  // a key of a control reaches its dialog first
  });
  EXPECT_EQ(escape.DoModal(), IDCANCEL);
  CScriptedDialog closed(&owner, [](CScriptedDialog& box) { box.PostMessage(WM_CLOSE); });
  EXPECT_EQ(closed.DoModal(), IDCANCEL);
  CDialog missing(999, &owner);
  EXPECT_EQ(missing.DoModal(), -1);
}

TEST_F(Win32Windows, TheModulesMenuHasItsCaptionsSubmenusAndCheckMarks) {
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(IDR_POPUP));
  EXPECT_FALSE(menu.LoadMenu(IDR_POPUP));
  CMenu missing;
  EXPECT_FALSE(missing.LoadMenu(999));
  CMenu* popup = menu.GetSubMenu(0);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->GetMenuItemCount(), 10);
  EXPECT_EQ(popup->GetMenuItemID(0), ID_START);
  EXPECT_EQ(popup->GetMenuItemID(1), 0u);
  EXPECT_EQ(popup->GetMenuItemID(2), kMenuNoItem);
  EXPECT_EQ(popup->GetSubMenu(0), nullptr);
  std::string caption;
  EXPECT_EQ(popup->GetMenuString(0, caption, MF_BYPOSITION), 6);
  EXPECT_EQ(caption, "開始");
  CMenu* colours = popup->GetSubMenu(2);
  ASSERT_NE(colours, nullptr);
  EXPECT_EQ(colours->GetMenuItemID(1), ID_COLOR_PURPLE);
  popup->GetMenuString(ID_COLOR_BLUE, caption, MF_BYCOMMAND);
  EXPECT_EQ(caption, "青");

  EXPECT_EQ(colours->CheckMenuItem(5, MF_BYPOSITION | MF_CHECKED), MF_UNCHECKED);
  EXPECT_EQ(popup->GetMenuState(ID_COLOR_BLUE, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  EXPECT_EQ(popup->CheckMenuItem(ID_COLOR_BLUE, MF_BYCOMMAND | MF_UNCHECKED), MF_CHECKED);
  EXPECT_EQ(popup->CheckMenuItem(99, MF_BYCOMMAND | MF_CHECKED), kMenuNoItem);
  const UINT submenuState = popup->GetMenuState(5, MF_BYPOSITION);
  EXPECT_EQ(submenuState & MF_POPUP, MF_POPUP);
  EXPECT_EQ(submenuState >> 8, 6u);  // the six board sizes
  EXPECT_EQ(popup->GetMenuState(8, MF_BYPOSITION) & MF_SEPARATOR, MF_SEPARATOR);

  RECT rc{};
  EXPECT_FALSE(popup->GetMenuItemRect(0, &rc));  // not shown
  EXPECT_FALSE(popup->TrackPopupMenu(TPM_LEFTALIGN, 0, 0, nullptr));
  EXPECT_TRUE(menu.DestroyMenu());
  EXPECT_FALSE(menu.DestroyMenu());
  EXPECT_EQ(menu.GetMenuItemCount(), -1);
  EXPECT_EQ(menu.GetSubMenu(0), nullptr);
}

namespace {

// The pixels an icon shows drawn on white at its own size: transparent ones stay white.
std::vector<COLORREF> Shown(HICON icon, int size) {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP canvas = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(dc, canvas);
  PatBlt(dc, 0, 0, size, size, WHITENESS);
  DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) pixels.push_back(GetPixel(dc, x, y));
  }
  SelectObject(dc, previous);
  DeleteObject(canvas);
  DeleteDC(dc);
  return pixels;
}

std::vector<COLORREF> OnWhite(const platform::PixelImage& art) {
  std::vector<COLORREF> pixels;
  for (std::uint32_t argb : art.argb) {
    pixels.push_back((argb >> 24) ? RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF)
                                  : RGB(255, 255, 255));
  }
  return pixels;
}

int IconWidth(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return 0;
  BITMAP picture{};
  GetObjectW(info.hbmColor, sizeof picture, &picture);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return picture.bmWidth;
}

}  // namespace

TEST_F(Win32Windows, TheIconHasItsOwnSmallPictureForTheWindowsSmallIcon) {
  HICON icon = LoadIcon(IDR_MAINFRAME);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(LoadIcon(IDR_MAINFRAME), icon);
  EXPECT_EQ(IconWidth(icon), 32);
  HICON small = platform::SmallIconOf(icon);
  EXPECT_EQ(IconWidth(small), 16);
  const platform::IconResource art = tilvane::art::MainIcon();
  for (const platform::PixelImage& picture : art.images) {
    EXPECT_EQ(Shown(picture.width == 16 ? small : icon, picture.width), OnWhite(picture)) << picture.width;
  }
  owner.SetIcon(icon, TRUE);
  owner.SetIcon(icon, FALSE);
  EXPECT_EQ(owner.SendMessage(WM_GETICON, ICON_BIG), reinterpret_cast<LRESULT>(icon));
  EXPECT_EQ(owner.SendMessage(WM_GETICON, ICON_SMALL), reinterpret_cast<LRESULT>(small));
  EXPECT_EQ(LoadIcon(99), nullptr);
}

TEST_F(Win32Windows, TheCursorsHaveTheirHotSpots) {
  for (auto [id, art] :
       {std::pair{IDC_GRIP, tilvane::art::GripCursor()}, {IDC_POINTER, tilvane::art::PointerCursor()}}) {
    HCURSOR cursor = LoadCursor(id);
    ASSERT_NE(cursor, nullptr) << id;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, static_cast<DWORD>(art.image.hotspot.x)) << id;
    EXPECT_EQ(info.yHotspot, static_cast<DWORD>(art.image.hotspot.y)) << id;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
  EXPECT_EQ(LoadCursor(99), nullptr);
}
