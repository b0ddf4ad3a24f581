// CPuzzleDlg's painting: the rounded white frame with its rim and check pattern, the header, the result.
#include <cstdio>

#include "platform/api/PaintDC.h"
#include "platform/api/Region.h"
#include "platform/api/Runtime.h"
#include "platform/api/WinApp.h"
#include "res/ResourceIds.h"
#include "ui/PuzzleDlg.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kFrameCorner = 30;
constexpr int kRimWidth = 3;
constexpr int kPanelCorner = 20;
// The size of the pictures in their resources; the buttons show them stretched to the button size.
constexpr int kPictureSize = 27;
constexpr UINT kPictureIds[CPuzzleDlg::kButtonCount] = {IDB_START, IDB_ABOUT, IDB_COLOR, IDB_EXIT};

void FillRoundRect(CDC* pDC, const RECT& rc, int nCorner, COLORREF cr) {
  CRgn region;
  region.CreateRoundRectRgn(rc.left, rc.top, rc.right, rc.bottom, nCorner, nCorner);
  CBrush brush(cr);
  pDC->FillRgn(&region, &brush);
  region.DeleteObject();
  brush.DeleteObject();
}

}  // namespace

void CPuzzleDlg::LoadButtonBitmaps() {
  m_dcMem.DeleteDC();
  for (int i = 0; i < kButtonCount; ++i) {
    CBitmap& bitmap = m_bmButtons[static_cast<std::size_t>(i)];
    bitmap.DeleteObject();
    bitmap.LoadBitmap(kPictureIds[i]);
  }
  // The memory context is made like the application's main window's, the invisible owner frame.
  CWnd* pMain = AfxGetMainWnd();
  CDC* pMainDC = pMain ? pMain->GetDC() : nullptr;
  m_dcMem.CreateCompatibleDC(pMainDC);
  if (pMain) pMain->ReleaseDC(pMainDC);
}

void CPuzzleDlg::OnPaint() {
  CPaintDC dc(this);
  DrawFrame(&dc);
  DrawHeader(&dc);
  if (m_game.m_bSolved) {
    DrawResultPanel(&dc);
    DrawResultText(&dc);
  }
}

void CPuzzleDlg::DrawFrame(CDC* pDC) {
  RECT frame;
  GetFrameRect(&frame);
  CRgn outer;
  outer.CreateRoundRectRgn(0, 0, frame.right, frame.bottom, kFrameCorner, kFrameCorner);
  CRgn inner;
  inner.CreateRoundRectRgn(kRimWidth, kRimWidth, frame.right - kRimWidth, frame.bottom - kRimWidth,
                           kFrameCorner, kFrameCorner);
  // What is left of the outer region is the ring along the window's rounded outline.
  outer.CombineRgn(&outer, &inner, RGN_DIFF);
  CBrush white(kWhite);
  CBrush theme(m_crTheme);
  pDC->FillRgn(&inner, &white);
  DrawPattern(pDC, m_nPatternStep, m_crTheme, m_crThemeLight);
  // The rim comes last, so that it covers the pattern where the two meet.
  pDC->FillRgn(&outer, &theme);
  outer.DeleteObject();
  inner.DeleteObject();
  white.DeleteObject();
  theme.DeleteObject();
}

// Columns go in pairs from the left. An even column is always drawn, light over theme; the odd column
// beside it, theme over the untouched white, only when it ends inside the frame, so a strip narrower than
// a square stays white at the right edge. Each column stops after the first pair that reaches below the
// frame.
//
// Those squares are one 2 x 2 block repeated from the frame's corner, so they are filled at once with a
// pattern brush of that block, whatever the step: the cost follows the area, not the number of squares.
// The block's fourth square, which the pattern leaves alone, is white: the pattern is drawn over the
// frame's white, so the pixels are those of the squares filled one by one.
void CPuzzleDlg::DrawPattern(CDC* pDC, int nStep, COLORREF crTheme, COLORREF crLight) {
  if (nStep <= 0) return;
  RECT frame;
  GetFrameRect(&frame);
  const int s = nStep;
  int lastEven = 0;
  while ((lastEven + 2) * s <= frame.right) lastEven += 2;
  const RECT area{0, 0, (lastEven + 1) * s, (frame.bottom / (2 * s) + 1) * 2 * s};

  CBitmap block;
  block.CreateBitmap(2 * s, 2 * s);
  CDC blockDC;
  blockDC.CreateCompatibleDC(pDC);
  blockDC.SelectObject(&block);
  blockDC.FillSolidRect(0, 0, s, s, crLight);
  blockDC.FillSolidRect(s, 0, s, s, crTheme);
  blockDC.FillSolidRect(0, s, s, s, crTheme);
  blockDC.FillSolidRect(s, s, s, s, kWhite);
  CBrush brush;
  brush.CreatePatternBrush(&block);
  pDC->FillRect(&area, &brush);
  brush.DeleteObject();
  blockDC.DeleteDC();
  block.DeleteObject();
  // Like the last square filled one by one, which is always a theme square.
  pDC->SetBkColor(crTheme);
}

void CPuzzleDlg::DrawHeader(CDC* pDC) {
  const int p = GetCellSize(TRUE);
  RECT frame;
  GetFrameRect(&frame);
  const RECT band{p / 2, p / 2, frame.right - p / 2, p / 2 + p};
  FillRoundRect(pDC, band, kPanelCorner, kWhite);
  // The last picture stays selected in the memory context until the next paint, as nothing else uses it.
  for (int i = 0; i < kButtonCount; ++i) {
    const RECT& rc = m_rcButtons[static_cast<std::size_t>(i)];
    m_dcMem.SelectObject(&m_bmButtons[static_cast<std::size_t>(i)]);
    pDC->StretchBlt(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, &m_dcMem, 0, 0, kPictureSize,
                    kPictureSize, SRCCOPY);
  }
}

void CPuzzleDlg::DrawResultPanel(CDC* pDC) {
  const int p = GetCellSize(TRUE);
  RECT frame;
  GetFrameRect(&frame);
  const RECT panel{p / 2, p / 2 + (3 * p) / 2, frame.right - p / 2, frame.bottom - p / 2};
  FillRoundRect(pDC, panel, kPanelCorner, kWhite);
}

std::array<std::string, 3> CPuzzleDlg::ResultLines(int nSeconds, int nMoves) {
  char time[64];
  std::snprintf(time, sizeof time, "%d 分 %d 秒", nSeconds / 60, nSeconds % 60);
  char moves[64];
  std::snprintf(moves, sizeof moves, "移動回数 %d 回", nMoves);
  return {"おめでとう！！", time, moves};
}

// Three centred lines, each one and a half line heights below the one before, the first half a line
// below the panel's top.
void CPuzzleDlg::DrawResultText(CDC* pDC) {
  const int p = GetCellSize(TRUE);
  RECT frame;
  GetFrameRect(&frame);
  const int left = p / 2;
  const int right = frame.right - p / 2;
  const int bottom = frame.bottom - p / 2;
  int y = p / 2 + (3 * p) / 2;

  CFont font;
  CTileWnd::CreateNumberFont(font, pDC, m_nFontHeight);
  CFont* previous = pDC->SelectObject(&font);
  TEXTMETRIC tm;
  pDC->GetTextMetrics(&tm);
  const int h = tm.tmHeight;
  pDC->SetTextColor(m_crTheme);
  pDC->SetBkMode(TRANSPARENT);

  const std::array<std::string, 3> lines = ResultLines(m_game.m_nSeconds, m_game.m_nMoves);
  const int steps[3] = {h / 2, h + h / 2, h + h / 2};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    y += steps[i];
    RECT rc{left, y, right, bottom};
    pDC->DrawText(lines[i], &rc, DT_CENTER | DT_SINGLELINE);
  }
  if (previous) pDC->SelectObject(previous);
  font.DeleteObject();
}
