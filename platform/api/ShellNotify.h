// The notification-area (tray) icon of a window: Shell_NotifyIcon, with the record that Types.h brings.
#pragma once

#include "platform/api/Cursor.h"
#include "platform/api/Types.h"

class CMenu;

// NIM_ADD shows an icon for (hWnd, uID); mouse activity over it then reaches hWnd as uCallbackMessage with
// wParam = uID and lParam = the mouse message. NIM_DELETE removes it. FALSE when the icon is already there
// (NIM_ADD), was never added (NIM_DELETE), or the desktop has no notification area; NIM_MODIFY is not
// supported and always fails. The tip is accepted but not shown.
BOOL Shell_NotifyIcon(DWORD dwMessage, NOTIFYICONDATA* lpData);
// Gives the icon of (hWnd, uID) a menu for desktops that draw a tray icon's menu themselves (the panels of
// Linux desktops read it over D-Bus): an item chosen there reaches hWnd as the WM_COMMAND that choosing it
// in TrackPopupMenu posts. The menu is read again whenever it changes, and must live as long as the icon;
// null withdraws it. Windows draws no such menus, so there the call changes nothing. FALSE for an icon
// that was never added.
BOOL Shell_NotifyIconMenu(HWND hWnd, UINT uID, CMenu* pMenu);
