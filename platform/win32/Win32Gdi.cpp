// Pens, brushes, fonts and bitmaps on Windows: each holds the system's object made from what the program
// asks; a font's face must be installed (or stand in through the system's font substitutes) to be made.
#include <map>
#include <memory>

#include "platform/api/Gdi.h"
#include "platform/win32/SystemFont.h"
#include "platform/win32/Utf16.h"

namespace {

// A top-down 32-bit picture, black at first.
HBITMAP CreatePixels(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
}

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// A face is there when the system lists it, by its own name or through a substitute. Tiles make their font
// at every paint, so each face is asked about once per run.
bool FaceInstalled(const std::wstring& face) {
  if (face.empty()) return true;
  static std::map<std::wstring, bool> known;
  auto it = known.find(face);
  if (it != known.end()) return it->second;
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  face.copy(query.lfFaceName, LF_FACESIZE - 1);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &query, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  known.emplace(face, found);
  return found;
}

}  // namespace

CGdiObject::~CGdiObject() {
  if (m_hObject && !m_bStock) ::DeleteObject(m_hObject);
}

BOOL CGdiObject::DeleteObject() {
  if (!Handle() || m_bStock) return FALSE;
  if (m_hObject) ::DeleteObject(m_hObject);
  m_hObject = nullptr;
  Release();
  return TRUE;
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
  if (m_bCreated || nPenStyle < PS_SOLID || nPenStyle > PS_INSIDEFRAME) return FALSE;
  m_hObject = ::CreatePen(nPenStyle, nWidth, crColor);
  if (!m_hObject) return FALSE;
  m_nStyle = nPenStyle;
  m_nWidth = nWidth < 1 ? 1 : nWidth;
  m_crColor = crColor & 0x00FFFFFF;
  m_bCreated = true;
  return TRUE;
}

CBrush::~CBrush() = default;

void CBrush::Release() {
  m_bCreated = false;
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor) {
  if (m_bCreated) return FALSE;
  m_hObject = ::CreateSolidBrush(crColor);
  if (!m_hObject) return FALSE;
  m_crColor = crColor & 0x00FFFFFF;
  m_bCreated = true;
  return TRUE;
}

// The system's pattern brush keeps its own copy of the bitmap's pixels.
BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap) {
  if (m_bCreated || !pBitmap || !pBitmap->Hbitmap()) return FALSE;
  m_hObject = ::CreatePatternBrush(pBitmap->Hbitmap());
  if (!m_hObject) return FALSE;
  m_bCreated = true;
  return TRUE;
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision,
                       BYTE nClipPrecision, BYTE nQuality, BYTE nPitchAndFamily, const char* lpszFacename) {
  if (m_font) return FALSE;
  const std::wstring face = platform::Widen(lpszFacename ? lpszFacename : "");
  if (!FaceInstalled(face)) return FALSE;
  HFONT font =
      CreateFontW(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline, cStrikeOut,
                  nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily, face.c_str());
  if (!font) return FALSE;
  Adopt(std::make_shared<const platform::ResolvedFont>(font));
  return TRUE;
}

BOOL CFont::CreatePointFont(int nPointSize, const char* lpszFaceName, CDC* /*pDC*/) {
  // Tenths of a point at 96 pixels per inch, as the program's dialogs are laid out.
  const int pixels = MulDiv(nPointSize, 96, 720);
  return CreateFont(-pixels, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, lpszFaceName);
}

CBitmap::~CBitmap() {
  Release();
}

void CBitmap::Release() {
  if (m_hBitmap) ::DeleteObject(m_hBitmap);
  m_hBitmap = nullptr;
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight) {
  if (m_hBitmap || nWidth <= 0 || nHeight <= 0) return FALSE;
  m_hBitmap = CreatePixels(nWidth, nHeight);
  return m_hBitmap ? TRUE : FALSE;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC*, int nWidth, int nHeight) {
  return CreateBitmap(nWidth, nHeight);
}

// The module's bitmap, made by the system compatible with the display.
BOOL CBitmap::LoadBitmap(UINT nIDResource) {
  if (m_hBitmap) return FALSE;
  m_hBitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(nIDResource));
  return m_hBitmap ? TRUE : FALSE;
}

CSize CBitmap::GetSize() const {
  BITMAP info{};
  if (!m_hBitmap || !GetObjectW(m_hBitmap, sizeof info, &info)) return {};
  return CSize(info.bmWidth, info.bmHeight);
}

namespace platform {

namespace {

class CStockFont : public CFont {
 public:
  CStockFont() {
    Adopt(std::make_shared<const ResolvedFont>(static_cast<HFONT>(GetStockObject(SYSTEM_FONT))));
    MakeStock();
  }
};

}  // namespace

CFont* StockFont() {
  static CStockFont font;
  return &font;
}

}  // namespace platform
