// Rectangle arithmetic with GDI's rules, and the CSize value type.
#pragma once

#include "platform/api/Types.h"

class CSize : public SIZE {
 public:
  CSize() = default;
  CSize(int ncx, int ncy) {
    cx = ncx;
    cy = ncy;
  }
  CSize(SIZE sz) : SIZE(sz) {}
  bool operator==(const CSize& o) const { return cx == o.cx && cy == o.cy; }
};

#if !defined(_WIN32)
// Windows has these itself, with the same rules.
// A rectangle whose right edge is not beyond its left edge (or bottom beyond top) is empty.
BOOL IsRectEmpty(const RECT* rc);
BOOL SetRect(RECT* rc, int left, int top, int right, int bottom);
BOOL SetRectEmpty(RECT* rc);
// Grows the rectangle by dx on the left and right and by dy on the top and bottom; negative shrinks.
BOOL InflateRect(RECT* rc, int dx, int dy);
BOOL OffsetRect(RECT* rc, int dx, int dy);
// The point must lie inside the left and top edges and before the right and bottom ones.
BOOL PtInRect(const RECT* rc, POINT pt);
// An empty intersection leaves `out` all zero and returns FALSE.
BOOL IntersectRect(RECT* out, const RECT* a, const RECT* b);
// The smallest rectangle that holds both; empty inputs are ignored.
BOOL UnionRect(RECT* out, const RECT* a, const RECT* b);
BOOL EqualRect(const RECT* a, const RECT* b);
#endif
