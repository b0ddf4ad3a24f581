// The puzzle engine: the board, the slide rule, the shuffle, the test for order and the game counters.
#pragma once

#include "engine/Random.h"

#include <cstdint>
#include <functional>
#include <vector>

// The state of one game of the sliding-tile puzzle, with no window attached.
//
// Cells are numbered row by row from the top left: cell = row * m_nSide + column.
// m_board holds one tile number (1 .. m_nCells - 1) per cell and 0 for the hole.
// The window layer owns one object of this class, reads its members to paint,
// and learns about every tile a player's move changes through m_onTileNumber.
class CPuzzleGame {
 public:
  // What became of a player's click on a tile.
  enum class MoveResult {
    Refused,  // Nothing changed: the game is solved, or the tile cannot slide.
    Moved,    // The tile slid into the hole and the move was counted.
    Solved,   // As Moved, and the board is now in order.
  };

  // Returned by SideForCells for a cell count that is not the square of a side of at least 2.
  static constexpr int kNoSide = 0;

  // Returns the side of a square board of nCells cells, or kNoSide when
  // nCells is not N * N for some N >= 2. Safe for every int.
  static int SideForCells(int nCells);

  // True for the cell counts of the six boards the game offers: 16, 25, 36, 49, 64 and 100.
  static bool IsBoardSize(int nCells);

  // Switches to the board of nCells cells and empties the board; the caller
  // shuffles next. Returns false and changes nothing for any count that is
  // not one of the six board sizes.
  bool SetBoardSize(int nCells);

  // Puts the board in order and scrambles it by a random walk of the hole,
  // seeded with nTickCount, that makes m_nCells * m_nCells / 2 legal slides.
  // The counters are left alone. Returns the number of random draws the walk
  // needed, which is at least the number of slides because some draws are
  // void or point off the board. When the size members do not describe one
  // of the six boards, the board is left empty and 0 is returned.
  int Shuffle(uint32_t nTickCount);

  // Slides the tile of nCell into the hole if the hole is its neighbour on
  // the same row or column. Returns false and changes nothing otherwise,
  // including for any nCell off the board. With bUpdateTiles, every cell
  // whose number changes is reported through m_onTileNumber, in the order
  // the cells change.
  bool TrySlide(int nCell, bool bUpdateTiles);

  // One click of the player on the tile showing nNumber (0 is the hole). A
  // move that slides counts, the solving move included; once the board is
  // solved every click is refused until the counters are reset.
  MoveResult PlayerMove(int nNumber);

  // True when cells 0 .. m_nCells - 2 hold 1 .. m_nCells - 1 and the last cell holds the hole.
  bool IsInOrder() const;

  // Starts the counters of a new game: not solved, no moves, no seconds.
  void ResetCounters();

  // Counts one tick of the game clock.
  void CountSecond();

  int m_nSide = 4;
  int m_nCells = 16;
  std::vector<int> m_board;
  int m_nHole = 0;
  int m_nMoves = 0;
  int m_nSeconds = 0;
  bool m_bSolved = false;

  // Told the new number of a cell whenever a slide made with bUpdateTiles
  // changes it. May be left empty.
  std::function<void(int nCell, int nNumber)> m_onTileNumber;

 private:
  bool HasBoard() const;
  bool HasBoardSize() const;
  bool HoldsHole(int nCell) const;
  int HoleNeighbour(int nCell) const;
  void MoveInto(int nTarget, int nCell, bool bUpdateTiles);
  void ReportNumber(int nCell) const;
  void ResetToOrder();
  int WalkCandidate(int nDirection) const;
  int FindNumber(int nNumber) const;

  CRandom m_random;
};
