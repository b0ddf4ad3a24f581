// The tracking of a popup menu: placing its windows, following the mouse, and ending with a choice or none.
#include <algorithm>

#include "platform/linux/MenuTracker.h"
#include "platform/linux/WindowSystem.h"

namespace platform {

namespace {
// A submenu overlaps its parent's frame by this much, as on the classic desktop.
constexpr int kSubmenuOverlap = 3;
// The menu font of the classic Japanese desktop, in pixels of character height.
constexpr int kMenuFontHeight = 12;

// Moves a span of `size` that starts at `start` into [low, high); a span larger than that starts at `low`.
int Fit(int start, int size, int low, int high) {
  return std::max(low, std::min(start, high - size));
}
}  // namespace

CMenuTracker::CMenuTracker(CWindowSystem& system, CMenu& menu, HWND owner, UINT flags)
    : m_system(system), m_menu(menu), m_root(menu.Root()), m_owner(owner), m_flags(flags) {
  // Without a Japanese UI face the captions still show, in the stock font.
  if (m_font.CreateFont(-kMenuFontHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS UI Gothic")) {
    m_pFont = &m_font;
  }
}

CMenuTracker::~CMenuTracker() {
  if (m_abandoned) return;
  CloseLevelsFrom(0);
  if (m_root->Tracking() == this) m_root->SetTracking(nullptr);
}

BOOL CMenuTracker::Run(POINT pt) {
  auto level = std::make_unique<CMenuWnd>(m_system, m_menu, m_pFont);
  const SIZE size = level->Size();
  // The menu stays on the monitor under the point where it opens.
  const RECT screen = m_system.MonitorFromPoint(pt);
  int left = pt.x;
  int top = pt.y;
  if (m_flags & TPM_RIGHTALIGN) {
    left -= size.cx;
  } else if (m_flags & TPM_CENTERALIGN) {
    left -= size.cx / 2;
  }
  if (m_flags & TPM_BOTTOMALIGN) {
    top -= size.cy;
  } else if (m_flags & TPM_VCENTERALIGN) {
    top -= size.cy / 2;
  }
  // Near the right or bottom edge the menu opens on the other side of the point, and it never leaves the
  // screen.
  if (left + size.cx > screen.right) left = pt.x - size.cx;
  if (top + size.cy > screen.bottom) top = pt.y - size.cy;
  left = Fit(left, size.cx, screen.left, screen.right);
  top = Fit(top, size.cy, screen.top, screen.bottom);
  if (!level->Open(m_system.GetTopLevel(m_owner), POINT{left, top})) return FALSE;
  m_menu.SetView(level.get());
  m_levels.push_back(std::move(level));
  m_root->SetTracking(this);

  // Every input event comes to the menu while it is open, wherever the pointer is; the owner's timers and
  // posted messages go on through the loop as usual.
  IBackend& backend = m_system.Backend();
  const SurfaceId grab = m_system.SurfaceOf(m_levels.front()->m_hWnd);
  backend.GrabInput(grab, true);
  CWindowSystem::InputHook previous = m_system.SetInputHook([this](const InputEvent& ev) { OnInput(ev); });
  m_system.RunModalLoop([this] { return m_done || !m_system.IsWindow(m_owner); });
  m_system.SetInputHook(std::move(previous));
  backend.GrabInput(grab, false);
  if (m_abandoned) return FALSE;

  CloseLevelsFrom(0);
  m_root->SetTracking(nullptr);
  if (m_flags & TPM_RETURNCMD) return m_chosen ? static_cast<BOOL>(m_chosenId) : 0;
  // Posted, not sent: the command is handled once the caller of TrackPopupMenu has returned.
  if (m_chosen) m_system.Post(m_owner, WM_COMMAND, m_chosenId, 0);
  return TRUE;
}

void CMenuTracker::Abandon() {
  CloseLevelsFrom(0);
  m_root->SetTracking(nullptr);
  m_abandoned = true;
  m_done = true;
  // A loop that waits for input must look at its end condition again.
  m_system.Post(m_owner, WM_NULL, 0, 0);
}

void CMenuTracker::OnInput(const InputEvent& ev) {
  if (m_done) return;
  switch (ev.type) {
    case EventType::MouseDown:
    case EventType::MouseUp:
    case EventType::MouseMove: OnMouse(ev); break;
    case EventType::KeyDown: OnKey(ev.vk); break;
    case EventType::TrayMouse:
      // A press on a tray icon is a click outside the menu.
      if (ev.trayMessage == WM_LBUTTONDOWN || ev.trayMessage == WM_RBUTTONDOWN ||
          ev.trayMessage == WM_MBUTTONDOWN) {
        End();
      }
      break;
    case EventType::Destroyed:
      // Another client destroyed one of the program's windows, perhaps a level of this menu.
      End();
      break;
    default:
      // The desktop's close requests are dropped: no other window can be reached while the menu is open.
      break;
  }
}

void CMenuTracker::OnMouse(const InputEvent& ev) {
  const int level = LevelAt(ev.root);
  const int item = level < 0 ? -1 : m_levels[static_cast<std::size_t>(level)]->ItemAt(ev.root);
  const UINT flag = ButtonKeyFlag(ev.button);
  switch (ev.type) {
    case EventType::MouseMove: {
      const bool inside = level >= 0;
      if (inside) {
        Hover(static_cast<std::size_t>(level), item);
      } else if (m_pointerInside && !m_levels.empty()) {
        // Leaving the menus takes the highlight off the deepest one; items with a submenu open keep theirs.
        m_levels.back()->SetHighlight(-1);
      }
      m_pointerInside = inside;
      break;
    }
    case EventType::MouseDown:
      if (level < 0) {
        End();
        return;
      }
      m_pressed |= flag;
      if (ChoosesWith(ev.button)) Hover(static_cast<std::size_t>(level), item);
      break;
    case EventType::MouseUp: {
      const bool pressedHere = (m_pressed & flag) != 0;
      m_pressed &= ~flag;
      // The release of a press made before the menu opened (the one that opened it) chooses nothing.
      if (!pressedHere || !ChoosesWith(ev.button) || level < 0 || item < 0) return;
      const CMenu& menu = m_levels[static_cast<std::size_t>(level)]->Menu();
      if (menu.GetMenuState(static_cast<UINT>(item), MF_BYPOSITION) & (MF_SEPARATOR | MF_POPUP)) return;
      Choose(menu.GetMenuItemID(item));
      break;
    }
    default: break;
  }
}

void CMenuTracker::Hover(std::size_t level, int item) {
  CMenuWnd& wnd = *m_levels[level];
  const bool deepest = level + 1 == m_levels.size();
  const UINT state =
      item < 0 ? MF_SEPARATOR : wnd.Menu().GetMenuState(static_cast<UINT>(item), MF_BYPOSITION);
  if (state & MF_SEPARATOR) {
    // A separator or the frame highlights nothing, and an open submenu stays open.
    if (deepest) wnd.SetHighlight(-1);
    return;
  }
  if (wnd.Highlight() == item && !deepest) return;
  CloseLevelsFrom(level + 1);
  wnd.SetHighlight(item);
  if (state & MF_POPUP) OpenSubmenu(level, item, false);
}

std::size_t CMenuTracker::KeyLevel() const {
  for (std::size_t level = m_levels.size(); level-- > 0;) {
    if (m_levels[level]->Highlight() >= 0) return level;
  }
  return 0;
}

void CMenuTracker::OpenSubmenu(std::size_t level, int item, bool enter) {
  if (m_levels.size() <= level + 1) {
    CMenu* sub = m_levels[level]->Menu().GetSubMenu(item);
    if (!sub || sub->GetMenuItemCount() <= 0) return;
    auto wnd = std::make_unique<CMenuWnd>(m_system, *sub, m_pFont);
    const SIZE size = wnd->Size();
    const RECT parent = m_system.GetWindowRect(m_levels[level]->m_hWnd);
    const RECT screen = m_system.MonitorFromRect(parent);
    const RECT itemRect = m_levels[level]->ItemScreenRect(item);
    // To the right of its parent, with its first item level with the item it hangs from; on the left when
    // the right would leave the screen.
    int left = parent.right - kSubmenuOverlap;
    if (left + size.cx > screen.right) left = parent.left + kSubmenuOverlap - size.cx;
    left = Fit(left, size.cx, screen.left, screen.right);
    const int top = Fit(itemRect.top - kMenuFrame, size.cy, screen.top, screen.bottom);
    if (!wnd->Open(m_system.GetTopLevel(m_owner), POINT{left, top})) return;
    sub->SetView(wnd.get());
    m_levels.push_back(std::move(wnd));
  }
  if (enter) {
    CMenuWnd& sub = *m_levels[level + 1];
    if (sub.Highlight() < 0) sub.SetHighlight(NextSelectableItem(sub.Menu(), -1, 1));
  }
}

void CMenuTracker::CloseLevelsFrom(std::size_t level) {
  while (m_levels.size() > level) {
    std::unique_ptr<CMenuWnd> wnd = std::move(m_levels.back());
    m_levels.pop_back();
    wnd->Menu().SetView(nullptr);
    wnd->Close();
  }
}

int CMenuTracker::LevelAt(POINT screen) const {
  for (std::size_t level = m_levels.size(); level-- > 0;) {
    if (m_levels[level]->Contains(screen)) return static_cast<int>(level);
  }
  return -1;
}

bool CMenuTracker::ChoosesWith(int button) const {
  return button == 1 || (button == 3 && (m_flags & TPM_RIGHTBUTTON));
}

void CMenuTracker::Choose(UINT id) {
  m_chosen = true;
  m_chosenId = id;
  End();
}

void CMenuTracker::End() {
  m_done = true;
  // The input hook runs while the loop waits for a message; this one lets it look at its end condition.
  if (!m_levels.empty()) m_system.Post(m_levels.front()->m_hWnd, WM_NULL, 0, 0);
}

}  // namespace platform
