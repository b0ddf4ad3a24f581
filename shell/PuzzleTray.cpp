// CPuzzleDlg's notification-area icon: added at start-up, removed with the window, and what a press on it
// does.
#include <cstring>

#include "platform/api/ShellNotify.h"
#include "platform/api/StringResource.h"
#include "res/ResourceIds.h"
#include "ui/PuzzleDlg.h"

namespace {
// The size of the icon record the program describes its icon with.
constexpr DWORD kNotifyIconDataSize = 88;
constexpr UINT kTrayIconId = IDR_MAINFRAME;
}  // namespace

void CPuzzleDlg::AddTrayIcon() {
  NOTIFYICONDATA nid{};
  nid.cbSize = kNotifyIconDataSize;
  nid.hWnd = m_hWnd;
  nid.uID = kTrayIconId;
  nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  nid.uCallbackMessage = WM_TRAYNOTIFY;
  nid.hIcon = LoadIcon(IDR_MAINFRAME);
  // The resources define no tip, so the string stays empty and the icon shows no tooltip.
  LoadString(IDS_TRAY_TIP, nid.szTip, sizeof nid.szTip);
  Shell_NotifyIcon(NIM_ADD, &nid);
}

// Desktops that draw a tray icon's menu themselves show the popup menu, with its check marks; a choice
// there arrives as the same WM_COMMAND.
void CPuzzleDlg::ShareTrayMenu() {
  Shell_NotifyIconMenu(m_hWnd, kTrayIconId, m_menuPopup.GetSubMenu(0));
}

void CPuzzleDlg::RemoveTrayIcon() {
  NOTIFYICONDATA nid{};
  nid.cbSize = kNotifyIconDataSize;
  nid.hWnd = m_hWnd;
  nid.uID = kTrayIconId;
  Shell_NotifyIcon(NIM_DELETE, &nid);
}

// A left press brings the window forward; a right press asks for the menu, which opens once this
// callback has returned. Nothing else over the icon has any effect.
LRESULT CPuzzleDlg::OnTrayNotify(WPARAM /*wParam*/, LPARAM lParam) {
  switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONDOWN:
      SetForegroundWindow();
      SetActiveWindow();
      break;
    case WM_RBUTTONDOWN: PostMessage(WM_SHOWPOPUP, 0, 0); break;
    default: break;
  }
  return 0;
}
