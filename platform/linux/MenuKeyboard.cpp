// The keyboard of a tracked menu: arrows move and open, Enter chooses, Escape and Left close one level.
#include "platform/linux/MenuTracker.h"

namespace platform {

int NextSelectableItem(const CMenu& menu, int from, int step) {
  const int count = menu.GetMenuItemCount();
  if (count <= 0) return -1;
  const int start = from >= 0 ? from : (step > 0 ? -1 : count);
  for (int i = 1; i <= count; ++i) {
    const int pos = ((start + step * i) % count + count) % count;
    if (!(menu.GetMenuState(static_cast<UINT>(pos), MF_BYPOSITION) & MF_SEPARATOR)) return pos;
  }
  return -1;
}

void CMenuTracker::OnKey(UINT vk) {
  if (m_levels.empty()) return;
  const std::size_t level = KeyLevel();
  CMenuWnd& wnd = *m_levels[level];
  const int item = wnd.Highlight();
  const UINT state = item < 0 ? 0 : wnd.Menu().GetMenuState(static_cast<UINT>(item), MF_BYPOSITION);
  switch (vk) {
    case VK_UP:
    case VK_DOWN:
      // A submenu that hung from the old item closes when the highlight moves away from it.
      CloseLevelsFrom(level + 1);
      wnd.SetHighlight(NextSelectableItem(wnd.Menu(), item, vk == VK_DOWN ? 1 : -1));
      break;
    case VK_RIGHT:
      if (state & MF_POPUP) OpenSubmenu(level, item, true);
      break;
    case VK_RETURN:
      if (item < 0) break;
      if (state & MF_POPUP) {
        OpenSubmenu(level, item, true);
      } else {
        Choose(wnd.Menu().GetMenuItemID(item));
      }
      break;
    case VK_LEFT:
      if (m_levels.size() > 1) CloseLevelsFrom(m_levels.size() - 1);
      break;
    case VK_ESCAPE:
      // Escape closes one level at a time; in the menu that was opened it dismisses everything.
      if (m_levels.size() > 1) {
        CloseLevelsFrom(m_levels.size() - 1);
      } else {
        End();
      }
      break;
    default: break;
  }
}

}  // namespace platform
