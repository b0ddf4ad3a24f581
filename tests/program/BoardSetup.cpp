// A board one move from order, for the tests and the benchmarks that need a game they can solve at once.
#include "BoardSetup.h"

#include "ui/PuzzleDlg.h"
#include "ui/TileWnd.h"

namespace program_test {

void SetUpOneMoveFromOrder(CPuzzleDlg& dlg) {
  CPuzzleGame& game = dlg.m_game;
  for (int i = 0; i < game.m_nCells - 1; ++i) game.m_board[static_cast<std::size_t>(i)] = i + 1;
  game.m_board.back() = 0;
  game.m_nHole = game.m_nCells - 1;
  game.TrySlide(game.m_nCells - 2, false);
  for (std::size_t i = 0; i < dlg.m_tiles.size(); ++i) dlg.m_tiles[i]->SetNumber(game.m_board[i]);
}

}  // namespace program_test
