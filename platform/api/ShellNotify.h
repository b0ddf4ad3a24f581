// The notification-area (tray) icon of a window: Shell_NotifyIcon, with the record that Types.h brings.
#pragma once

#include "platform/api/Cursor.h"
#include "platform/api/Types.h"

// NIM_ADD shows an icon for (hWnd, uID); mouse activity over it then reaches hWnd as uCallbackMessage with
// wParam = uID and lParam = the mouse message. NIM_DELETE removes it. FALSE when the icon is already there
// (NIM_ADD), was never added (NIM_DELETE), or the desktop has no notification area; NIM_MODIFY is not
// supported and always fails. The tip is accepted but not shown.
BOOL Shell_NotifyIcon(DWORD dwMessage, NOTIFYICONDATA* lpData);
