// The popup windows and the tracking loop behind CMenu::TrackPopupMenu (not part of the program's API).
#pragma once

#include <memory>
#include <vector>

#include "platform/api/Gdi.h"
#include "platform/api/Menu.h"
#include "platform/api/Types.h"
#include "platform/api/Wnd.h"
#include "platform/linux/Backend.h"

namespace platform {

class CWindowSystem;

// The raised edge around a menu and the face inside it, in pixels on each side.
constexpr int kMenuFrame = 3;

// Where the items of one menu stand in its window, in client coordinates.
struct MenuLayout {
  SIZE size{};
  int checkColumn = 0;  // width of the column of check marks at the left of every item
  std::vector<RECT> items;
};

// Measures a menu with the font its captions are drawn in (null: the stock font).
MenuLayout MeasureMenu(const CMenu& menu, CFont* font);

// One level of a tracked menu: a popup window that draws the menu's items and its highlighted item.
class CMenuWnd : public CWnd, public IMenuView {
 public:
  CMenuWnd(CWindowSystem& system, CMenu& menu, CFont* font);
  ~CMenuWnd() override;

  SIZE Size() const { return m_layout.size; }
  // Creates and shows the window without taking the activation from the owner.
  bool Open(HWND owner, POINT topLeft);
  void Close();
  CMenu& Menu() const { return m_menu; }
  // The position of the item under a screen point, or -1 on the frame or outside.
  int ItemAt(POINT screen) const;
  bool Contains(POINT screen) const;
  RECT ItemScreenRect(int pos) const override;
  void Redraw() override { Invalidate(FALSE); }
  int Highlight() const { return m_highlight; }
  void SetHighlight(int pos);

 protected:
  void OnPaint() override;

 private:
  void DrawItem(CDC& dc, int pos);

  CWindowSystem& m_system;
  CMenu& m_menu;
  CFont* m_font;
  MenuLayout m_layout;
  int m_highlight = -1;
};

class CMenuTracker final : public IMenuTracking {
 public:
  CMenuTracker(CWindowSystem& system, CMenu& menu, HWND owner, UINT flags);
  ~CMenuTracker() override;
  CMenuTracker(const CMenuTracker&) = delete;
  CMenuTracker& operator=(const CMenuTracker&) = delete;

  // Shows the menu at the point and runs until it is chosen from or dismissed.
  BOOL Run(POINT pt);
  // The menu is being destroyed under the tracking: its windows close and the tracking ends at once.
  void Abandon() override;

 private:
  void OnInput(const InputEvent& ev);
  void OnMouse(const InputEvent& ev);
  void OnKey(UINT vk);
  void Hover(std::size_t level, int item);
  // The level the keyboard acts on: the deepest one with a highlighted item.
  std::size_t KeyLevel() const;
  // Opens the submenu of an item of a level; with `enter`, highlights its first item too.
  void OpenSubmenu(std::size_t level, int item, bool enter);
  void CloseLevelsFrom(std::size_t level);
  // The deepest level whose window holds the point, or -1.
  int LevelAt(POINT screen) const;
  bool ChoosesWith(int button) const;
  void Choose(UINT id);
  void End();

  CWindowSystem& m_system;
  CMenu& m_menu;
  CMenu* m_root;
  HWND m_owner;
  UINT m_flags;
  CFont m_font;
  CFont* m_pFont = nullptr;
  std::vector<std::unique_ptr<CMenuWnd>> m_levels;
  UINT m_pressed = 0;  // buttons pressed since the tracking began
  bool m_pointerInside = false;
  bool m_done = false;
  bool m_abandoned = false;
  bool m_chosen = false;
  UINT m_chosenId = 0;
};

// The next item after `from` that the keyboard can highlight, going `step` (+1 or -1) and wrapping at the
// ends; from -1 it starts at the first or the last item. -1 when the menu has only separators.
int NextSelectableItem(const CMenu& menu, int from, int step);

}  // namespace platform
