// CMenu: menus loaded from the program's resources, their check marks, and tracking one as a popup menu.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/api/Types.h"

class CWnd;
namespace platform {
struct MenuItemResource;

// A window that shows a menu while a tracking runs: the menu has it redrawn after a change and asks it where
// an item is.
class IMenuView {
 public:
  virtual ~IMenuView() = default;
  virtual void Redraw() = 0;
  virtual RECT ItemScreenRect(int pos) const = 0;
};

// The tracking that shows a menu tree: the menu ends it when its items go.
class IMenuTracking {
 public:
  virtual ~IMenuTracking() = default;
  virtual void Abandon() = 0;
};
}  // namespace platform

// The answer of CMenu's item calls for a position or a command that does not exist.
constexpr UINT kMenuNoItem = 0xFFFFFFFFu;

class CMenu {
 public:
  CMenu();
  ~CMenu();
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  // Loads a menu of the program's resources; FALSE when there is none with that id or this menu
  // already holds one.
  BOOL LoadMenu(UINT nIDResource);
  // Empties the menu and its submenus; a menu being tracked closes first. FALSE when it held nothing.
  BOOL DestroyMenu();
  // Non-null while the menu holds items loaded from a resource.
  const void* GetSafeHmenu() const;

  // The submenu at a position, owned by this menu and valid until it is destroyed; null for a command,
  // a separator or a position that does not exist.
  CMenu* GetSubMenu(int nPos) const;
  // -1 for a menu that holds nothing.
  int GetMenuItemCount() const;
  // The command id at a position; 0 for a separator and kMenuNoItem for a submenu or a bad position.
  UINT GetMenuItemID(int nPos) const;
  // The caption (UTF-8) of an item, by position or by command; returns its length in bytes, 0 if none.
  int GetMenuString(UINT nIDItem, std::string& rString, UINT nFlags) const;
  // MF_CHECKED, MF_SEPARATOR and MF_POPUP (with the submenu's item count in bits 8 to 15), or kMenuNoItem.
  UINT GetMenuState(UINT nID, UINT nFlags) const;
  // Sets or clears the check mark of an item (MF_CHECKED or MF_UNCHECKED, with MF_BYPOSITION or
  // MF_BYCOMMAND) and returns its previous state, or kMenuNoItem when there is no such item. By command,
  // the submenus are searched too.
  UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck);

  // Shows this menu as a popup at the screen point and tracks it until an item is chosen or the menu is
  // dismissed; the owner's timers and posted messages go on meanwhile. A chosen item is posted to the owner
  // as WM_COMMAND, so it is handled after this returns; with TPM_RETURNCMD it is returned instead (0 when
  // nothing was chosen). FALSE for an empty menu, a missing owner, or a menu that is already tracked.
  BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, const RECT* lpRect = nullptr);
  // The screen rectangle of an item while this menu is shown by a tracking; FALSE at other times.
  BOOL GetMenuItemRect(UINT nPos, RECT* lpRect) const;

  // For the window system's tracking: the window that shows this menu (null once it closes) and, on the
  // menu tracked, the tracking itself.
  void SetView(platform::IMenuView* view) { m_pView = view; }
  void SetTracking(platform::IMenuTracking* tracking) { m_pTracking = tracking; }
  platform::IMenuTracking* Tracking() const { return m_pTracking; }
  // The menu whose submenus hold this one, or this menu itself.
  CMenu* Root() {
    CMenu* menu = this;
    while (menu->m_pParent) menu = menu->m_pParent;
    return menu;
  }

 private:
  struct Item {
    std::string caption;
    UINT id = 0;
    bool separator = false;
    bool checked = false;
    std::unique_ptr<CMenu> submenu;
  };

  void Build(const std::vector<platform::MenuItemResource>& items);
  const Item* FindItem(UINT nID, UINT nFlags) const;
  Item* FindItem(UINT nID, UINT nFlags);
  // Redraws the menu's window when a tracking shows it, so that a change is seen at once.
  void Changed();
  void Clear();

  std::vector<Item> m_items;
  bool m_bLoaded = false;
  CMenu* m_pParent = nullptr;
  // Set by a tracking: the window that shows this menu, and (on the menu tracked) the tracking itself.
  platform::IMenuView* m_pView = nullptr;
  platform::IMenuTracking* m_pTracking = nullptr;
  // The system's menu, where there is one (Windows); null elsewhere.
  HMENU m_hMenu = nullptr;
};
