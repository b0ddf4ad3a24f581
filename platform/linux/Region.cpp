// Regions on cairo_region_t, with GDI's rounded rectangle worked out row by row.
#include "platform/api/Region.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "platform/linux/CairoHandles.h"

namespace {

cairo_rectangle_int_t CairoRect(int l, int t, int r, int b) {
  return {l, t, std::max(0, r - l), std::max(0, b - t)};
}

// How far row `row` (0 at the top of the corner box) of an ellipse w x h lies inside the box's outer
// edge: the first column whose pixel centre is inside the ellipse.
int CornerInset(int row, int w, int h) {
  const double a = w / 2.0;
  const double b = h / 2.0;
  const double dy = b - (row + 0.5);
  if (dy <= 0) return 0;
  const double dx = a * std::sqrt(std::max(0.0, 1.0 - (dy / b) * (dy / b)));
  return std::max(0, static_cast<int>(std::ceil(a - dx - 0.5)));
}

// Rows with the same inset are merged into one band rectangle, so a round rectangle needs only a few
// dozen rectangles.
std::vector<cairo_rectangle_int_t> RoundRectBands(int l, int t, int r, int b, int w, int h) {
  std::vector<cairo_rectangle_int_t> bands;
  for (int y = t; y < b;) {
    const int fromEdge = std::min(y - t, b - 1 - y);
    const int inset = CornerInset(fromEdge, w, h);
    int end = y + 1;
    while (end < b && CornerInset(std::min(end - t, b - 1 - end), w, h) == inset) ++end;
    if (r - l > 2 * inset) bands.push_back(CairoRect(l + inset, y, r - inset, end));
    y = end;
  }
  return bands;
}

}  // namespace

void CRgn::Release() {
  if (m_hRgn) cairo_region_destroy(platform::CairoOf(m_hRgn));
  m_hRgn = nullptr;
}

BOOL CRgn::CreateRectRgn(int l, int t, int r, int b) {
  if (m_hRgn) return FALSE;
  const cairo_rectangle_int_t rc = CairoRect(std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b));
  m_hRgn = platform::HandleOf(cairo_region_create_rectangle(&rc));
  return TRUE;
}

BOOL CRgn::CreateRectRgnIndirect(const RECT* rc) {
  return rc ? CreateRectRgn(rc->left, rc->top, rc->right, rc->bottom) : FALSE;
}

BOOL CRgn::CreateRoundRectRgn(int l, int t, int r, int b, int w, int h) {
  if (m_hRgn) return FALSE;
  const int left = std::min(l, r);
  const int top = std::min(t, b);
  const int right = std::max(l, r);
  const int bottom = std::max(t, b);
  if (right <= left || bottom <= top) {
    m_hRgn = platform::HandleOf(cairo_region_create());
    return TRUE;
  }
  const int ew = std::min(std::abs(w), right - left);
  const int eh = std::min(std::abs(h), bottom - top);
  if (ew < 2 || eh < 2) return CreateRectRgn(left, top, right, bottom);
  const std::vector<cairo_rectangle_int_t> bands = RoundRectBands(left, top, right, bottom, ew, eh);
  m_hRgn = platform::HandleOf(cairo_region_create_rectangles(bands.data(), static_cast<int>(bands.size())));
  return TRUE;
}

int CRgn::Type() const {
  if (!m_hRgn) return ERROR;
  if (cairo_region_is_empty(platform::CairoOf(m_hRgn))) return NULLREGION;
  return cairo_region_num_rectangles(platform::CairoOf(m_hRgn)) == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode) {
  if (!m_hRgn || !a || !a->m_hRgn) return ERROR;
  if (mode != RGN_COPY && (!b || !b->m_hRgn)) return ERROR;
  // Work on a copy of `a`, since this region may also be `b`.
  cairo_region_t* result = cairo_region_copy(platform::CairoOf(a->m_hRgn));
  cairo_status_t status = CAIRO_STATUS_SUCCESS;
  switch (mode) {
    case RGN_AND: status = cairo_region_intersect(result, platform::CairoOf(b->m_hRgn)); break;
    case RGN_OR: status = cairo_region_union(result, platform::CairoOf(b->m_hRgn)); break;
    case RGN_XOR: status = cairo_region_xor(result, platform::CairoOf(b->m_hRgn)); break;
    case RGN_DIFF: status = cairo_region_subtract(result, platform::CairoOf(b->m_hRgn)); break;
    case RGN_COPY: break;
    default: status = CAIRO_STATUS_INVALID_STATUS; break;
  }
  if (status != CAIRO_STATUS_SUCCESS) {
    cairo_region_destroy(result);
    return ERROR;
  }
  Attach(platform::HandleOf(result));
  return Type();
}

BOOL CRgn::CopyRgn(const CRgn* source) {
  return CombineRgn(source, nullptr, RGN_COPY) != ERROR ? TRUE : FALSE;
}

BOOL CRgn::EqualRgn(const CRgn* other) const {
  if (!m_hRgn || !other || !other->m_hRgn) return FALSE;
  return cairo_region_equal(platform::CairoOf(m_hRgn), platform::CairoOf(other->m_hRgn)) ? TRUE : FALSE;
}

BOOL CRgn::PtInRegion(int x, int y) const {
  return m_hRgn && cairo_region_contains_point(platform::CairoOf(m_hRgn), x, y) ? TRUE : FALSE;
}

int CRgn::OffsetRgn(int dx, int dy) {
  if (!m_hRgn) return ERROR;
  cairo_region_translate(platform::CairoOf(m_hRgn), dx, dy);
  return Type();
}

CRect CRgn::GetRgnBox() const {
  if (!m_hRgn || cairo_region_is_empty(platform::CairoOf(m_hRgn))) return {};
  cairo_rectangle_int_t e;
  cairo_region_get_extents(platform::CairoOf(m_hRgn), &e);
  return {e.x, e.y, e.x + e.width, e.y + e.height};
}

int CRgn::GetRgnBox(RECT* rc) const {
  if (!rc) return ERROR;
  *rc = GetRgnBox();
  return Type();
}

std::vector<RECT> CRgn::Rects() const {
  std::vector<RECT> rects;
  if (!m_hRgn) return rects;
  const int n = cairo_region_num_rectangles(platform::CairoOf(m_hRgn));
  rects.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    cairo_rectangle_int_t r;
    cairo_region_get_rectangle(platform::CairoOf(m_hRgn), i, &r);
    rects.push_back(RECT{r.x, r.y, r.x + r.width, r.y + r.height});
  }
  return rects;
}
