// Regions: sets of pixels built from rectangles and rounded rectangles, combined like GDI's.
#pragma once

#include <vector>

#include "platform/api/Gdi.h"
#include "platform/api/Types.h"

class CRgn : public CGdiObject {
 public:
  CRgn() = default;
  ~CRgn() override;
  CRgn(CRgn&& other) noexcept;
  CRgn& operator=(CRgn&& other) noexcept;

  // The pixels from (l, t) up to but not including (r, b); swapped corners are put in order.
  BOOL CreateRectRgn(int l, int t, int r, int b);
  BOOL CreateRectRgnIndirect(const RECT* rc);
  // A rectangle with (w x h) elliptic corners, built from scanline rectangles: the region covers the same
  // pixels as the rectangle (l, t, r, b), right and bottom exclusive, so that a window's rounded shape, its
  // frame and its rim agree to the pixel. In the corner boxes a pixel belongs to the region when its centre
  // lies inside or on the corner ellipse, which keeps every corner the mirror image of the others. Ellipses
  // larger than the rectangle are clamped to it; one narrower than 2 pixels gives plain corners.
  BOOL CreateRoundRectRgn(int l, int t, int r, int b, int w, int h);
  // Sets this region to `a` combined with `b` (`b` unused for RGN_COPY); this region may be `a` or `b`.
  // This region must have been created; returns the resulting region type, or ERROR.
  int CombineRgn(const CRgn* a, const CRgn* b, int mode);
  BOOL CopyRgn(const CRgn* source);
  BOOL EqualRgn(const CRgn* other) const;
  BOOL PtInRegion(int x, int y) const;
  BOOL PtInRegion(POINT pt) const { return PtInRegion(pt.x, pt.y); }
  int OffsetRgn(int dx, int dy);
  int OffsetRgn(POINT pt) { return OffsetRgn(pt.x, pt.y); }
  // The smallest rectangle around the region; all zero for an empty one.
  CRect GetRgnBox() const;
  int GetRgnBox(RECT* rc) const;
  // Disjoint rectangles, top to bottom and left to right within a band, whose union is the region.
  std::vector<RECT> Rects() const;
  HRGN Hrgn() const { return m_hRgn; }
  // Gives up the region without freeing it, as when a window takes it over; the caller frees it.
  HRGN Detach();
  // Takes over a region, freeing the one held before.
  void Attach(HRGN region);

 protected:
  const void* Handle() const override { return m_hRgn; }
  void Release() override;

 private:
  int Type() const;
  HRGN m_hRgn = nullptr;
};
