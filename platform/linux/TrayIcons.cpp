// The window system's tray icons: which window owns each icon the backend shows, and the message that mouse
// activity over it becomes.
#include <algorithm>

#include "platform/linux/WindowSystem.h"

namespace platform {

bool CWindowSystem::AddTrayIcon(HWND owner, UINT uID, UINT callbackMessage,
                                const std::vector<PixelImage>& icons) {
  if (!IsWindow(owner)) return false;
  for (const TrayIcon& icon : m_trayIcons) {
    if (icon.owner == owner && icon.uID == uID) return false;
  }
  TrayId id = m_backend.AddTrayIcon(icons);
  if (id == 0) return false;
  m_trayIcons.push_back(TrayIcon{id, owner, uID, callbackMessage});
  return true;
}

bool CWindowSystem::RemoveTrayIcon(HWND owner, UINT uID) {
  auto it = std::find_if(m_trayIcons.begin(), m_trayIcons.end(),
                         [&](const TrayIcon& t) { return t.owner == owner && t.uID == uID; });
  if (it == m_trayIcons.end()) return false;
  m_backend.RemoveTrayIcon(it->id);
  m_trayIcons.erase(it);
  return true;
}

}  // namespace platform
