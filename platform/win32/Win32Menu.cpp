// CMenu on Windows: an HMENU loaded from the module's menu resource, tracked by the system.
#include <algorithm>

#include "platform/api/Menu.h"
#include "platform/api/Resources.h"
#include "platform/api/Wnd.h"
#include "platform/win32/Utf16.h"

namespace {

// What the system's menu holds, read back item by item.
std::vector<platform::MenuItemResource> ReadItems(HMENU menu) {
  std::vector<platform::MenuItemResource> items(
      static_cast<std::size_t>(std::max(::GetMenuItemCount(menu), 0)));
  for (std::size_t pos = 0; pos < items.size(); ++pos) {
    platform::MenuItemResource& item = items[pos];
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
    GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &info);
    wchar_t caption[256] = {};
    const int length = GetMenuStringW(menu, static_cast<UINT>(pos), caption, 256, MF_BYPOSITION);
    item.caption =
        platform::Narrow(std::wstring_view(caption, static_cast<std::size_t>(std::max(length, 0))));
    item.separator = (info.fType & MFT_SEPARATOR) != 0;
    item.id = info.hSubMenu ? 0 : info.wID;
    if (info.hSubMenu) item.submenu = ReadItems(info.hSubMenu);
  }
  return items;
}

}  // namespace

CMenu::CMenu() = default;

CMenu::~CMenu() {
  DestroyMenu();
}

BOOL CMenu::LoadMenu(UINT nIDResource) {
  if (m_hMenu) return FALSE;
  m_hMenu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(nIDResource));
  if (!m_hMenu) return FALSE;
  Build(ReadItems(m_hMenu));
  m_bLoaded = true;
  return TRUE;
}

// The system made the menu from the module's resource; each of its submenus gets a CMenu of its own, which
// GetSubMenu hands out, over the submenu's own handle.
void CMenu::Build(const std::vector<platform::MenuItemResource>& items) {
  for (std::size_t pos = 0; pos < items.size(); ++pos) {
    const platform::MenuItemResource& resource = items[pos];
    Item item;
    item.caption = resource.caption;
    item.id = resource.id;
    item.separator = resource.separator;
    if (resource.IsPopup()) {
      item.submenu = std::make_unique<CMenu>();
      item.submenu->m_pParent = this;
      item.submenu->m_hMenu = ::GetSubMenu(m_hMenu, static_cast<int>(pos));
      item.submenu->m_bLoaded = true;
      item.submenu->Build(resource.submenu);
    }
    m_items.push_back(std::move(item));
  }
}

// The system destroys a menu's submenus with it; our objects for them only let go of their handles.
BOOL CMenu::DestroyMenu() {
  if (!m_hMenu) return FALSE;
  for (Item& item : m_items) {
    if (item.submenu) item.submenu->m_hMenu = nullptr;
  }
  if (!m_pParent) ::DestroyMenu(m_hMenu);
  m_hMenu = nullptr;
  m_items.clear();
  m_bLoaded = false;
  return TRUE;
}

const void* CMenu::GetSafeHmenu() const {
  return m_hMenu;
}

CMenu* CMenu::GetSubMenu(int nPos) const {
  if (nPos < 0 || static_cast<std::size_t>(nPos) >= m_items.size()) return nullptr;
  return m_items[static_cast<std::size_t>(nPos)].submenu.get();
}

int CMenu::GetMenuItemCount() const {
  return m_hMenu ? ::GetMenuItemCount(m_hMenu) : -1;
}

UINT CMenu::GetMenuItemID(int nPos) const {
  return m_hMenu ? ::GetMenuItemID(m_hMenu, nPos) : kMenuNoItem;
}

int CMenu::GetMenuString(UINT nIDItem, std::string& rString, UINT nFlags) const {
  rString.clear();
  if (!m_hMenu) return 0;
  wchar_t caption[256] = {};
  const int length = GetMenuStringW(m_hMenu, nIDItem, caption, 256, nFlags);
  rString = platform::Narrow(std::wstring_view(caption, length > 0 ? static_cast<std::size_t>(length) : 0));
  return static_cast<int>(rString.size());
}

UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const {
  return m_hMenu ? ::GetMenuState(m_hMenu, nID, nFlags) : kMenuNoItem;
}

UINT CMenu::CheckMenuItem(UINT nIDCheckItem, UINT nCheck) {
  if (!m_hMenu) return kMenuNoItem;
  return static_cast<UINT>(::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck));
}

// The chosen command is posted, not sent, so that it is handled after the tracking has returned.
BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, const RECT* lpRect) {
  if (!m_hMenu || !pWnd || !pWnd->m_hWnd || GetMenuItemCount() <= 0) return FALSE;
  // A menu opened for a window that is not in front (from the tray) closes when the user clicks elsewhere
  // only if its window is the foreground window.
  ::SetForegroundWindow(pWnd->m_hWnd);
  const UINT chosen =
      static_cast<UINT>(::TrackPopupMenu(m_hMenu, nFlags | TPM_RETURNCMD, x, y, 0, pWnd->m_hWnd, lpRect));
  ::PostMessageW(pWnd->m_hWnd, WM_NULL, 0, 0);
  if (nFlags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
  if (chosen) pWnd->PostMessage(WM_COMMAND, chosen);
  return TRUE;
}

BOOL CMenu::GetMenuItemRect(UINT nPos, RECT* lpRect) const {
  return m_hMenu && lpRect ? ::GetMenuItemRect(nullptr, m_hMenu, nPos, lpRect) : FALSE;
}
