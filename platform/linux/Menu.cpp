// CMenu: menus loaded from the program's resources, their items and check marks.
#include "platform/api/Menu.h"

#include "platform/api/Resources.h"
#include "platform/api/Wnd.h"
#include "platform/linux/MenuTracker.h"
#include "platform/linux/WindowSystem.h"

CMenu::CMenu() = default;

CMenu::~CMenu() {
  DestroyMenu();
}

void CMenu::Build(const std::vector<platform::MenuItemResource>& items) {
  m_items.clear();
  m_items.reserve(items.size());
  for (const platform::MenuItemResource& source : items) {
    Item item;
    item.caption = source.caption;
    item.id = source.id;
    item.separator = source.separator;
    if (source.IsPopup()) {
      item.submenu = std::make_unique<CMenu>();
      item.submenu->m_pParent = this;
      item.submenu->m_bLoaded = true;
      item.submenu->Build(source.submenu);
    }
    m_items.push_back(std::move(item));
  }
}

BOOL CMenu::LoadMenu(UINT nIDResource) {
  const platform::ResourceSet* resources = platform::CurrentResources();
  if (m_bLoaded || !resources) return FALSE;
  auto found = resources->menus.find(nIDResource);
  if (found == resources->menus.end()) return FALSE;
  Build(found->second.items);
  m_bLoaded = true;
  return TRUE;
}

void CMenu::Clear() {
  // A tracking shows these items in its windows, so it closes before they go.
  if (platform::IMenuTracking* tracking = Root()->m_pTracking) tracking->Abandon();
  m_items.clear();
}

BOOL CMenu::DestroyMenu() {
  if (!m_bLoaded) return FALSE;
  Clear();
  m_bLoaded = false;
  return TRUE;
}

const void* CMenu::GetSafeHmenu() const {
  return m_bLoaded ? this : nullptr;
}

CMenu* CMenu::GetSubMenu(int nPos) const {
  if (nPos < 0 || static_cast<std::size_t>(nPos) >= m_items.size()) return nullptr;
  return m_items[static_cast<std::size_t>(nPos)].submenu.get();
}

int CMenu::GetMenuItemCount() const {
  return m_bLoaded ? static_cast<int>(m_items.size()) : -1;
}

UINT CMenu::GetMenuItemID(int nPos) const {
  if (nPos < 0 || static_cast<std::size_t>(nPos) >= m_items.size()) return kMenuNoItem;
  const Item& item = m_items[static_cast<std::size_t>(nPos)];
  if (item.submenu) return kMenuNoItem;
  return item.separator ? 0 : item.id;
}

const CMenu::Item* CMenu::FindItem(UINT nID, UINT nFlags) const {
  if (nFlags & MF_BYPOSITION) return nID < m_items.size() ? &m_items[nID] : nullptr;
  for (const Item& item : m_items) {
    if (item.submenu) {
      if (const Item* inner = item.submenu->FindItem(nID, nFlags)) return inner;
    } else if (!item.separator && item.id == nID) {
      return &item;
    }
  }
  return nullptr;
}

CMenu::Item* CMenu::FindItem(UINT nID, UINT nFlags) {
  return const_cast<Item*>(static_cast<const CMenu*>(this)->FindItem(nID, nFlags));
}

int CMenu::GetMenuString(UINT nIDItem, std::string& rString, UINT nFlags) const {
  const Item* item = FindItem(nIDItem, nFlags);
  rString = item ? item->caption : std::string();
  return static_cast<int>(rString.size());
}

UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const {
  const Item* item = FindItem(nID, nFlags);
  if (!item) return kMenuNoItem;
  UINT state = item->checked ? MF_CHECKED : MF_UNCHECKED;
  if (item->separator) state |= MF_SEPARATOR;
  if (item->submenu) state |= MF_POPUP | ((static_cast<UINT>(item->submenu->m_items.size()) & 0xFF) << 8);
  return state;
}

UINT CMenu::CheckMenuItem(UINT nIDCheckItem, UINT nCheck) {
  Item* item = FindItem(nIDCheckItem, nCheck & MF_BYPOSITION);
  if (!item) return kMenuNoItem;
  UINT previous = item->checked ? MF_CHECKED : MF_UNCHECKED;
  bool checked = (nCheck & MF_CHECKED) != 0;
  if (item->checked != checked) {
    item->checked = checked;
    // The item may belong to a submenu when it was named by command; every shown level is redrawn.
    Root()->Changed();
  }
  return previous;
}

void CMenu::Changed() {
  if (m_pView) m_pView->Redraw();
  for (Item& item : m_items) {
    if (item.submenu) item.submenu->Changed();
  }
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, const RECT* /*lpRect*/) {
  platform::CWindowSystem* system = platform::CWindowSystem::Current();
  if (!system || !pWnd || !system->IsWindow(pWnd->m_hWnd) || m_items.empty()) return FALSE;
  // One menu tree is shown by one tracking at a time, as it has one set of windows.
  if (Root()->m_pTracking) return FALSE;
  platform::CMenuTracker tracker(*system, *this, pWnd->m_hWnd, nFlags);
  return tracker.Run(POINT{x, y});
}

BOOL CMenu::GetMenuItemRect(UINT nPos, RECT* lpRect) const {
  if (!lpRect || !m_pView || nPos >= m_items.size()) return FALSE;
  *lpRect = m_pView->ItemScreenRect(static_cast<int>(nPos));
  return TRUE;
}
