// The notification-area (tray) icon of a window: Shell_NotifyIcon and the record that describes the icon.
#include "platform/api/ShellNotify.h"

#include "platform/linux/WindowSystem.h"

BOOL Shell_NotifyIcon(DWORD dwMessage, NOTIFYICONDATA* lpData) {
  platform::CWindowSystem* system = platform::CWindowSystem::Current();
  if (!system || !lpData) return FALSE;
  switch (dwMessage) {
    case NIM_ADD: {
      std::vector<platform::PixelImage> images;
      if ((lpData->uFlags & NIF_ICON) && lpData->hIcon) images = lpData->hIcon->images;
      // Without NIF_MESSAGE the owner asked for no callback; WM_NULL reaches it and means nothing.
      const UINT callback = (lpData->uFlags & NIF_MESSAGE) ? lpData->uCallbackMessage : WM_NULL;
      return system->AddTrayIcon(lpData->hWnd, lpData->uID, callback, images) ? TRUE : FALSE;
    }
    case NIM_DELETE: return system->RemoveTrayIcon(lpData->hWnd, lpData->uID) ? TRUE : FALSE;
    default:
      // FIXME: NIM_MODIFY would need the window system to change an icon in place; the program never
      // changes its icon once added.
      return FALSE;
  }
}

BOOL Shell_NotifyIconMenu(HWND hWnd, UINT uID, CMenu* pMenu) {
  platform::CWindowSystem* system = platform::CWindowSystem::Current();
  return system && system->SetTrayIconMenu(hWnd, uID, pMenu) ? TRUE : FALSE;
}
