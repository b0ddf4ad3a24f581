// A board one move from order, for the tests and the benchmarks that need a game they can solve at once.
#pragma once

class CPuzzleDlg;

namespace program_test {

// Puts the board of a running game in order but for one move: the last tile stands in the last cell and
// the hole just left of it, so a click on that tile solves the game. The tile windows show the new board.
void SetUpOneMoveFromOrder(CPuzzleDlg& dlg);

}  // namespace program_test
