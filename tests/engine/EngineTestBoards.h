// Helpers that give the engine tests a game with a board the test chooses.
#pragma once

#include "engine/PuzzleGame.h"

#include <algorithm>
#include <cstddef>
#include <ostream>
#include <utility>
#include <vector>

// The board of nCells cells in order: 1 .. nCells - 1, then the hole.
inline std::vector<int> OrderedBoard(int nCells) {
  std::vector<int> board;
  for (int nNumber = 1; nNumber < nCells; ++nNumber) board.push_back(nNumber);
  board.push_back(0);
  return board;
}

// The ordered board with the hole swapped into cell nHole.
inline std::vector<int> BoardWithHoleAt(int nCells, int nHole) {
  std::vector<int> board = OrderedBoard(nCells);
  std::swap(board[static_cast<std::size_t>(nHole)], board.back());
  return board;
}

// A game whose size fits `board` (which must have one of the six sizes) and
// whose hole is wherever the board holds 0, as if a shuffle had left it so.
inline CPuzzleGame GameWithBoard(const std::vector<int>& board) {
  CPuzzleGame game;
  game.SetBoardSize(static_cast<int>(board.size()));
  game.m_board = board;
  game.m_nHole = static_cast<int>(std::find(board.begin(), board.end(), 0) - board.begin());
  return game;
}

// Every state a move can change, so that a test can tell whether anything did.
struct GameSnapshot {
  int nSide;
  int nCells;
  std::vector<int> board;
  int nHole;
  int nMoves;
  int nSeconds;
  bool bSolved;

  explicit GameSnapshot(const CPuzzleGame& game)
      : nSide(game.m_nSide),
        nCells(game.m_nCells),
        board(game.m_board),
        nHole(game.m_nHole),
        nMoves(game.m_nMoves),
        nSeconds(game.m_nSeconds),
        bSolved(game.m_bSolved) {}

  bool operator==(const GameSnapshot&) const = default;

  // Lets a failed comparison show the two states readably.
  friend void PrintTo(const GameSnapshot& snapshot, std::ostream* pOut) {
    *pOut << "side " << snapshot.nSide << ", cells " << snapshot.nCells << ", hole " << snapshot.nHole
          << ", moves " << snapshot.nMoves << ", seconds " << snapshot.nSeconds << ", solved "
          << snapshot.bSolved << ", board";
    for (int nNumber : snapshot.board) *pOut << ' ' << nNumber;
  }
};

// The six board sizes the game offers, as cell counts.
inline const std::vector<int> kAllBoardSizes = {16, 25, 36, 49, 64, 100};
