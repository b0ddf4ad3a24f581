// The window of one level of a tracked menu: its layout and its classic desktop look.
#include <algorithm>
#include <string>

#include "platform/api/DC.h"
#include "platform/api/PaintDC.h"
#include "platform/linux/MenuTracker.h"
#include "platform/linux/SystemColors.h"
#include "platform/linux/WindowSystem.h"

namespace platform {

namespace {
using namespace platform::syscolor;

constexpr int kSeparatorHeight = 8;
// Room between the longest caption and the column of submenu arrows.
constexpr int kTextGap = 8;
// An item is the text height plus this much, and never lower than kMinItemHeight.
constexpr int kItemPadding = 6;
constexpr int kMinItemHeight = 17;

// Small glyphs kept as pixel art, '#' drawn in the text colour.
constexpr const char* kCheckMark[] = {
    "......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#....",
};
constexpr const char* kSubmenuArrow[] = {
    "#...", "##..", "###.", "####", "###.", "##..", "#...",
};

template <std::size_t N>
void DrawGlyph(CDC& dc, const char* const (&rows)[N], const RECT& box, COLORREF colour) {
  const int width = static_cast<int>(std::char_traits<char>::length(rows[0]));
  const int height = static_cast<int>(N);
  const int x0 = box.left + (box.right - box.left - width) / 2;
  const int y0 = box.top + (box.bottom - box.top - height) / 2;
  for (int y = 0; y < height; ++y) {
    const std::string row = rows[y];
    for (int x = 0; x < width;) {
      if (row[static_cast<std::size_t>(x)] != '#') {
        ++x;
        continue;
      }
      int end = x;
      while (end < width && row[static_cast<std::size_t>(end)] == '#') ++end;
      dc.FillSolidRect(x0 + x, y0 + y, end - x, 1, colour);
      x = end;
    }
  }
}

void DrawRaisedEdge(CDC& dc, int width, int height) {
  dc.FillSolidRect(0, 0, width, 1, kFace);
  dc.FillSolidRect(0, 0, 1, height, kFace);
  dc.FillSolidRect(1, 1, width - 2, 1, kLight);
  dc.FillSolidRect(1, 1, 1, height - 2, kLight);
  dc.FillSolidRect(1, height - 2, width - 2, 1, kShadow);
  dc.FillSolidRect(width - 2, 1, 1, height - 2, kShadow);
  dc.FillSolidRect(0, height - 1, width, 1, kDarkShadow);
  dc.FillSolidRect(width - 1, 0, 1, height, kDarkShadow);
}

bool InRect(const RECT& rc, POINT pt) {
  return pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom;
}
}  // namespace

MenuLayout MeasureMenu(const CMenu& menu, CFont* font) {
  CDC dc;
  if (font) dc.SelectObject(font);
  TEXTMETRIC tm;
  dc.GetTextMetrics(&tm);
  const int itemHeight = std::max(static_cast<int>(tm.tmHeight) + kItemPadding, kMinItemHeight);
  MenuLayout layout;
  layout.checkColumn = itemHeight;
  const int count = std::max(0, menu.GetMenuItemCount());
  int widest = 0;
  for (int pos = 0; pos < count; ++pos) {
    std::string caption;
    menu.GetMenuString(static_cast<UINT>(pos), caption, MF_BYPOSITION);
    widest = std::max(widest, static_cast<int>(dc.GetTextExtent(caption).cx));
  }
  // The arrow column is as wide as the check column, so captions sit between two equal margins.
  const int width = kMenuFrame + layout.checkColumn + widest + kTextGap + layout.checkColumn + kMenuFrame;
  int y = kMenuFrame;
  for (int pos = 0; pos < count; ++pos) {
    const bool separator = (menu.GetMenuState(static_cast<UINT>(pos), MF_BYPOSITION) & MF_SEPARATOR) != 0;
    const int height = separator ? kSeparatorHeight : itemHeight;
    layout.items.push_back(RECT{kMenuFrame, y, width - kMenuFrame, y + height});
    y += height;
  }
  layout.size = SIZE{width, y + kMenuFrame};
  return layout;
}

CMenuWnd::CMenuWnd(CWindowSystem& system, CMenu& menu, CFont* font)
    : m_system(system), m_menu(menu), m_font(font), m_layout(MeasureMenu(menu, font)) {}

CMenuWnd::~CMenuWnd() = default;

bool CMenuWnd::Open(HWND owner, POINT topLeft) {
  RECT rect{topLeft.x, topLeft.y, topLeft.x + m_layout.size.cx, topLeft.y + m_layout.size.cy};
  HWND hwnd = m_system.CreateWindowNode(this, WS_POPUP, rect, nullptr, owner, SurfaceKind::PopupMenu, "");
  if (!hwnd) return false;
  // Shown through its style rather than ShowWindow: a menu never takes the activation from its owner.
  m_system.SetStyle(hwnd, WS_POPUP | WS_VISIBLE);
  return true;
}

void CMenuWnd::Close() {
  if (m_system.IsWindow(m_hWnd)) DestroyWindow();
}

bool CMenuWnd::Contains(POINT screen) const {
  return m_system.IsWindow(m_hWnd) && InRect(m_system.GetWindowRect(m_hWnd), screen);
}

int CMenuWnd::ItemAt(POINT screen) const {
  if (!Contains(screen)) return -1;
  RECT window = m_system.GetWindowRect(m_hWnd);
  POINT client{screen.x - window.left, screen.y - window.top};
  for (std::size_t pos = 0; pos < m_layout.items.size(); ++pos) {
    if (InRect(m_layout.items[pos], client)) return static_cast<int>(pos);
  }
  return -1;
}

RECT CMenuWnd::ItemScreenRect(int pos) const {
  if (pos < 0 || static_cast<std::size_t>(pos) >= m_layout.items.size()) return RECT{};
  RECT window = m_system.GetWindowRect(m_hWnd);
  CRect rc(m_layout.items[static_cast<std::size_t>(pos)]);
  rc.OffsetRect(window.left, window.top);
  return rc;
}

void CMenuWnd::SetHighlight(int pos) {
  if (pos == m_highlight) return;
  m_highlight = pos;
  Invalidate(FALSE);
}

void CMenuWnd::OnPaint() {
  CPaintDC dc(this);
  dc.FillSolidRect(0, 0, m_layout.size.cx, m_layout.size.cy, kFace);
  DrawRaisedEdge(dc, m_layout.size.cx, m_layout.size.cy);
  if (m_font) dc.SelectObject(m_font);
  dc.SetBkMode(TRANSPARENT);
  for (std::size_t pos = 0; pos < m_layout.items.size(); ++pos) DrawItem(dc, static_cast<int>(pos));
}

void CMenuWnd::DrawItem(CDC& dc, int pos) {
  const RECT& item = m_layout.items[static_cast<std::size_t>(pos)];
  const UINT state = m_menu.GetMenuState(static_cast<UINT>(pos), MF_BYPOSITION);
  const int width = item.right - item.left;
  if (state & MF_SEPARATOR) {
    // An etched line: a grey one with a white one under it.
    const int y = item.top + (item.bottom - item.top) / 2 - 1;
    dc.FillSolidRect(item.left + 1, y, width - 2, 1, kShadow);
    dc.FillSolidRect(item.left + 1, y + 1, width - 2, 1, kLight);
    return;
  }
  const bool lit = pos == m_highlight;
  const COLORREF text = lit ? kHighlightText : kText;
  if (lit) dc.FillSolidRect(item, kHighlight);
  const int column = m_layout.checkColumn;
  if (state & MF_CHECKED)
    DrawGlyph(dc, kCheckMark, RECT{item.left, item.top, item.left + column, item.bottom}, text);
  if (state & MF_POPUP)
    DrawGlyph(dc, kSubmenuArrow, RECT{item.right - column, item.top, item.right, item.bottom}, text);
  std::string caption;
  m_menu.GetMenuString(static_cast<UINT>(pos), caption, MF_BYPOSITION);
  RECT textRect{item.left + column, item.top, item.right - column, item.bottom};
  dc.SetTextColor(text);
  dc.DrawText(caption, &textRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}

}  // namespace platform
