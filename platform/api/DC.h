// Device contexts: where the program draws, on a window's pixels or on a bitmap, with GDI's integer rules.
#pragma once

#include <memory>
#include <string>

#include "platform/api/Gdi.h"
#include "platform/api/RectOps.h"
#include "platform/api/Region.h"
#include "platform/api/Types.h"

class CDC {
 public:
  CDC() = default;
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  // For the window system: draw onto `target` (a 32-bit picture) with this context's (0, 0) at `origin` of
  // the target, limited to `clip` (target coordinates, copied; null: the whole target). The context keeps a
  // reference to the picture until DetachSurface, but the caller keeps owning it.
  void AttachSurface(HBITMAP target, POINT origin, HRGN clip);
  void DetachSurface();

  // A memory context: it draws into whichever bitmap is selected into it, and nothing while it holds its
  // stock 1 x 1 bitmap. `pDC` may be null or a context without pixels (a hidden window's).
  BOOL CreateCompatibleDC(CDC* pDC);
  BOOL DeleteDC();
  // True for a memory context and for a context attached to a window's pixels.
  bool IsValid() const;

  // Each returns the object of the same kind selected before (a stock object at first), or null when the
  // object given holds nothing (or, for a bitmap, when this is not a memory context).
  CPen* SelectObject(CPen* pPen);
  CBrush* SelectObject(CBrush* pBrush);
  CFont* SelectObject(CFont* pFont);
  CBitmap* SelectObject(CBitmap* pBitmap);

  // Fills the rectangle and, like GDI's, makes `cr` the background colour.
  void FillSolidRect(const RECT& rc, COLORREF cr);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF cr);
  void FillRect(const RECT* rc, CBrush* pBrush);
  // The region is in this context's coordinates.
  BOOL FillRgn(CRgn* pRgn, CBrush* pBrush);

  CPoint MoveTo(int x, int y);
  CPoint MoveTo(POINT pt) { return MoveTo(pt.x, pt.y); }
  // Draws from the current position up to, but not including, (x, y) with the selected pen, then moves there.
  BOOL LineTo(int x, int y);
  BOOL LineTo(POINT pt) { return LineTo(pt.x, pt.y); }
  CPoint GetCurrentPosition() const { return m_pos; }

  BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
  // Nearest-neighbour copy like GDI's COLORONCOLOR mode: destination column i takes source column
  // xSrc + floor(i * nSrcWidth / nWidth), and rows likewise. Sizes must be positive; source pixels outside
  // the source's bitmap leave the destination as it was.
  BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                  int nSrcHeight, DWORD dwRop);

  COLORREF SetTextColor(COLORREF cr);
  COLORREF GetTextColor() const { return m_crText; }
  COLORREF SetBkColor(COLORREF cr);
  COLORREF GetBkColor() const { return m_crBk; }
  int SetBkMode(int nBkMode);
  int GetBkMode() const { return m_nBkMode; }

  // Draws UTF-8 text in the rectangle with the selected font and returns the height of the text; with
  // DT_VCENTER or DT_BOTTOM on a single line, the offset from rc->top to the bottom of the text instead.
  // Clipped to the rectangle unless DT_NOCLIP. Without DT_NOPREFIX, "&&" shows as "&" and a single "&"
  // disappears (the mnemonic underline is not drawn).
  int DrawText(const std::string& text, RECT* rc, UINT nFormat);
  // Copies the face name of the selected font, cut to nCount - 1 bytes, and returns the bytes copied;
  // with a null buffer returns the size needed including the terminating zero.
  int GetTextFace(int nCount, char* lpszFacename) const;
  std::string GetTextFace() const;
  BOOL GetTextMetrics(TEXTMETRIC* tm) const;
  CSize GetTextExtent(const std::string& text) const;

  // The colour at a point, or CLR_INVALID outside the pixels or the clip.
  COLORREF GetPixel(int x, int y) const;
  COLORREF GetPixel(POINT pt) const { return GetPixel(pt.x, pt.y); }

 private:
  struct PenState {
    int style = PS_SOLID;
    int width = 1;
    COLORREF color = 0;
  };

  // Each implementation's own drawing helpers, as a nested type that reaches the members below; the
  // implementation defines it where it draws.
  struct Impl;

 protected:
  // What the context draws on, with the clip and origin applied to m_hDC; all null when it has no pixels.
  HBITMAP m_hTarget = nullptr;
  HDC m_hDC = nullptr;
  HRGN m_hClip = nullptr;
  bool m_bMemory = false;

 private:
  POINT m_origin{};
  CPen* m_pPen = nullptr;  // null: the stock pen
  PenState m_pen;
  CBrush* m_pBrush = nullptr;
  COLORREF m_crBrush = RGB(255, 255, 255);
  CFont* m_pFont = nullptr;
  std::shared_ptr<const void> m_font;  // the selected font's face, opaque here (CFont::Resolved); null: stock
  CBitmap* m_pBitmap = nullptr;

  COLORREF m_crText = RGB(0, 0, 0);
  COLORREF m_crBk = RGB(255, 255, 255);
  int m_nBkMode = OPAQUE;
  CPoint m_pos;
};
