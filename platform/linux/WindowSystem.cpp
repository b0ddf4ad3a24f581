// The window tree and its geometry: creation, destruction, styles, rectangles, shapes and activation.
#include "platform/linux/WindowSystem.h"

#include <cairo.h>

#include <algorithm>
#include <utility>

#include "platform/api/RectOps.h"
#include "platform/api/Resources.h"
#include "platform/api/Wnd.h"
#include "platform/linux/WindowNode.h"

namespace platform {

namespace {
thread_local CWindowSystem* t_current = nullptr;

// The desktop window answers for the screen; it has no node of its own.
class CDesktopWnd : public CWnd {};
constexpr std::uintptr_t kDesktopHandle = 0x10;

bool SameRects(const std::vector<RECT>& a, const std::vector<RECT>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const RECT& x, const RECT& y) {
    return x.left == y.left && x.top == y.top && x.right == y.right && x.bottom == y.bottom;
  });
}
}  // namespace

WindowNode::~WindowNode() {
  if (update) cairo_region_destroy(update);
  if (buffer) cairo_surface_destroy(buffer);
}

CWindowSystem::CWindowSystem(IBackend& backend, const ResourceSet* resources)
    : m_backend(backend),
      m_resources(resources),
      m_previousResources(CurrentResources()),
      m_previous(t_current),
      m_desktop(std::make_unique<CDesktopWnd>()) {
  t_current = this;
  if (m_resources) SetCurrentResources(m_resources);
  m_desktop->m_hWnd = HandleFromId(kDesktopHandle);
}

CWindowSystem::~CWindowSystem() {
  // Windows the program left behind go in reverse order of creation, children with their parents.
  while (!m_topLevels.empty()) DestroyWindowNode(m_topLevels.back());
  for (const TrayIcon& icon : m_trayIcons) m_backend.RemoveTrayIcon(icon.id);
  m_desktop->m_hWnd = nullptr;
  if (m_resources) SetCurrentResources(m_previousResources);
  t_current = m_previous;
}

CWindowSystem* CWindowSystem::Current() {
  return t_current;
}

WindowNode* CWindowSystem::Node(HWND hwnd) const {
  auto it = m_nodes.find(IdFromHandle(hwnd));
  return it == m_nodes.end() ? nullptr : it->second.get();
}

WindowNode* CWindowSystem::TopNode(HWND hwnd) const {
  return Node(GetTopLevel(hwnd));
}

const RECT& CWindowSystem::RectOf(WindowNode& node) const {
  if (node.pendingRect) node.rect = std::exchange(node.pendingRect, nullptr)();
  return node.rect;
}

void CWindowSystem::DeferRect(HWND hwnd, std::function<RECT()> compute) {
  if (WindowNode* node = Node(hwnd)) node->pendingRect = std::move(compute);
}

HWND CWindowSystem::CreateWindowNode(CWnd* wnd, DWORD style, const RECT& rect, HWND parent, HWND owner,
                                     SurfaceKind kind, const std::string& text) {
  if (parent && !Node(parent)) return nullptr;
  auto node = std::make_unique<WindowNode>();
  node->handle = HandleFromId(m_nextHandle++);
  node->wnd = wnd;
  node->style = style;
  node->rect = rect;
  node->parent = parent;
  node->owner = parent ? nullptr : (Node(owner) ? owner : nullptr);
  node->kind = kind;
  node->text = text;
  node->update = cairo_region_create();
  HWND handle = node->handle;
  m_nodes.emplace(IdFromHandle(handle), std::move(node));
  if (parent) {
    Node(parent)->children.push_back(handle);
  } else {
    m_topLevels.push_back(handle);
  }
  wnd->m_hWnd = handle;
  return handle;
}

void CWindowSystem::DestroyWindowNode(HWND hwnd) {
  WindowNode* node = Node(hwnd);
  if (!node || node->destroying) return;
  node->destroying = true;

  // Owned top-level windows go before their owner, as on the desktop.
  for (HWND top : std::vector<HWND>(m_topLevels)) {
    WindowNode* other = Node(top);
    if (other && other->owner == hwnd) DestroyWindowNode(top);
  }
  if (!node->parent && (node->style & WS_VISIBLE)) {
    node->style &= ~WS_VISIBLE;
    ShowTopLevel(*node, false);
  }
  Send(hwnd, WM_DESTROY, 0, 0);
  for (HWND child : std::vector<HWND>(node->children)) DestroyWindowNode(child);
  Send(hwnd, WM_NCDESTROY, 0, 0);

  m_timers.erase(
      std::remove_if(m_timers.begin(), m_timers.end(), [hwnd](const Timer& t) { return t.hwnd == hwnd; }),
      m_timers.end());
  for (auto it = m_trayIcons.begin(); it != m_trayIcons.end();) {
    if (it->owner == hwnd) {
      m_backend.RemoveTrayIcon(it->id);
      it = m_trayIcons.erase(it);
    } else {
      ++it;
    }
  }
  if (node->surface) m_backend.DestroySurface(node->surface);
  if (WindowNode* parent = Node(node->parent)) {
    std::erase(parent->children, hwnd);
  }
  std::erase(m_topLevels, hwnd);
  if (m_active == hwnd) m_active = nullptr;
  if (m_hoverTop == hwnd) m_hoverTop = nullptr;
  if (m_capture == hwnd) m_capture = nullptr;
  CWnd* wnd = node->wnd;
  m_nodes.erase(IdFromHandle(hwnd));
  if (wnd) CWndDelivery::WindowGone(*wnd);
}

bool CWindowSystem::IsWindow(HWND hwnd) const {
  return Node(hwnd) != nullptr;
}

CWnd* CWindowSystem::FromHandle(HWND hwnd) const {
  if (IdFromHandle(hwnd) == kDesktopHandle) return m_desktop.get();
  WindowNode* node = Node(hwnd);
  return node ? node->wnd : nullptr;
}

HWND CWindowSystem::GetParent(HWND hwnd) const {
  WindowNode* node = Node(hwnd);
  return node ? node->parent : nullptr;
}

HWND CWindowSystem::GetOwner(HWND hwnd) const {
  WindowNode* node = Node(hwnd);
  return node ? node->owner : nullptr;
}

HWND CWindowSystem::GetTopLevel(HWND hwnd) const {
  WindowNode* node = Node(hwnd);
  while (node && node->parent) node = Node(node->parent);
  return node ? node->handle : nullptr;
}

HWND CWindowSystem::GetLastActivePopup(HWND hwnd) const {
  WindowNode* node = Node(hwnd);
  if (!node) return nullptr;
  WindowNode* popup = Node(node->lastActivePopup);
  if (popup && (popup->style & WS_VISIBLE)) return popup->handle;
  return hwnd;
}

std::vector<HWND> CWindowSystem::Children(HWND hwnd) const {
  WindowNode* node = Node(hwnd);
  return node ? node->children : std::vector<HWND>{};
}

DWORD CWindowSystem::GetStyle(HWND hwnd) const {
  WindowNode* node = Node(hwnd);
  return node ? node->style : 0;
}

void CWindowSystem::SetStyle(HWND hwnd, DWORD style) {
  WindowNode* node = Node(hwnd);
  if (!node) return;
  bool wasVisible = (node->style & WS_VISIBLE) != 0;
  node->style = style;
  bool visible = (style & WS_VISIBLE) != 0;
  // A child that is hidden or shown this way is not redrawn: the caller decides when to repaint.
  if (!node->parent && wasVisible != visible) ShowTopLevel(*node, visible);
}

bool CWindowSystem::IsVisible(HWND hwnd) const {
  for (WindowNode* node = Node(hwnd); node; node = Node(node->parent)) {
    if (!(node->style & WS_VISIBLE)) return false;
  }
  return Node(hwnd) != nullptr;
}

bool CWindowSystem::IsEnabled(HWND hwnd) const {
  WindowNode* node = Node(hwnd);
  return node && !(node->style & WS_DISABLED);
}

bool CWindowSystem::Enable(HWND hwnd, bool enable) {
  WindowNode* node = Node(hwnd);
  if (!node) return false;
  bool wasDisabled = (node->style & WS_DISABLED) != 0;
  if (enable) {
    node->style &= ~WS_DISABLED;
  } else {
    node->style |= WS_DISABLED;
  }
  if (wasDisabled == enable) Send(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
  return wasDisabled;
}

RECT CWindowSystem::GetWindowRect(HWND hwnd) const {
  if (IdFromHandle(hwnd) == kDesktopHandle) return m_backend.ScreenRect();
  WindowNode* node = Node(hwnd);
  if (!node) return RECT{};
  if (!node->parent) return RectOf(*node);
  POINT origin = ClientOrigin(node->parent);
  CRect rc(node->rect);
  rc.OffsetRect(origin.x, origin.y);
  return rc;
}

RECT CWindowSystem::GetClientRect(HWND hwnd) const {
  if (IdFromHandle(hwnd) == kDesktopHandle) {
    RECT screen = m_backend.ScreenRect();
    return RECT{0, 0, screen.right - screen.left, screen.bottom - screen.top};
  }
  WindowNode* node = Node(hwnd);
  if (!node) return RECT{};
  const RECT& rect = RectOf(*node);
  return RECT{0, 0, rect.right - rect.left, rect.bottom - rect.top};
}

POINT CWindowSystem::ClientOrigin(HWND hwnd) const {
  RECT rc = GetWindowRect(hwnd);
  return POINT{rc.left, rc.top};
}

void CWindowSystem::MoveWindow(HWND hwnd, const RECT& rect, bool repaint) {
  WindowNode* node = Node(hwnd);
  if (!node) return;
  node->pendingRect = nullptr;
  CRect old(node->rect);
  CRect now(rect);
  if (now.Width() < 0) now.right = now.left;
  if (now.Height() < 0) now.bottom = now.top;
  if (!node->parent) {
    MoveTopLevel(*node, now);
    return;
  }
  node->rect = now;
  if (repaint && IsVisible(hwnd)) {
    Invalidate(node->parent, &old, true);
    Invalidate(node->parent, &now, true);
  }
}

// A shown window takes the size it asks for at once, since the program paints at that size, but stands
// only where the display says: a window manager may refuse a move, alter it or answer it late, and until
// it answers the window is where it was. TakeSurfaceMoves brings the answer, which the headless display
// gives at once.
void CWindowSystem::MoveTopLevel(WindowNode& node, const RECT& rect) {
  if (!node.surface) {
    PlaceTopLevel(node, rect);
    return;
  }
  const CRect requested(rect);
  CRect sized(node.rect);
  sized.right = sized.left + requested.Width();
  sized.bottom = sized.top + requested.Height();
  PlaceTopLevel(node, sized);
  m_backend.MoveSurface(node.surface, requested);
  TakeSurfaceMoves();
}

void CWindowSystem::PlaceTopLevel(WindowNode& node, const RECT& rect) {
  CRect old(node.rect);
  CRect now(rect);
  const bool resized = old.Width() != now.Width() || old.Height() != now.Height();
  node.rect = now;
  if (resized && node.buffer) {
    cairo_surface_destroy(node.buffer);
    node.buffer = nullptr;
    node.hasDamage = false;
  }
  // A moved window keeps its pixels; a resized one has lost them.
  if (resized && IsVisible(node.handle)) Invalidate(node.handle, nullptr, true);
}

void CWindowSystem::TakeSurfaceMoves() {
  for (const SurfaceMove& move : m_backend.TakeSurfaceMoves()) {
    WindowNode* node = Node(TopLevelForSurface(move.surface));
    if (!node || EqualRect(&node->rect, &move.rect)) continue;
    PlaceTopLevel(*node, move.rect);
  }
}

namespace {
long OverlapArea(const RECT& a, const RECT& b) {
  const long width = std::min(a.right, b.right) - std::max(a.left, b.left);
  const long height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return width > 0 && height > 0 ? width * height : 0;
}

// How far a point lies outside a rectangle, in the sense of the longer of the two axes' gaps.
long DistanceTo(const RECT& rc, POINT pt) {
  const long dx = pt.x < rc.left ? rc.left - pt.x : (pt.x >= rc.right ? pt.x - rc.right + 1 : 0);
  const long dy = pt.y < rc.top ? rc.top - pt.y : (pt.y >= rc.bottom ? pt.y - rc.bottom + 1 : 0);
  return std::max(dx, dy);
}
}  // namespace

RECT CWindowSystem::MonitorFromPoint(POINT pt) {
  const std::vector<RECT> monitors = m_backend.MonitorRects();
  if (monitors.empty()) return m_backend.ScreenRect();
  const RECT* best = &monitors.front();
  for (const RECT& monitor : monitors) {
    if (DistanceTo(monitor, pt) < DistanceTo(*best, pt)) best = &monitor;
  }
  return *best;
}

RECT CWindowSystem::MonitorFromRect(const RECT& rect) {
  const std::vector<RECT> monitors = m_backend.MonitorRects();
  const RECT* best = nullptr;
  for (const RECT& monitor : monitors) {
    if (OverlapArea(monitor, rect) > (best ? OverlapArea(*best, rect) : 0)) best = &monitor;
  }
  if (best) return *best;
  return MonitorFromPoint(
      POINT{rect.left + (rect.right - rect.left) / 2, rect.top + (rect.bottom - rect.top) / 2});
}

void CWindowSystem::SetText(HWND hwnd, const std::string& text) {
  WindowNode* node = Node(hwnd);
  if (!node) return;
  node->text = text;
  if (node->surface) m_backend.SetSurfaceTitle(node->surface, text);
}

std::string CWindowSystem::GetText(HWND hwnd) const {
  WindowNode* node = Node(hwnd);
  return node ? node->text : std::string{};
}

void CWindowSystem::SetShape(HWND hwnd, std::unique_ptr<CRgn> region, bool redraw) {
  WindowNode* node = Node(hwnd);
  if (!node || node->parent) return;
  std::vector<RECT> before = node->shape ? node->shape->Rects() : std::vector<RECT>{};
  std::vector<RECT> after = region ? region->Rects() : std::vector<RECT>{};
  bool hadShape = node->shape != nullptr;
  node->shape = std::move(region);
  // Setting the same shape again changes nothing on the screen, so it costs no repaint.
  if (hadShape == (node->shape != nullptr) && SameRects(before, after)) return;
  if (node->surface) m_backend.SetSurfaceShape(node->surface, after);
  if (redraw && IsVisible(hwnd)) Invalidate(hwnd, nullptr, true);
}

bool CWindowSystem::HasShapePoint(HWND hwnd, POINT pt) const {
  WindowNode* node = Node(hwnd);
  if (!node) return false;
  const RECT& rect = RectOf(*node);
  CRect rc(0, 0, rect.right - rect.left, rect.bottom - rect.top);
  if (!rc.PtInRect(pt)) return false;
  return !node->shape || node->shape->PtInRegion(pt.x, pt.y);
}

void CWindowSystem::SetIcons(HWND hwnd, const std::vector<PixelImage>& icons) {
  WindowNode* node = TopNode(hwnd);
  if (!node) return;
  node->icons = icons;
  if (node->surface) m_backend.SetSurfaceIcons(node->surface, icons);
}

SurfaceId CWindowSystem::SurfaceOf(HWND hwnd) const {
  WindowNode* node = TopNode(hwnd);
  return node ? node->surface : 0;
}

// A window that waits for a modal box of its own cannot take the keyboard; whatever brings it forward
// brings the box forward instead, as the desktop does when its owner is clicked.
HWND CWindowSystem::ActivationTarget(HWND hwnd) const {
  HWND top = GetTopLevel(hwnd);
  if (!top || IsEnabled(top)) return top;
  HWND popup = GetLastActivePopup(top);
  return popup != top && IsEnabled(popup) ? popup : top;
}

void CWindowSystem::SetActive(HWND hwnd) {
  WindowNode* node = Node(ActivationTarget(hwnd));
  if (!node) return;
  HWND previous = m_active;
  m_active = node->handle;
  if (WindowNode* owner = Node(node->owner)) owner->lastActivePopup = node->handle;
  if (node->surface && (node->style & WS_VISIBLE)) m_backend.Activate(node->surface);
  if (previous != m_active) {
    if (IsWindow(previous)) Send(previous, WM_ACTIVATE, 0, 0);
    Send(m_active, WM_ACTIVATE, 1, 0);
  }
}

void CWindowSystem::EnsureSurface(WindowNode& top) {
  if (top.surface) return;
  SurfaceDesc desc;
  desc.kind = top.kind;
  desc.rect = RectOf(top);
  desc.title = top.text;
  if (WindowNode* owner = Node(top.owner)) desc.owner = owner->surface;
  top.surface = m_backend.CreateSurface(desc);
  if (top.shape) m_backend.SetSurfaceShape(top.surface, top.shape->Rects());
  if (!top.icons.empty()) m_backend.SetSurfaceIcons(top.surface, top.icons);
}

void CWindowSystem::EnsureBuffer(WindowNode& top) {
  RectOf(top);
  int width = std::max(1, static_cast<int>(top.rect.right - top.rect.left));
  int height = std::max(1, static_cast<int>(top.rect.bottom - top.rect.top));
  if (top.buffer) return;
  top.buffer = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
}

void CWindowSystem::ShowTopLevel(WindowNode& top, bool show) {
  if (show) {
    EnsureBuffer(top);
    EnsureSurface(top);
    m_backend.ShowSurface(top.surface, true);
    Invalidate(top.handle, nullptr, true);
  } else if (top.surface) {
    m_backend.ShowSurface(top.surface, false);
  }
}

HWND CWindowSystem::TopLevelForSurface(SurfaceId id) const {
  if (id == 0) return nullptr;
  for (HWND top : m_topLevels) {
    WindowNode* node = Node(top);
    if (node && node->surface == id) return top;
  }
  return nullptr;
}

}  // namespace platform
