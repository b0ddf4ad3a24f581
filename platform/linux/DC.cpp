// Device contexts: targets, selected objects, fills and 1-pixel lines, drawn with cairo at whole pixels.
#include "platform/api/DC.h"

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "platform/linux/CairoHandles.h"
#include "platform/linux/DCImpl.h"
#include "platform/linux/FontCatalog.h"

namespace {

void SetSourceColor(cairo_t* cr, COLORREF color) {
  cairo_set_source_rgb(cr, GetRValue(color) / 255.0, GetGValue(color) / 255.0, GetBValue(color) / 255.0);
}

// A pattern repeats from the context's (0, 0): the source is set while the origin's translation is in force.
void SetBrushSource(cairo_t* cr, const CBrush& brush) {
  cairo_surface_t* tile = platform::CairoOf(brush.Pattern());
  if (!tile) {
    SetSourceColor(cr, brush.Color());
    return;
  }
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(tile);
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
  cairo_set_source(cr, pattern);
  cairo_pattern_destroy(pattern);
}

bool IsPixelSurface(cairo_surface_t* surface) {
  if (!surface || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return false;
  if (cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE) return false;
  const cairo_format_t format = cairo_image_surface_get_format(surface);
  return format == CAIRO_FORMAT_RGB24 || format == CAIRO_FORMAT_ARGB32;
}

// The pixels a GDI line covers from (x0, y0) towards (x1, y1), end point excluded: one pixel per step
// along the longer axis, the other coordinate rounded to the nearest pixel. Runs along the longer axis
// come back as single boxes.
std::vector<RECT> LinePixels(int x0, int y0, int x1, int y1) {
  const int dx = std::abs(x1 - x0);
  const int dy = std::abs(y1 - y0);
  const int sx = x1 >= x0 ? 1 : -1;
  const int sy = y1 >= y0 ? 1 : -1;
  const int steps = std::max(dx, dy);
  const bool xMajor = dx >= dy;
  std::vector<RECT> boxes;
  for (int i = 0; i < steps; ++i) {
    const long long minorStep =
        (2LL * i * (xMajor ? dy : dx) + steps) / (2LL * steps);  // round(i * minor / steps), halves up
    const int x = x0 + sx * (xMajor ? i : static_cast<int>(minorStep));
    const int y = y0 + sy * (xMajor ? static_cast<int>(minorStep) : i);
    RECT* last = boxes.empty() ? nullptr : &boxes.back();
    if (last && xMajor && last->top == y && (last->right == x || last->left == x + 1)) {
      last->left = std::min<LONG>(last->left, x);
      last->right = std::max<LONG>(last->right, x + 1);
    } else if (last && !xMajor && last->left == x && (last->bottom == y || last->top == y + 1)) {
      last->top = std::min<LONG>(last->top, y);
      last->bottom = std::max<LONG>(last->bottom, y + 1);
    } else {
      boxes.push_back(RECT{x, y, x + 1, y + 1});
    }
  }
  return boxes;
}

// A wider pen covers a square of its width around each pixel of the thin line.
void Thicken(std::vector<RECT>& boxes, int width) {
  if (width <= 1) return;
  const int before = (width - 1) / 2;
  const int after = width - 1 - before;
  for (RECT& box : boxes)
    box = RECT{box.left - before, box.top - before, box.right + after, box.bottom + after};
}

}  // namespace

CDC::~CDC() {
  DeleteDC();
}

void CDC::Impl::SetTarget(CDC& dc, HBITMAP hTarget, POINT origin, HRGN hClip) {
  ClearTarget(dc);
  cairo_surface_t* target = platform::CairoOf(hTarget);
  if (!IsPixelSurface(target)) return;
  dc.m_hTarget = platform::HandleOf(cairo_surface_reference(target));
  dc.m_origin = origin;
  cairo_t* cr = cairo_create(target);
  dc.m_hDC = platform::HandleOf(cr);
  if (hClip) {
    cairo_region_t* clip = cairo_region_copy(platform::CairoOf(hClip));
    dc.m_hClip = platform::HandleOf(clip);
    const int n = cairo_region_num_rectangles(clip);
    for (int i = 0; i < n; ++i) {
      cairo_rectangle_int_t r;
      cairo_region_get_rectangle(clip, i, &r);
      cairo_rectangle(cr, r.x, r.y, r.width, r.height);
    }
    cairo_clip(cr);
  }
  cairo_translate(cr, origin.x, origin.y);
  // Fills land on whole pixels; glyphs keep the antialiasing of their font.
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
}

void CDC::Impl::ClearTarget(CDC& dc) {
  if (dc.m_hDC) cairo_destroy(platform::CairoOf(dc.m_hDC));
  if (dc.m_hTarget) {
    cairo_surface_flush(platform::CairoOf(dc.m_hTarget));
    cairo_surface_destroy(platform::CairoOf(dc.m_hTarget));
  }
  if (dc.m_hClip) cairo_region_destroy(platform::CairoOf(dc.m_hClip));
  dc.m_hDC = nullptr;
  dc.m_hTarget = nullptr;
  dc.m_hClip = nullptr;
  dc.m_origin = POINT{};
}

bool CDC::IsValid() const {
  return m_bMemory || m_hTarget != nullptr;
}

void CDC::AttachSurface(HBITMAP target, POINT origin, HRGN clip) {
  Impl::SetTarget(*this, target, origin, clip);
}

void CDC::DetachSurface() {
  Impl::ClearTarget(*this);
}

BOOL CDC::CreateCompatibleDC(CDC* /*pDC*/) {
  if (IsValid()) return FALSE;
  m_bMemory = true;
  return TRUE;
}

BOOL CDC::DeleteDC() {
  const bool wasValid = IsValid();
  Impl::ClearTarget(*this);
  m_bMemory = false;
  m_pPen = nullptr;
  m_pen = PenState{};
  m_pBrush = nullptr;
  m_crBrush = RGB(255, 255, 255);
  m_pFont = nullptr;
  m_font.reset();
  m_pBitmap = nullptr;
  m_crText = RGB(0, 0, 0);
  m_crBk = RGB(255, 255, 255);
  m_nBkMode = OPAQUE;
  m_pos = CPoint();
  return wasValid ? TRUE : FALSE;
}

CPen* CDC::SelectObject(CPen* pPen) {
  if (!pPen || !pPen->GetSafeHandle()) return nullptr;
  CPen* previous = m_pPen ? m_pPen : platform::StockPen();
  m_pPen = pPen;
  // The context keeps the pen's values, so deleting a selected pen cannot leave it dangling.
  m_pen = PenState{pPen->Style(), pPen->Width(), pPen->Color()};
  return previous;
}

CBrush* CDC::SelectObject(CBrush* pBrush) {
  if (!pBrush || !pBrush->GetSafeHandle()) return nullptr;
  CBrush* previous = m_pBrush ? m_pBrush : platform::StockBrush();
  m_pBrush = pBrush;
  m_crBrush = pBrush->Color();
  return previous;
}

CFont* CDC::SelectObject(CFont* pFont) {
  if (!pFont || !pFont->GetSafeHandle()) return nullptr;
  CFont* previous = m_pFont ? m_pFont : platform::StockFont();
  m_pFont = pFont;
  m_font = pFont->Resolved();
  return previous;
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
  if (!m_bMemory || !pBitmap || !pBitmap->GetSafeHandle()) return nullptr;
  CBitmap* previous = m_pBitmap ? m_pBitmap : platform::StockBitmap();
  m_pBitmap = pBitmap;
  // The stock bitmap is shared by every memory context, so none of them may draw on it.
  if (pBitmap->IsStock()) {
    Impl::ClearTarget(*this);
  } else {
    Impl::SetTarget(*this, pBitmap->Hbitmap(), POINT{}, nullptr);
  }
  return previous;
}

// The pixels are left unflushed: whatever reads the buffer directly flushes it first, and a flush for every
// square of a fine background pattern would cost more than the fills themselves.
void CDC::Impl::FillBoxes(CDC& dc, std::span<const RECT> boxes, COLORREF color) {
  CBrush brush(color);
  FillBoxes(dc, boxes, brush);
}

void CDC::Impl::FillBoxes(CDC& dc, std::span<const RECT> boxes, const CBrush& brush) {
  cairo_t* cr = platform::CairoOf(dc.m_hDC);
  if (!cr || boxes.empty()) return;
  cairo_save(cr);
  cairo_new_path(cr);
  for (const RECT& box : boxes) {
    if (box.right > box.left && box.bottom > box.top) {
      cairo_rectangle(cr, box.left, box.top, box.right - box.left, box.bottom - box.top);
    }
  }
  SetBrushSource(cr, brush);
  // Overlapping boxes of one path all wind the same way, so the fill is their union.
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  cairo_fill(cr);
  cairo_restore(cr);
}

void CDC::FillSolidRect(const RECT& rc, COLORREF cr) {
  SetBkColor(cr);
  Impl::FillBoxes(*this, std::span<const RECT>(&rc, 1), cr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF cr) {
  FillSolidRect(RECT{x, y, x + cx, y + cy}, cr);
}

void CDC::FillRect(const RECT* rc, CBrush* pBrush) {
  if (!rc || !pBrush || !pBrush->GetSafeHandle()) return;
  Impl::FillBoxes(*this, std::span<const RECT>(rc, 1), *pBrush);
}

BOOL CDC::FillRgn(CRgn* pRgn, CBrush* pBrush) {
  if (!pRgn || !pRgn->GetSafeHandle() || !pBrush || !pBrush->GetSafeHandle()) return FALSE;
  Impl::FillBoxes(*this, pRgn->Rects(), *pBrush);
  return TRUE;
}

CPoint CDC::MoveTo(int x, int y) {
  const CPoint previous = m_pos;
  m_pos = CPoint(x, y);
  return previous;
}

// Lines are filled pixel boxes, not stroked paths: a 1-pixel stroke along y = n straddles two rows and,
// without antialiasing, lands on the wrong one.
BOOL CDC::LineTo(int x, int y) {
  const CPoint from = m_pos;
  m_pos = CPoint(x, y);
  if (m_pen.style == PS_NULL) return TRUE;
  std::vector<RECT> boxes = LinePixels(from.x, from.y, x, y);
  Thicken(boxes, m_pen.width);
  Impl::FillBoxes(*this, boxes, m_pen.color);
  return TRUE;
}

COLORREF CDC::SetTextColor(COLORREF cr) {
  return std::exchange(m_crText, cr & 0x00FFFFFF);
}

COLORREF CDC::SetBkColor(COLORREF cr) {
  return std::exchange(m_crBk, cr & 0x00FFFFFF);
}

int CDC::SetBkMode(int nBkMode) {
  if (nBkMode != TRANSPARENT && nBkMode != OPAQUE) return 0;
  return std::exchange(m_nBkMode, nBkMode);
}

bool CDC::Impl::InClip(const CDC& dc, int tx, int ty) {
  if (!dc.m_hTarget) return false;
  if (tx < 0 || ty < 0 || tx >= cairo_image_surface_get_width(platform::CairoOf(dc.m_hTarget)) ||
      ty >= cairo_image_surface_get_height(platform::CairoOf(dc.m_hTarget))) {
    return false;
  }
  return !dc.m_hClip || cairo_region_contains_point(platform::CairoOf(dc.m_hClip), tx, ty);
}

COLORREF CDC::GetPixel(int x, int y) const {
  const int tx = x + m_origin.x;
  const int ty = y + m_origin.y;
  if (!Impl::InClip(*this, tx, ty)) return CLR_INVALID;
  cairo_surface_flush(platform::CairoOf(m_hTarget));
  const unsigned char* data = cairo_image_surface_get_data(platform::CairoOf(m_hTarget));
  const int stride = cairo_image_surface_get_stride(platform::CairoOf(m_hTarget));
  const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<ptrdiff_t>(ty) * stride);
  const std::uint32_t pixel = row[tx];
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}
