// The notification-area icon on Windows: the program's record, its tip in UTF-8, given to Shell_NotifyIconW.
#include <algorithm>

#include "platform/api/ShellNotify.h"
#include "platform/win32/Utf16.h"

BOOL Shell_NotifyIcon(DWORD dwMessage, NOTIFYICONDATA* lpData) {
  if (!lpData) return FALSE;
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = lpData->hWnd;
  data.uID = lpData->uID;
  data.uFlags = lpData->uFlags & (NIF_MESSAGE | NIF_ICON | NIF_TIP);
  data.uCallbackMessage = lpData->uCallbackMessage;
  data.hIcon = lpData->hIcon;
  const std::wstring tip =
      platform::Widen(std::string(lpData->szTip, strnlen(lpData->szTip, sizeof lpData->szTip)));
  tip.copy(data.szTip, std::min(tip.size(), std::size(data.szTip) - 1));
  return Shell_NotifyIconW(dwMessage, &data);
}

// The taskbar's notification area draws no menus of its own: the program opens its popup itself.
BOOL Shell_NotifyIconMenu(HWND hWnd, UINT /*uID*/, CMenu* /*pMenu*/) {
  return IsWindow(hWnd) ? TRUE : FALSE;
}
