// Pens, brushes, fonts and bitmaps: the objects a device context draws with, and the stock ones.
#include "platform/api/Gdi.h"

#include <cairo.h>

#include <cmath>
#include <cstring>

#include "platform/api/Resources.h"
#include "platform/linux/CairoHandles.h"
#include "platform/linux/FontCatalog.h"

CGdiObject::~CGdiObject() = default;

BOOL CGdiObject::DeleteObject() {
  if (m_bStock || !Handle()) return FALSE;
  Release();
  return TRUE;
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
  if (m_bCreated || nPenStyle < PS_SOLID || nPenStyle > PS_INSIDEFRAME) return FALSE;
  m_nStyle = nPenStyle;
  // GDI draws a pen of width zero or less one pixel wide.
  m_nWidth = nWidth < 1 ? 1 : nWidth;
  m_crColor = crColor & 0x00FFFFFF;
  m_bCreated = true;
  return TRUE;
}

CBrush::~CBrush() {
  Release();
}

void CBrush::Release() {
  if (m_hPattern) cairo_surface_destroy(platform::CairoOf(m_hPattern));
  m_hPattern = nullptr;
  m_bCreated = false;
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor) {
  if (m_bCreated) return FALSE;
  m_crColor = crColor & 0x00FFFFFF;
  m_bCreated = true;
  return TRUE;
}

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap) {
  cairo_surface_t* source = pBitmap ? platform::CairoOf(pBitmap->Hbitmap()) : nullptr;
  if (m_bCreated || !source) return FALSE;
  // The brush keeps a copy, so that the bitmap may be drawn on or deleted while the brush lives.
  const CSize size = pBitmap->GetSize();
  cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size.cx, size.cy);
  cairo_t* cr = cairo_create(copy);
  cairo_set_source_surface(cr, source, 0, 0);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(copy);
  if (cairo_surface_status(copy) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(copy);
    return FALSE;
  }
  m_hPattern = platform::HandleOf(copy);
  m_crColor = 0;
  m_bCreated = true;
  return TRUE;
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int /*nEscapement*/, int /*nOrientation*/, int nWeight,
                       BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE /*nCharSet*/,
                       BYTE /*nOutPrecision*/, BYTE /*nClipPrecision*/, BYTE nQuality,
                       BYTE /*nPitchAndFamily*/, const char* lpszFacename) {
  if (m_font) return FALSE;
  platform::FontRequest request;
  request.height = nHeight;
  request.width = nWidth < 0 ? -nWidth : nWidth;
  request.weight = nWeight;
  request.italic = bItalic != 0;
  request.underline = bUnderline != 0;
  request.strikeOut = cStrikeOut != 0;
  request.antialias = nQuality != NONANTIALIASED_QUALITY;
  request.face = lpszFacename ? lpszFacename : "";
  m_font = platform::ResolveFont(request);
  return m_font ? TRUE : FALSE;
}

BOOL CFont::CreatePointFont(int nPointSize, const char* lpszFaceName, CDC* /*pDC*/) {
  constexpr double kPixelsPerInch = 96.0;
  const int pixels = static_cast<int>(std::lround(kPixelsPerInch * nPointSize / 720.0));
  return CreateFont(-pixels, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, lpszFaceName);
}

CBitmap::~CBitmap() {
  Release();
}

void CBitmap::Release() {
  if (m_hBitmap) cairo_surface_destroy(platform::CairoOf(m_hBitmap));
  m_hBitmap = nullptr;
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight) {
  if (platform::CairoOf(m_hBitmap) || nWidth <= 0 || nHeight <= 0) return FALSE;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, nWidth, nHeight);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return FALSE;
  }
  // A new image surface is already zero, which reads as black.
  m_hBitmap = platform::HandleOf(surface);
  return TRUE;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* /*pDC*/, int nWidth, int nHeight) {
  // Every device context of this window system draws 32-bit RGB, so any bitmap is compatible.
  return CreateBitmap(nWidth, nHeight);
}

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
  const platform::ResourceSet* resources = platform::CurrentResources();
  if (platform::CairoOf(m_hBitmap) || !resources) return FALSE;
  auto it = resources->bitmaps.find(nIDResource);
  if (it == resources->bitmaps.end()) return FALSE;
  const platform::BitmapResource& picture = it->second;
  if (picture.rgb.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height))
    return FALSE;
  if (!CreateBitmap(picture.width, picture.height)) return FALSE;
  cairo_surface_flush(platform::CairoOf(m_hBitmap));
  unsigned char* data = cairo_image_surface_get_data(platform::CairoOf(m_hBitmap));
  const int stride = cairo_image_surface_get_stride(platform::CairoOf(m_hBitmap));
  for (int y = 0; y < picture.height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
    for (int x = 0; x < picture.width; ++x) row[x] = picture.rgb[y * picture.width + x] & 0x00FFFFFF;
  }
  cairo_surface_mark_dirty(platform::CairoOf(m_hBitmap));
  return TRUE;
}

CSize CBitmap::GetSize() const {
  if (!m_hBitmap) return {};
  return {cairo_image_surface_get_width(platform::CairoOf(m_hBitmap)),
          cairo_image_surface_get_height(platform::CairoOf(m_hBitmap))};
}

namespace {

// Holds no face of its own: a context that draws with it asks the catalog for the default font then, so
// that handing the stock font back as the one selected before opens no font file.
class CStockFont : public CFont {
 public:
  CStockFont() { MakeStock(); }

 protected:
  const void* Handle() const override { return this; }
};

}  // namespace

namespace platform {

CFont* StockFont() {
  static CStockFont font;
  return &font;
}

}  // namespace platform
