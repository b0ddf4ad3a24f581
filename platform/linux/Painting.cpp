// Invalidation, the order of WM_PAINT, paint targets in the top-level window's buffer, and presenting damage.
#include <cairo.h>

#include <algorithm>

#include "platform/api/Wnd.h"
#include "platform/linux/CairoHandles.h"
#include "platform/linux/WindowNode.h"
#include "platform/linux/WindowSystem.h"

namespace platform {

namespace {
cairo_rectangle_int_t ToCairo(const RECT& rc) {
  return cairo_rectangle_int_t{rc.left, rc.top, std::max(0, static_cast<int>(rc.right - rc.left)),
                               std::max(0, static_cast<int>(rc.bottom - rc.top))};
}

RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

bool IsEmpty(const RECT& rc) {
  return rc.right <= rc.left || rc.bottom <= rc.top;
}
}  // namespace

void CWindowSystem::Invalidate(HWND hwnd, const RECT* rect, bool erase) {
  WindowNode* node = Node(hwnd);
  if (!node || !IsVisible(hwnd)) return;
  RECT whole = GetClientRect(hwnd);
  RECT area = rect ? Intersect(*rect, whole) : whole;
  InvalidateTree(*node, area, erase);
}

// A window paints over its children, so whatever it repaints they repaint after it.
void CWindowSystem::InvalidateTree(WindowNode& node, const RECT& area, bool erase) {
  if (IsEmpty(area)) return;
  cairo_rectangle_int_t r = ToCairo(area);
  cairo_region_union_rectangle(node.update, &r);
  node.erase = node.erase || erase;
  for (HWND childHandle : node.children) {
    WindowNode* child = Node(childHandle);
    if (!child || !(child->style & WS_VISIBLE)) continue;
    RECT inChild = Intersect(area, child->rect);
    CRect local(inChild);
    local.OffsetRect(-child->rect.left, -child->rect.top);
    InvalidateTree(*child, local, erase);
  }
}

void CWindowSystem::Validate(HWND hwnd) {
  WindowNode* node = Node(hwnd);
  // Every paint validates once in BeginPaint and once after its handler; the second costs nothing.
  if (!node || (!node->erase && cairo_region_is_empty(node->update))) return;
  cairo_region_destroy(node->update);
  node->update = cairo_region_create();
  node->erase = false;
}

bool CWindowSystem::HasPendingPaint() const {
  return FindPaintCandidate() != nullptr;
}

WindowNode* CWindowSystem::FindPaintCandidate() const {
  std::vector<HWND> stack(m_topLevels.rbegin(), m_topLevels.rend());
  while (!stack.empty()) {
    WindowNode* node = Node(stack.back());
    stack.pop_back();
    if (!node || !(node->style & WS_VISIBLE)) continue;
    if (!cairo_region_is_empty(node->update)) return node;
    for (auto it = node->children.rbegin(); it != node->children.rend(); ++it) stack.push_back(*it);
  }
  return nullptr;
}

POINT CWindowSystem::OffsetInTop(const WindowNode& node) const {
  POINT offset{0, 0};
  for (const WindowNode* n = &node; n && n->parent; n = Node(n->parent)) {
    offset.x += n->rect.left;
    offset.y += n->rect.top;
  }
  return offset;
}

RECT CWindowSystem::VisibleRectInTop(const WindowNode& node) const {
  POINT offset = OffsetInTop(node);
  RECT visible{offset.x, offset.y, offset.x + node.rect.right - node.rect.left,
               offset.y + node.rect.bottom - node.rect.top};
  for (const WindowNode* n = Node(node.parent); n; n = Node(n->parent)) {
    POINT o = OffsetInTop(*n);
    RECT parentRect{o.x, o.y, o.x + n->rect.right - n->rect.left, o.y + n->rect.bottom - n->rect.top};
    visible = Intersect(visible, parentRect);
  }
  return visible;
}

cairo_region_t* CWindowSystem::ClipFor(const WindowNode& node) const {
  cairo_rectangle_int_t r = ToCairo(VisibleRectInTop(node));
  cairo_region_t* clip = cairo_region_create_rectangle(&r);
  WindowNode* top = TopNode(node.handle);
  if (top && top->shape) cairo_region_intersect(clip, platform::CairoOf(top->shape->Hrgn()));
  return clip;
}

bool CWindowSystem::BeginPaint(HWND hwnd, DrawTarget& target, RECT& rcPaint) {
  WindowNode* node = Node(hwnd);
  WindowNode* top = TopNode(hwnd);
  target = DrawTarget{};
  rcPaint = RECT{};
  if (!node || !top || !IsVisible(hwnd)) {
    if (node) Validate(hwnd);
    return false;
  }
  EnsureBuffer(*top);
  POINT offset = OffsetInTop(*node);
  cairo_region_t* clip = ClipFor(*node);
  cairo_region_t* update = cairo_region_copy(node->update);
  cairo_region_translate(update, offset.x, offset.y);
  cairo_region_intersect(clip, update);
  cairo_region_destroy(update);
  cairo_rectangle_int_t extents;
  cairo_region_get_extents(node->update, &extents);
  rcPaint = RECT{extents.x, extents.y, extents.x + extents.width, extents.y + extents.height};
  target.surface = top->buffer;
  target.origin = offset;
  target.clip = clip;
  target.erase = node->erase;
  Validate(hwnd);
  return true;
}

bool CWindowSystem::GetDrawTarget(HWND hwnd, DrawTarget& target) {
  WindowNode* node = Node(hwnd);
  WindowNode* top = TopNode(hwnd);
  target = DrawTarget{};
  if (!node || !top) return false;
  EnsureBuffer(*top);
  target.surface = top->buffer;
  target.origin = OffsetInTop(*node);
  target.clip = ClipFor(*node);
  return true;
}

void CWindowSystem::ReleaseDrawTarget(HWND hwnd, DrawTarget& target) {
  if (target.clip) {
    WindowNode* top = TopNode(hwnd);
    if (top && top->buffer == target.surface && !cairo_region_is_empty(target.clip)) {
      cairo_rectangle_int_t e;
      cairo_region_get_extents(target.clip, &e);
      AddDamage(*top, RECT{e.x, e.y, e.x + e.width, e.y + e.height});
    }
    cairo_region_destroy(target.clip);
  }
  target = DrawTarget{};
}

void CWindowSystem::AddDamage(WindowNode& top, const RECT& rect) {
  if (IsEmpty(rect)) return;
  if (!top.hasDamage) {
    top.damage = rect;
    top.hasDamage = true;
    return;
  }
  top.damage = RECT{std::min(top.damage.left, rect.left), std::min(top.damage.top, rect.top),
                    std::max(top.damage.right, rect.right), std::max(top.damage.bottom, rect.bottom)};
}

void CWindowSystem::FlushDamage() {
  for (HWND handle : m_topLevels) {
    WindowNode* top = Node(handle);
    if (!top || !top->hasDamage || !top->buffer) continue;
    top->hasDamage = false;
    if (!top->surface) continue;
    m_backend.Present(top->surface, Pixels(handle), top->damage);
  }
}

PixelView CWindowSystem::Pixels(HWND topLevel) {
  WindowNode* top = Node(topLevel);
  if (!top || top->parent || !top->buffer) return PixelView{};
  cairo_surface_flush(top->buffer);
  PixelView view;
  view.data = cairo_image_surface_get_data(top->buffer);
  view.width = cairo_image_surface_get_width(top->buffer);
  view.height = cairo_image_surface_get_height(top->buffer);
  view.stride = cairo_image_surface_get_stride(top->buffer);
  return view;
}

}  // namespace platform
