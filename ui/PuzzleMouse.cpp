// CPuzzleDlg's mouse: the header buttons, dragging the window by its background, and the hand cursors.
#include "platform/api/Cursor.h"
#include "res/ResourceIds.h"
#include "ui/PuzzleDlg.h"

namespace {

// The program's hit tests take in all four edges, so a button answers one pixel beyond its picture on the
// right and at the bottom.
bool HitRect(const RECT& rc, CPoint point) {
  return rc.left <= point.x && point.x <= rc.right && rc.top <= point.y && point.y <= rc.bottom;
}

}  // namespace

int CPuzzleDlg::ButtonAt(CPoint point) const {
  for (int i = 0; i < kButtonCount; ++i) {
    if (HitRect(m_rcButtons[static_cast<std::size_t>(i)], point)) return i;
  }
  return kButtonCount;
}

// During play the tile windows take every press over the board. Once the board is solved they are hidden
// and the presses reach this window, where the first cell alone stays dead; the rest of the board arms a
// drag like the background.
void CPuzzleDlg::OnLButtonDown(UINT nFlags, CPoint point) {
  m_bPressed = FALSE;
  m_bDragArmed = FALSE;
  if (!m_tileRects.empty() && HitRect(m_tileRects.front(), point)) return;
  if (ButtonAt(point) != kButtonCount) {
    m_bPressed = TRUE;
  } else {
    m_ptDragAnchor = point;
    m_bDragArmed = TRUE;
  }
  CDialog::OnLButtonDown(nFlags, point);
}

// The point of release alone chooses the button, whichever button the press was on.
void CPuzzleDlg::OnLButtonUp(UINT nFlags, CPoint point) {
  if (m_bPressed) {
    m_bPressed = FALSE;
    RunButton(ButtonAt(point));
  }
  CDialog::OnLButtonUp(nFlags, point);
}

// Start and About go through the queue and run after this handler; Colour and Exit run at once.
void CPuzzleDlg::RunButton(int nButton) {
  switch (nButton) {
    case kButtonStart: PostMessage(WM_COMMAND, ID_START, 0); break;
    case kButtonAbout: PostMessage(WM_COMMAND, ID_APP_ABOUT, 0); break;
    case kButtonColour:
      CycleTheme();
      InvalidateRect(nullptr, TRUE);
      break;
    case kButtonExit: AnimateExit(); break;
    default: break;
  }
}

// Only the left button alone drags: any other button, Shift or Ctrl stops it. The anchor is a client
// point, so after each step it lies under the cursor again and the window follows the mouse.
void CPuzzleDlg::OnMouseMove(UINT nFlags, CPoint point) {
  if (nFlags == MK_LBUTTON && m_bDragArmed) {
    m_bDragging = TRUE;
    RECT rc;
    GetWindowRect(&rc);
    OffsetRect(&rc, point.x - m_ptDragAnchor.x, point.y - m_ptDragAnchor.y);
    MoveWindow(rc, TRUE);
  } else {
    m_bDragging = FALSE;
  }
  CDialog::OnMouseMove(nFlags, point);
}

// The tile windows ask their parent first, so the same hand shows over them; the choice follows the state
// that the previous mouse move left.
BOOL CPuzzleDlg::OnSetCursor(CWnd* /*pWnd*/, UINT /*nHitTest*/, UINT /*message*/) {
  SetCursor(LoadCursor(m_bDragging ? IDC_GRIP : IDC_POINTER));
  return TRUE;
}
