// Tests of the slide rule: which tiles may move into the hole and what a move reports.
#include "engine/PuzzleGame.h"
#include "tests/engine/EngineTestBoards.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

namespace {
using Report = std::pair<int, int>;

// Connects a recorder to the game's tile notification.
void RecordReports(CPuzzleGame& game, std::vector<Report>& reports) {
  game.m_onTileNumber = [&reports](int nCell, int nNumber) { reports.emplace_back(nCell, nNumber); };
}

bool AreOrthogonalNeighbours(int nCellA, int nCellB, int nSide) {
  const int nRowDistance = std::abs(nCellA / nSide - nCellB / nSide);
  const int nColumnDistance = std::abs(nCellA % nSide - nCellB % nSide);
  return nRowDistance + nColumnDistance == 1;
}

// The cells of a 4 x 4 board, hole in cell 5, whose tiles TrySlide lets move.
std::set<int> MovableCellsAroundHoleFive() {
  std::set<int> movable;
  for (int nCell = 0; nCell < 16; ++nCell) {
    CPuzzleGame game = GameWithBoard(BoardWithHoleAt(16, 5));
    if (game.TrySlide(nCell, false)) movable.insert(nCell);
  }
  return movable;
}
}  // namespace

TEST(SlideRule, MovableTilesAroundHoleFiveAreExactlyItsFourNeighbours) {
  EXPECT_EQ(MovableCellsAroundHoleFive(), (std::set<int>{1, 4, 6, 9}));
}

TEST(SlideRule, SlideFromBelowMovesTheTileAndTheHole) {
  CPuzzleGame game = GameWithBoard(BoardWithHoleAt(16, 5));
  const int nNumber = game.m_board[9];
  std::vector<Report> reports;
  RecordReports(game, reports);

  ASSERT_TRUE(game.TrySlide(9, true));

  EXPECT_EQ(game.m_nHole, 9);
  EXPECT_EQ(game.m_board[5], nNumber);
  EXPECT_EQ(game.m_board[9], 0);
  EXPECT_EQ(reports, (std::vector<Report>{{5, nNumber}, {9, 0}}));
}

TEST(SlideRule, TileArrivesBeforeItsOldCellIsCleared) {
  // A listener told about the arrival must still find the tile in its old
  // cell: the number is copied first and the old cell emptied afterwards.
  CPuzzleGame game = GameWithBoard(BoardWithHoleAt(16, 5));
  const int nNumber = game.m_board[9];
  std::vector<std::vector<int>> boardsSeen;
  game.m_onTileNumber = [&](int, int) { boardsSeen.push_back(game.m_board); };

  ASSERT_TRUE(game.TrySlide(9, true));

  ASSERT_EQ(boardsSeen.size(), 2u);
  EXPECT_EQ(boardsSeen[0][5], nNumber);
  EXPECT_EQ(boardsSeen[0][9], nNumber);
  EXPECT_EQ(boardsSeen[1][9], 0);
}

TEST(SlideRule, ShuffleModeReportsNothing) {
  CPuzzleGame game = GameWithBoard(BoardWithHoleAt(16, 5));
  std::vector<Report> reports;
  RecordReports(game, reports);

  ASSERT_TRUE(game.TrySlide(4, false));
  EXPECT_TRUE(reports.empty());
}

TEST(SlideRule, UpdateModeWorksWithNoListener) {
  CPuzzleGame game = GameWithBoard(BoardWithHoleAt(16, 5));
  EXPECT_TRUE(game.TrySlide(6, true));
  EXPECT_EQ(game.m_nHole, 6);
}

TEST(SlideRule, HoleAtEndOfRowDoesNotReachStartOfNextRow) {
  CPuzzleGame game = GameWithBoard(BoardWithHoleAt(16, 3));
  const GameSnapshot before(game);
  EXPECT_FALSE(game.TrySlide(4, true));
  EXPECT_EQ(GameSnapshot(game), before);
}

TEST(SlideRule, HoleAtStartOfRowDoesNotReachEndOfRowAbove) {
  CPuzzleGame game = GameWithBoard(BoardWithHoleAt(16, 4));
  const GameSnapshot before(game);
  EXPECT_FALSE(game.TrySlide(3, true));
  EXPECT_EQ(GameSnapshot(game), before);
}

TEST(SlideRule, RefusedCellsChangeNothingAndReportNothing) {
  CPuzzleGame game = GameWithBoard(BoardWithHoleAt(16, 5));
  std::vector<Report> reports;
  RecordReports(game, reports);
  const GameSnapshot before(game);

  for (int nCell : {-1, 16, 5, 0, 15, INT_MIN, INT_MAX, INT_MIN + 1, INT_MAX - 1}) {
    EXPECT_FALSE(game.TrySlide(nCell, true)) << "cell " << nCell;
    EXPECT_EQ(GameSnapshot(game), before) << "cell " << nCell;
  }
  EXPECT_TRUE(reports.empty());
}

TEST(SlideRule, NothingSlidesBeforeTheFirstShuffle) {
  CPuzzleGame game;
  for (int nCell = -1; nCell <= 16; ++nCell) EXPECT_FALSE(game.TrySlide(nCell, true)) << "cell " << nCell;
}

// For every size, hole position and clicked cell, a slide happens exactly
// when the two cells share an edge; this covers both row-wrap guards on every
// row of every board.
TEST(SlideRule, SlidesExactlyBetweenOrthogonalNeighboursOnEverySize) {
  for (int nCells : kAllBoardSizes) {
    const int nSide = CPuzzleGame::SideForCells(nCells);
    for (int nHole = 0; nHole < nCells; ++nHole) {
      for (int nCell = 0; nCell < nCells; ++nCell) {
        CPuzzleGame game = GameWithBoard(BoardWithHoleAt(nCells, nHole));
        const int nNumber = game.m_board[nCell];
        const bool bExpected = AreOrthogonalNeighbours(nCell, nHole, nSide);
        ASSERT_EQ(game.TrySlide(nCell, false), bExpected)
            << nCells << " cells, hole " << nHole << ", cell " << nCell;
        if (bExpected) {
          ASSERT_EQ(game.m_board[nHole], nNumber);
          ASSERT_EQ(game.m_board[nCell], 0);
          ASSERT_EQ(game.m_nHole, nCell);
        }
      }
    }
  }
}
