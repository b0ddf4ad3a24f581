// CTileWnd: the child window over one cell of the board, showing its tile's number or the hole.
#pragma once

#include "platform/api/DC.h"
#include "platform/api/Wnd.h"

class CTileWnd : public CWnd {
 public:
  CTileWnd() = default;
  ~CTileWnd() override = default;

  // Creates the visible child window over `rect` inside `pParent`; the four values are kept only when the
  // window exists. Returns nonzero on success.
  BOOL Create(const RECT& rect, CWnd* pParent, int nNumber, int nFontHeight, COLORREF crText,
              COLORREF crFace);
  void SetColors(COLORREF crText, COLORREF crFace);
  void SetNumber(int nNumber);

  // The heavy font of the tile numbers and the result text: "ＭＳ ゴシック", failing that "MS UI Gothic",
  // failing that the face already selected in `pDC`. Returns whether the font holds something.
  static BOOL CreateNumberFont(CFont& font, CDC* pDC, int nHeight);

  // Read by the main window and by tests; changed only through Create, SetColors and SetNumber.
  int m_nNumber = 0;
  int m_nFontHeight = 0;
  COLORREF m_crText = 0;
  COLORREF m_crFace = 0;

 protected:
  void OnPaint() override;
  void OnLButtonDown(UINT nFlags, CPoint point) override;

 private:
  void DrawBevel(CDC& dc, int width, int height);
};
