// CDC on Windows: a device context is an HDC, and the program's pens, brushes, fonts and bitmaps are the
// system's objects selected into it.
#include <vector>

#include "platform/api/DC.h"
#include "platform/win32/SystemDC.h"
#include "platform/win32/SystemFont.h"
#include "platform/win32/Utf16.h"

namespace platform {

void CSystemDC::Borrow(HDC hdc) {
  m_hDC = hdc;
  if (hdc) SaveDC(hdc);
}

void CSystemDC::Return() {
  if (m_hDC) RestoreDC(m_hDC, -1);
  m_hDC = nullptr;
}

}  // namespace platform

namespace {

HGDIOBJ FontObject(const CFont* font) {
  if (!font || !font->Resolved()) return GetStockObject(SYSTEM_FONT);
  return static_cast<const platform::ResolvedFont*>(font->Resolved().get())->Handle();
}

}  // namespace

CDC::~CDC() {
  DeleteDC();
}

bool CDC::IsValid() const {
  return m_hDC != nullptr;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
  if (m_hDC) return FALSE;
  m_hDC = ::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr);
  if (!m_hDC) return FALSE;
  m_bMemory = true;
  SaveDC(m_hDC);
  return TRUE;
}

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  if (m_bMemory) {
    RestoreDC(m_hDC, -1);
    ::DeleteDC(m_hDC);
  }
  m_hDC = nullptr;
  m_bMemory = false;
  m_pPen = nullptr;
  m_pBrush = nullptr;
  m_pFont = nullptr;
  m_pBitmap = nullptr;
  return TRUE;
}

CPen* CDC::SelectObject(CPen* pPen) {
  if (!m_hDC || !pPen || !pPen->m_hObject) return nullptr;
  CPen* previous = m_pPen ? m_pPen : platform::StockPen();
  ::SelectObject(m_hDC, pPen->m_hObject);
  m_pPen = pPen;
  return previous;
}

CBrush* CDC::SelectObject(CBrush* pBrush) {
  if (!m_hDC || !pBrush || !pBrush->m_hObject) return nullptr;
  CBrush* previous = m_pBrush ? m_pBrush : platform::StockBrush();
  ::SelectObject(m_hDC, pBrush->m_hObject);
  m_pBrush = pBrush;
  return previous;
}

CFont* CDC::SelectObject(CFont* pFont) {
  if (!m_hDC || !pFont || !pFont->GetSafeHandle()) return nullptr;
  CFont* previous = m_pFont ? m_pFont : platform::StockFont();
  ::SelectObject(m_hDC, FontObject(pFont));
  m_pFont = pFont;
  return previous;
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
  if (!m_hDC || !m_bMemory || !pBitmap || !pBitmap->Hbitmap()) return nullptr;
  CBitmap* previous = m_pBitmap ? m_pBitmap : platform::StockBitmap();
  ::SelectObject(m_hDC, pBitmap->Hbitmap());
  m_pBitmap = pBitmap;
  return previous;
}

void CDC::FillSolidRect(const RECT& rc, COLORREF cr) {
  if (!m_hDC) return;
  SetBkColor(cr);
  ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF cr) {
  FillSolidRect(RECT{x, y, x + cx, y + cy}, cr);
}

void CDC::FillRect(const RECT* rc, CBrush* pBrush) {
  if (m_hDC && rc && pBrush && pBrush->m_hObject) {
    ::FillRect(m_hDC, rc, static_cast<HBRUSH>(pBrush->m_hObject));
  }
}

BOOL CDC::FillRgn(CRgn* pRgn, CBrush* pBrush) {
  if (!m_hDC || !pRgn || !pRgn->Hrgn() || !pBrush || !pBrush->m_hObject) return FALSE;
  return ::FillRgn(m_hDC, pRgn->Hrgn(), static_cast<HBRUSH>(pBrush->m_hObject));
}

CPoint CDC::MoveTo(int x, int y) {
  const CPoint previous = m_pos;
  if (m_hDC) MoveToEx(m_hDC, x, y, nullptr);
  m_pos = CPoint(x, y);
  return previous;
}

BOOL CDC::LineTo(int x, int y) {
  if (!m_hDC) return FALSE;
  m_pos = CPoint(x, y);
  return ::LineTo(m_hDC, x, y);
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop) {
  if (!m_hDC || !pSrcDC || !pSrcDC->m_hDC) return FALSE;
  return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC->m_hDC, xSrc, ySrc, dwRop);
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                     int nSrcHeight, DWORD dwRop) {
  if (!m_hDC || !pSrcDC || !pSrcDC->m_hDC) return FALSE;
  SetStretchBltMode(m_hDC, COLORONCOLOR);
  return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC->m_hDC, xSrc, ySrc, nSrcWidth, nSrcHeight, dwRop);
}

COLORREF CDC::SetTextColor(COLORREF cr) {
  const COLORREF previous = m_crText;
  m_crText = cr;
  if (m_hDC) ::SetTextColor(m_hDC, cr);
  return previous;
}

COLORREF CDC::SetBkColor(COLORREF cr) {
  const COLORREF previous = m_crBk;
  m_crBk = cr;
  if (m_hDC) ::SetBkColor(m_hDC, cr);
  return previous;
}

int CDC::SetBkMode(int nBkMode) {
  const int previous = m_nBkMode;
  m_nBkMode = nBkMode;
  if (m_hDC) ::SetBkMode(m_hDC, nBkMode);
  return previous;
}

int CDC::DrawText(const std::string& text, RECT* rc, UINT nFormat) {
  if (!m_hDC || !rc) return 0;
  std::wstring wide = platform::Widen(text);
  return DrawTextW(m_hDC, wide.data(), static_cast<int>(wide.size()), rc, nFormat);
}

std::string CDC::GetTextFace() const {
  if (!m_hDC) return {};
  wchar_t face[LF_FACESIZE] = {};
  const int length = GetTextFaceW(m_hDC, LF_FACESIZE, face);
  return platform::Narrow(std::wstring_view(face, length > 0 ? static_cast<std::size_t>(length - 1) : 0));
}

int CDC::GetTextFace(int nCount, char* lpszFacename) const {
  const std::string face = GetTextFace();
  if (!lpszFacename) return static_cast<int>(face.size()) + 1;
  if (nCount <= 0) return 0;
  const std::size_t copied = std::min(face.size(), static_cast<std::size_t>(nCount - 1));
  face.copy(lpszFacename, copied);
  lpszFacename[copied] = '\0';
  return static_cast<int>(copied);
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* tm) const {
  if (!m_hDC || !tm) return FALSE;
  TEXTMETRICW wide{};
  if (!GetTextMetricsW(m_hDC, &wide)) return FALSE;
  *tm = TEXTMETRIC{};
  tm->tmHeight = wide.tmHeight;
  tm->tmAscent = wide.tmAscent;
  tm->tmDescent = wide.tmDescent;
  tm->tmInternalLeading = wide.tmInternalLeading;
  tm->tmExternalLeading = wide.tmExternalLeading;
  tm->tmAveCharWidth = wide.tmAveCharWidth;
  tm->tmMaxCharWidth = wide.tmMaxCharWidth;
  tm->tmWeight = wide.tmWeight;
  tm->tmOverhang = wide.tmOverhang;
  tm->tmItalic = wide.tmItalic;
  tm->tmUnderlined = wide.tmUnderlined;
  tm->tmStruckOut = wide.tmStruckOut;
  tm->tmPitchAndFamily = wide.tmPitchAndFamily;
  tm->tmCharSet = wide.tmCharSet;
  return TRUE;
}

CSize CDC::GetTextExtent(const std::string& text) const {
  if (!m_hDC) return {};
  const std::wstring wide = platform::Widen(text);
  SIZE size{};
  GetTextExtentPoint32W(m_hDC, wide.data(), static_cast<int>(wide.size()), &size);
  return CSize(size);
}

COLORREF CDC::GetPixel(int x, int y) const {
  return m_hDC ? ::GetPixel(m_hDC, x, y) : CLR_INVALID;
}
