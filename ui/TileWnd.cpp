// CTileWnd: the child window over one cell of the board, showing its tile's number or the hole.
#include "ui/TileWnd.h"

#include <cstdio>

#include "platform/api/PaintDC.h"
#include "ui/PuzzleDlg.h"

namespace {

constexpr COLORREF kHoleColour = RGB(255, 255, 255);
constexpr COLORREF kShadowColour = RGB(0, 0, 0);
constexpr COLORREF kLightColour = RGB(255, 255, 255);

BOOL RequestNumberFont(CFont& font, int nHeight, const char* face) {
  return font.CreateFont(nHeight, 0, 0, 0, FW_HEAVY, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_MODERN | DEFAULT_PITCH, face);
}

// The tile windows belong to the main window, which alone knows whether the board is solved.
CPuzzleDlg* PuzzleParent(const CWnd& tile) {
  return dynamic_cast<CPuzzleDlg*>(tile.GetParent());
}

}  // namespace

BOOL CTileWnd::Create(const RECT& rect, CWnd* pParent, int nNumber, int nFontHeight, COLORREF crText,
                      COLORREF crFace) {
  // The window class has no background brush, so erasing leaves the pixels for the paint to cover, and no
  // cursor of its own, so the main window chooses the cursor over every tile.
  if (!CWnd::Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, rect, pParent, 0)) return FALSE;
  m_nNumber = nNumber;
  m_nFontHeight = nFontHeight;
  m_crText = crText;
  m_crFace = crFace;
  return TRUE;
}

void CTileWnd::SetColors(COLORREF crText, COLORREF crFace) {
  m_crText = crText;
  m_crFace = crFace;
  InvalidateRect(nullptr, TRUE);
}

void CTileWnd::SetNumber(int nNumber) {
  m_nNumber = nNumber;
  InvalidateRect(nullptr, TRUE);
}

BOOL CTileWnd::CreateNumberFont(CFont& font, CDC* pDC, int nHeight) {
  if (RequestNumberFont(font, nHeight, "ＭＳ ゴシック")) return TRUE;
  if (RequestNumberFont(font, nHeight, "MS UI Gothic")) return TRUE;
  char face[256] = {};
  if (pDC) pDC->GetTextFace(static_cast<int>(sizeof face), face);
  return RequestNumberFont(font, nHeight, face);
}

void CTileWnd::OnPaint() {
  CPaintDC dc(this);
  RECT rc;
  GetClientRect(&rc);
  // A solved board shows the result panel where the tiles were, so a tile that is still asked to paint
  // leaves every pixel alone.
  const CPuzzleDlg* parent = PuzzleParent(*this);
  if (parent && parent->m_game.m_bSolved) return;

  if (m_nNumber != 0) {
    dc.FillSolidRect(rc, m_crFace);
    CFont font;
    CreateNumberFont(font, &dc, m_nFontHeight);
    CFont* previous = dc.SelectObject(&font);
    dc.SetTextColor(m_crText);
    dc.SetBkMode(TRANSPARENT);
    char text[16];
    std::snprintf(text, sizeof text, "%d", m_nNumber);
    dc.DrawText(text, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (previous) dc.SelectObject(previous);
    font.DeleteObject();
  } else {
    dc.FillSolidRect(rc, kHoleColour);
  }
  DrawBevel(dc, rc.right - rc.left, rc.bottom - rc.top);
}

// Lines leave out their end point, so each edge pixel is coloured exactly once: the whole bottom row and
// the right column below the top row black, the whole top row and the rest of the left column white.
void CTileWnd::DrawBevel(CDC& dc, int width, int height) {
  CPen black(PS_SOLID, 1, kShadowColour);
  CPen* previous = dc.SelectObject(&black);
  dc.MoveTo(0, height - 1);
  dc.LineTo(width - 1, height - 1);
  dc.LineTo(width - 1, 0);

  CPen white(PS_SOLID, 1, kLightColour);
  dc.SelectObject(&white);
  black.DeleteObject();
  dc.MoveTo(width - 1, 0);
  dc.LineTo(0, 0);
  dc.LineTo(0, height - 1);

  if (previous) dc.SelectObject(previous);
  white.DeleteObject();
}

void CTileWnd::OnLButtonDown(UINT /*nFlags*/, CPoint /*point*/) {
  // The press is a move and nothing else: it is not passed on, so it never arms a window drag.
  if (CPuzzleDlg* parent = PuzzleParent(*this)) parent->OnTileClicked(m_nNumber);
}
