// The notification-area (tray) icon of a window: Shell_NotifyIcon and the record that describes the icon.
#pragma once

#include "platform/api/Cursor.h"
#include "platform/api/Types.h"

#if !defined(_WIN32)
constexpr DWORD NIM_ADD = 0;
constexpr DWORD NIM_MODIFY = 1;
constexpr DWORD NIM_DELETE = 2;

constexpr UINT NIF_MESSAGE = 0x1;
constexpr UINT NIF_ICON = 0x2;
constexpr UINT NIF_TIP = 0x4;

struct NOTIFYICONDATA {
  DWORD cbSize = 0;
  HWND hWnd = nullptr;
  UINT uID = 0;
  UINT uFlags = 0;
  UINT uCallbackMessage = 0;
  HICON hIcon = nullptr;
  char szTip[64] = {};
};
#else
// The system's record, its tip in UTF-8 like every text of the program; the icon goes through the "W" call.
#undef Shell_NotifyIcon
using NOTIFYICONDATA = NOTIFYICONDATAA;
#endif

// NIM_ADD shows an icon for (hWnd, uID); mouse activity over it then reaches hWnd as uCallbackMessage with
// wParam = uID and lParam = the mouse message. NIM_DELETE removes it. FALSE when the icon is already there
// (NIM_ADD), was never added (NIM_DELETE), or the desktop has no notification area; NIM_MODIFY is not
// supported and always fails. The tip is accepted but not shown.
BOOL Shell_NotifyIcon(DWORD dwMessage, NOTIFYICONDATA* lpData);
