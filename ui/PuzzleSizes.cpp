// CPuzzleDlg's size commands: the board sizes and the screen sizes, each of which starts a new game.
#include "ui/PuzzleDlg.h"
#include "ui/ScreenSizes.h"

// The screen-size command at the end resizes the window for the new side and starts the game the player
// sees; the board made here is thrown away by it. No size is compared with the old one, so choosing the
// current size starts a new game all the same.
void CPuzzleDlg::SetBoardSize(int nCells) {
  DestroyTiles();
  m_game.SetBoardSize(nCells);
  Layout();
  NewBoard();
  m_game.ResetCounters();
  switch (m_nScreenSize) {
    case 0: OnScreenSmall(); break;
    case 1: OnScreenMedium(); break;
    case 2: OnScreenLarge(); break;
    default: break;
  }
}

void CPuzzleDlg::OnBoard16() {
  SetBoardSize(16);
}
void CPuzzleDlg::OnBoard25() {
  SetBoardSize(25);
}
void CPuzzleDlg::OnBoard36() {
  SetBoardSize(36);
}
void CPuzzleDlg::OnBoard49() {
  SetBoardSize(49);
}
void CPuzzleDlg::OnBoard64() {
  SetBoardSize(64);
}
void CPuzzleDlg::OnBoard100() {
  SetBoardSize(100);
}

// The top-left corner stays where it is; the window is not pulled back onto the screen.
void CPuzzleDlg::SetScreenSize(int nSize) {
  m_nScreenSize = nSize;
  RECT frame;
  GetFrameRect(&frame);
  RECT rc;
  GetWindowRect(&rc);
  MoveWindow(rc.left, rc.top, frame.right, frame.bottom, FALSE);
  SetRoundShape(frame.right, frame.bottom);
}

// A screen-size command always starts a new game, also when the size does not change.
void CPuzzleDlg::RunScreenSizeCommand(int nSize, int nFontHeight) {
  SetScreenSize(nSize);
  m_nFontHeight = nFontHeight;
  OnStart();
  UpdateMenuChecks();
}

void CPuzzleDlg::OnScreenSmall() {
  RunScreenSizeCommand(0, tilvane::kSmall.nFontHeight);
}
void CPuzzleDlg::OnScreenMedium() {
  RunScreenSizeCommand(1, tilvane::kMedium.nFontHeight);
}
void CPuzzleDlg::OnScreenLarge() {
  RunScreenSizeCommand(2, tilvane::kLarge.nFontHeight);
}
