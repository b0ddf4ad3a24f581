// The window system's tray icons: which window owns each icon the backend shows, the message that mouse
// activity over it becomes, and the menu a desktop may draw for it, read from the program's own menu.
#include <algorithm>

#include "platform/api/Menu.h"
#include "platform/linux/WindowSystem.h"

namespace platform {

namespace {

// The menu as a desktop draws it. The settings submenus mark their current choice; every item of a menu
// that holds a check mark gets a check box, so that a host shows the choices as such.
TrayMenu TrayMenuOf(const CMenu& menu) {
  TrayMenu items;
  const int count = std::max(menu.GetMenuItemCount(), 0);
  bool anyChecked = false;
  for (int pos = 0; pos < count; ++pos) {
    const UINT position = static_cast<UINT>(pos);
    const UINT state = menu.GetMenuState(position, MF_BYPOSITION);
    TrayMenuItem item;
    item.separator = (state & MF_SEPARATOR) != 0;
    item.checked = (state & MF_CHECKED) != 0;
    anyChecked = anyChecked || item.checked;
    if (!item.separator) menu.GetMenuString(position, item.label, MF_BYPOSITION);
    if (const CMenu* submenu = menu.GetSubMenu(pos))
      item.children = TrayMenuOf(*submenu);
    else if (!item.separator)
      item.command = menu.GetMenuItemID(pos);
    items.push_back(std::move(item));
  }
  for (TrayMenuItem& item : items) item.checkable = anyChecked && item.command != 0;
  return items;
}

bool HoldsCommand(const TrayMenu& menu, UINT command) {
  return std::any_of(menu.begin(), menu.end(), [command](const TrayMenuItem& item) {
    return (item.command == command && item.enabled) || HoldsCommand(item.children, command);
  });
}

}  // namespace

CWindowSystem::TrayIcon* CWindowSystem::FindTrayIcon(HWND owner, UINT uID) {
  auto it = std::find_if(m_trayIcons.begin(), m_trayIcons.end(),
                         [&](const TrayIcon& t) { return t.owner == owner && t.uID == uID; });
  return it == m_trayIcons.end() ? nullptr : &*it;
}

bool CWindowSystem::AddTrayIcon(HWND owner, UINT uID, UINT callbackMessage,
                                const std::vector<PixelImage>& icons) {
  if (!IsWindow(owner) || FindTrayIcon(owner, uID)) return false;
  TrayId id = m_backend.AddTrayIcon(icons);
  if (id == 0) return false;
  m_trayIcons.push_back(TrayIcon{id, owner, uID, callbackMessage, nullptr, {}});
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

bool CWindowSystem::SetTrayIconMenu(HWND owner, UINT uID, CMenu* menu) {
  TrayIcon* icon = FindTrayIcon(owner, uID);
  if (!icon) return false;
  icon->menu = menu;
  SyncTrayMenus();
  return true;
}

void CWindowSystem::SyncTrayMenus() {
  for (TrayIcon& icon : m_trayIcons) {
    TrayMenu now = icon.menu ? TrayMenuOf(*icon.menu) : TrayMenu{};
    if (now == icon.shown) continue;
    icon.shown = std::move(now);
    m_backend.SetTrayMenu(icon.id, icon.shown);
  }
}

// A choice in the desktop's menu runs what the same choice in the program's popup runs. The desktop may
// have drawn a menu that has changed since; a command it no longer holds is dropped.
bool CWindowSystem::RouteTrayCommand(const InputEvent& ev, MSG& msg) {
  auto it = std::find_if(m_trayIcons.begin(), m_trayIcons.end(),
                         [&](const TrayIcon& t) { return t.id == ev.tray; });
  if (it == m_trayIcons.end() || !IsWindow(it->owner) || !it->menu) return false;
  if (ev.command == 0 || !HoldsCommand(TrayMenuOf(*it->menu), ev.command)) return false;
  msg.hwnd = it->owner;
  msg.message = WM_COMMAND;
  msg.wParam = ev.command;
  msg.lParam = 0;
  return true;
}

}  // namespace platform
