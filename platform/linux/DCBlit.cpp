// Copies between device contexts: GDI's nearest-neighbour StretchBlt on 32-bit image surfaces.
#include <cairo.h>

#include <cstdint>
#include <vector>

#include "platform/api/DC.h"

#include "platform/linux/CairoHandles.h"

namespace {

// The pixels of one image surface as rows of 32-bit words.
struct Pixels {
  std::uint8_t* data = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;

  explicit Pixels(cairo_surface_t* surface)
      : data(cairo_image_surface_get_data(surface)),
        width(cairo_image_surface_get_width(surface)),
        height(cairo_image_surface_get_height(surface)),
        stride(cairo_image_surface_get_stride(surface)) {}
  std::uint32_t* Row(int y) const {
    return reinterpret_cast<std::uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
  }
};

// GDI's COLORONCOLOR mapping: destination step i of `count` takes source index start + floor(i * span /
// count).
std::vector<int> SourceIndices(int start, int span, int count) {
  std::vector<int> indices(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    indices[static_cast<size_t>(i)] = start + static_cast<int>(static_cast<long long>(i) * span / count);
  }
  return indices;
}

// The destination pixels to write, in target coordinates: the rectangle within the surface and the clip.
cairo_region_t* DestinationArea(const Pixels& dst, const cairo_region_t* clip, int x, int y, int w, int h) {
  const cairo_rectangle_int_t wanted{x, y, w, h};
  const cairo_rectangle_int_t bounds{0, 0, dst.width, dst.height};
  cairo_region_t* area = cairo_region_create_rectangle(&wanted);
  cairo_region_intersect_rectangle(area, &bounds);
  if (clip) cairo_region_intersect(area, clip);
  return area;
}

}  // namespace

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop) {
  return StretchBlt(x, y, nWidth, nHeight, pSrcDC, xSrc, ySrc, nWidth, nHeight, dwRop);
}

// The copy is done on the pixel words directly: cairo's nearest filter samples pixel centres, which picks
// a different source pixel than GDI for most enlargements.
BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                     int nSrcHeight, DWORD dwRop) {
  if (dwRop != SRCCOPY || !pSrcDC || nWidth <= 0 || nHeight <= 0 || nSrcWidth <= 0 || nSrcHeight <= 0)
    return FALSE;
  if (!m_hTarget || !pSrcDC->m_hTarget) return FALSE;
  cairo_surface_flush(platform::CairoOf(pSrcDC->m_hTarget));
  cairo_surface_flush(platform::CairoOf(m_hTarget));
  const Pixels dst(platform::CairoOf(m_hTarget));
  Pixels src(platform::CairoOf(pSrcDC->m_hTarget));
  // Copying within one surface reads from a snapshot, so overlapping areas copy as GDI's do.
  std::vector<std::uint8_t> snapshot;
  if (pSrcDC->m_hTarget == m_hTarget) {
    snapshot.assign(src.data, src.data + static_cast<ptrdiff_t>(src.stride) * src.height);
    src.data = snapshot.data();
  }
  const int left = x + m_origin.x;
  const int top = y + m_origin.y;
  const std::vector<int> columns = SourceIndices(xSrc + pSrcDC->m_origin.x, nSrcWidth, nWidth);
  const std::vector<int> rows = SourceIndices(ySrc + pSrcDC->m_origin.y, nSrcHeight, nHeight);
  cairo_region_t* area = DestinationArea(dst, platform::CairoOf(m_hClip), left, top, nWidth, nHeight);
  const int n = cairo_region_num_rectangles(area);
  for (int i = 0; i < n; ++i) {
    cairo_rectangle_int_t r;
    cairo_region_get_rectangle(area, i, &r);
    for (int ty = r.y; ty < r.y + r.height; ++ty) {
      const int sy = rows[static_cast<size_t>(ty - top)];
      if (sy < 0 || sy >= src.height) continue;
      const std::uint32_t* from = src.Row(sy);
      std::uint32_t* to = dst.Row(ty);
      for (int tx = r.x; tx < r.x + r.width; ++tx) {
        const int sx = columns[static_cast<size_t>(tx - left)];
        if (sx >= 0 && sx < src.width) to[tx] = from[sx] | 0xFF000000u;
      }
    }
    cairo_surface_mark_dirty_rectangle(platform::CairoOf(m_hTarget), r.x, r.y, r.width, r.height);
  }
  cairo_region_destroy(area);
  return TRUE;
}
