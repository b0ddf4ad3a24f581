// CPuzzleDlg's geometry: the size table, the frame, the header buttons, the cells and the window's shape.
#include "platform/api/Region.h"
#include "platform/api/Runtime.h"
#include "ui/PuzzleDlg.h"
#include "ui/ScreenSizes.h"

namespace {

constexpr int kCornerDiameter = 30;

}  // namespace

int CPuzzleDlg::GetCellSize(BOOL bPitch) const {
  const tilvane::ScreenSizeRow row = tilvane::SizeRow(m_nScreenSize);
  return bPitch ? row.nPitch : row.nButton;
}

// A margin of one pitch left, right and below the board, and two above it for the header.
void CPuzzleDlg::GetFrameRect(RECT* pRect) const {
  if (!pRect) return;
  const int p = GetCellSize(TRUE);
  const int n = m_game.m_nSide;
  *pRect = RECT{0, 0, p * (n + 2), p * (n + 3)};
}

void CPuzzleDlg::Layout() {
  const int p = GetCellSize(TRUE);
  const int b = GetCellSize(FALSE);
  const int n = m_game.m_nSide;

  RECT inset;
  GetFrameRect(&inset);
  InflateRect(&inset, -(p / 2), -(p / 2));
  // The buttons start at the left edge of the board, centred in the inset, and stand vertically in the
  // middle of the header band of height p that begins at the inset's top.
  const int x0 = inset.left + (inset.right - inset.left - n * p) / 2;
  const int y0 = inset.top + (p - b) / 2;
  for (int i = 0; i < kButtonCount; ++i) {
    m_rcButtons[static_cast<std::size_t>(i)] = RECT{x0 + i * p, y0, x0 + i * p + b, y0 + b};
  }

  m_tileRects.clear();
  m_tileRects.reserve(static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
  for (int r = 0; r < n; ++r) {
    for (int c = 0; c < n; ++c)
      m_tileRects.push_back(RECT{p * (c + 1), p * (r + 2), p * (c + 2), p * (r + 3)});
  }
}

void CPuzzleDlg::SetRoundShape(int nWidth, int nHeight) {
  CRgn shape;
  shape.CreateRoundRectRgn(0, 0, nWidth, nHeight, kCornerDiameter, kCornerDiameter);
  SetWindowRgn(&shape, TRUE);
}

// The window starts centred at the top edge of the primary monitor, which need not stand at the screen's
// origin; the drop-in then carries it down.
void CPuzzleDlg::PlaceAtTopCentre() {
  RECT screen{};
  if (CWnd* desktop = CWnd::GetDesktopWindow()) desktop->GetWindowRect(&screen);
  RECT frame;
  GetFrameRect(&frame);
  const int w = frame.right;
  const int h = frame.bottom;
  MoveWindow(screen.left + ((screen.right - screen.left) / 2 - w / 2), screen.top, 2 * (w / 2), h, TRUE);
  RECT client;
  GetClientRect(&client);
  SetRoundShape(client.right, client.bottom);
}
