// Rectangle arithmetic with GDI's rules: exclusive right and bottom edges, empty results zeroed.
#include "platform/api/RectOps.h"

#include <algorithm>

BOOL IsRectEmpty(const RECT* rc) {
  return !rc || rc->right <= rc->left || rc->bottom <= rc->top ? TRUE : FALSE;
}

BOOL SetRect(RECT* rc, int left, int top, int right, int bottom) {
  if (!rc) return FALSE;
  rc->left = left;
  rc->top = top;
  rc->right = right;
  rc->bottom = bottom;
  return TRUE;
}

BOOL SetRectEmpty(RECT* rc) {
  return SetRect(rc, 0, 0, 0, 0);
}

BOOL InflateRect(RECT* rc, int dx, int dy) {
  if (!rc) return FALSE;
  return SetRect(rc, rc->left - dx, rc->top - dy, rc->right + dx, rc->bottom + dy);
}

BOOL OffsetRect(RECT* rc, int dx, int dy) {
  if (!rc) return FALSE;
  return SetRect(rc, rc->left + dx, rc->top + dy, rc->right + dx, rc->bottom + dy);
}

BOOL PtInRect(const RECT* rc, POINT pt) {
  if (!rc) return FALSE;
  return pt.x >= rc->left && pt.x < rc->right && pt.y >= rc->top && pt.y < rc->bottom ? TRUE : FALSE;
}

BOOL IntersectRect(RECT* out, const RECT* a, const RECT* b) {
  if (!out || !a || !b) return FALSE;
  RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
         std::min(a->bottom, b->bottom)};
  // GDI hands back a zeroed rectangle rather than an inverted one, so callers can test it directly.
  if (IsRectEmpty(&r)) {
    SetRectEmpty(out);
    return FALSE;
  }
  *out = r;
  return TRUE;
}

BOOL UnionRect(RECT* out, const RECT* a, const RECT* b) {
  if (!out || !a || !b) return FALSE;
  const bool emptyA = IsRectEmpty(a);
  const bool emptyB = IsRectEmpty(b);
  if (emptyA && emptyB) {
    SetRectEmpty(out);
    return FALSE;
  }
  if (emptyA || emptyB) {
    *out = emptyA ? *b : *a;
    return TRUE;
  }
  return SetRect(out, std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                 std::max(a->bottom, b->bottom));
}

BOOL EqualRect(const RECT* a, const RECT* b) {
  if (!a || !b) return FALSE;
  return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom ? TRUE
                                                                                                  : FALSE;
}
