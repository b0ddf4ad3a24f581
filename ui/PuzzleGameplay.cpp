// CPuzzleDlg's games: new boards and their tile windows, the player's moves and the clock.
#include <algorithm>

#include "platform/api/Runtime.h"
#include "ui/PuzzleDlg.h"

// The board is shuffled before the tile windows exist, so they are created showing the shuffled numbers.
void CPuzzleDlg::NewBoard() {
  m_game.Shuffle(GetTickCount());
  CreateTiles();
}

void CPuzzleDlg::CreateTiles() {
  const std::size_t cells = std::min(m_game.m_board.size(), m_tileRects.size());
  m_tiles.reserve(cells);
  for (std::size_t i = 0; i < cells; ++i) {
    auto tile = std::make_unique<CTileWnd>();
    tile->Create(m_tileRects[i], this, m_game.m_board[i], m_nFontHeight, m_crTheme, m_crThemeLight);
    m_tiles.push_back(std::move(tile));
  }
}

void CPuzzleDlg::DestroyTiles() {
  for (std::unique_ptr<CTileWnd>& tile : m_tiles) {
    tile->DestroyWindow();
    tile.reset();
  }
  // The storage goes too: a board of another size follows.
  std::vector<std::unique_ptr<CTileWnd>>().swap(m_tiles);
  std::vector<int>().swap(m_game.m_board);
  std::vector<RECT>().swap(m_tileRects);
}

void CPuzzleDlg::OnStart() {
  KillTimer(TIMER_CLOCK);
  DestroyTiles();
  Layout();
  NewBoard();
  m_game.ResetCounters();
  InvalidateRect(nullptr, TRUE);
  SetTimer(TIMER_CLOCK, kClockPeriodMs);
}

void CPuzzleDlg::OnTileClicked(int nNumber) {
  if (m_game.PlayerMove(nNumber) == CPuzzleGame::MoveResult::Solved) OnSolved();
}

// The solving move has been counted and the game marked solved by the engine. The tiles are hidden without
// a redraw of their own: the repaint of the whole window puts the result panel where they were.
void CPuzzleDlg::OnSolved() {
  KillTimer(TIMER_CLOCK);
  m_bDragArmed = FALSE;
  for (std::unique_ptr<CTileWnd>& tile : m_tiles) tile->ModifyStyle(WS_VISIBLE, 0, 0);
  InvalidateRect(nullptr, TRUE);
}

// The timer is set again at each tick, so a tick handled late delays all that follow: the clock counts
// ticks, not time.
void CPuzzleDlg::OnClockTick() {
  m_game.CountSecond();
  SetTimer(TIMER_CLOCK, kClockPeriodMs);
}
