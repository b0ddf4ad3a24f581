// Tests of a player's move: what is counted, when the board is solved and which clicks are refused.
#include "engine/PuzzleGame.h"
#include "tests/engine/EngineTestBoards.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

namespace {
using MoveResult = CPuzzleGame::MoveResult;

// The ordered 4 x 4 board with tile 15 and the hole swapped: one move from order.
CPuzzleGame GameOneMoveFromOrder() {
  return GameWithBoard(BoardWithHoleAt(16, 14));
}

CPuzzleGame SolvedGame() {
  CPuzzleGame game = GameOneMoveFromOrder();
  game.PlayerMove(15);
  return game;
}
}  // namespace

TEST(PlayerMove, OneMoveFromOrderIsSolvedByOneMove) {
  CPuzzleGame game = GameOneMoveFromOrder();

  EXPECT_EQ(game.PlayerMove(15), MoveResult::Solved);

  EXPECT_TRUE(game.m_bSolved);
  EXPECT_EQ(game.m_nMoves, 1);
  EXPECT_EQ(game.m_board, OrderedBoard(16));
  EXPECT_EQ(game.m_nHole, 15);
}

TEST(PlayerMove, OrdinaryMoveIsCountedAndReported) {
  CPuzzleGame game = GameWithBoard(BoardWithHoleAt(16, 5));
  std::vector<std::pair<int, int>> reports;
  game.m_onTileNumber = [&reports](int nCell, int nNumber) { reports.emplace_back(nCell, nNumber); };

  EXPECT_EQ(game.PlayerMove(7), MoveResult::Moved);

  EXPECT_EQ(game.m_nMoves, 1);
  EXPECT_FALSE(game.m_bSolved);
  EXPECT_EQ(game.m_nHole, 6);
  EXPECT_EQ(reports, (std::vector<std::pair<int, int>>{{5, 7}, {6, 0}}));
}

TEST(PlayerMove, MovesAddUpOverAGame) {
  // The hole goes left, up, down and right again, back into order on the
  // fourth move, which is the only one that solves.
  CPuzzleGame game = GameWithBoard(OrderedBoard(16));
  EXPECT_EQ(game.PlayerMove(15), MoveResult::Moved);
  EXPECT_EQ(game.PlayerMove(11), MoveResult::Moved);
  EXPECT_EQ(game.PlayerMove(11), MoveResult::Moved);
  EXPECT_EQ(game.PlayerMove(15), MoveResult::Solved);
  EXPECT_EQ(game.m_nMoves, 4);
}

TEST(PlayerMove, BoardInOrderIsSolvedOnlyAfterASuccessfulMove) {
  CPuzzleGame game = GameWithBoard(OrderedBoard(16));
  ASSERT_TRUE(game.IsInOrder());

  EXPECT_EQ(game.PlayerMove(0), MoveResult::Refused);
  EXPECT_EQ(game.PlayerMove(1), MoveResult::Refused);
  EXPECT_FALSE(game.m_bSolved);
  EXPECT_EQ(game.m_nMoves, 0);

  // The first move takes the board out of order; moving back solves it.
  EXPECT_EQ(game.PlayerMove(12), MoveResult::Moved);
  EXPECT_FALSE(game.m_bSolved);
  EXPECT_EQ(game.PlayerMove(12), MoveResult::Solved);
  EXPECT_EQ(game.m_nMoves, 2);
}

TEST(PlayerMove, RefusedClicksChangeNothing) {
  CPuzzleGame game = GameWithBoard(BoardWithHoleAt(16, 5));
  int nReports = 0;
  game.m_onTileNumber = [&nReports](int, int) { ++nReports; };
  const GameSnapshot before(game);

  // 0 is the hole's own cell, tiles 1 and 11 lie diagonally off the hole,
  // and the rest name no tile at all.
  for (int nNumber : {0, 1, 11, 16, 17, -1, INT_MIN, INT_MAX}) {
    EXPECT_EQ(game.PlayerMove(nNumber), MoveResult::Refused) << "number " << nNumber;
    EXPECT_EQ(GameSnapshot(game), before) << "number " << nNumber;
  }
  EXPECT_EQ(nReports, 0);
}

TEST(PlayerMove, EveryClickIsRefusedOnceSolved) {
  CPuzzleGame game = SolvedGame();
  ASSERT_TRUE(game.m_bSolved);
  int nReports = 0;
  game.m_onTileNumber = [&nReports](int, int) { ++nReports; };
  const GameSnapshot before(game);

  // 12 and 15 are next to the hole and would slide in a game still playing.
  for (int nNumber : {12, 15, 0, 1, -1, 16, INT_MIN, INT_MAX}) {
    EXPECT_EQ(game.PlayerMove(nNumber), MoveResult::Refused) << "number " << nNumber;
    EXPECT_EQ(GameSnapshot(game), before) << "number " << nNumber;
  }
  EXPECT_EQ(nReports, 0);
}

TEST(PlayerMove, NothingMovesBeforeTheFirstShuffle) {
  CPuzzleGame game;
  const GameSnapshot before(game);
  for (int nNumber : {0, 1, 15, INT_MIN, INT_MAX})
    EXPECT_EQ(game.PlayerMove(nNumber), MoveResult::Refused) << "number " << nNumber;
  EXPECT_EQ(GameSnapshot(game), before);
}

TEST(PlayerMove, ResetCountersStartsPlayAgain) {
  CPuzzleGame game = SolvedGame();
  game.CountSecond();

  game.ResetCounters();

  EXPECT_FALSE(game.m_bSolved);
  EXPECT_EQ(game.m_nMoves, 0);
  EXPECT_EQ(game.m_nSeconds, 0);
  EXPECT_EQ(game.PlayerMove(15), MoveResult::Moved);
}

TEST(PlayerMove, ClockCountsEachTickAndMovesLeaveItAlone) {
  CPuzzleGame game = GameWithBoard(BoardWithHoleAt(16, 5));
  game.CountSecond();
  game.CountSecond();
  game.PlayerMove(7);
  game.CountSecond();
  EXPECT_EQ(game.m_nSeconds, 3);
  EXPECT_EQ(game.m_nMoves, 1);
}

TEST(PlayerMove, OrderTestLooksAtEveryCell) {
  for (int nCells : kAllBoardSizes) {
    EXPECT_TRUE(GameWithBoard(OrderedBoard(nCells)).IsInOrder()) << nCells;
    // Swapping any two neighbouring numbers, the hole included, breaks the order.
    for (int nCell = 0; nCell + 1 < nCells; ++nCell) {
      std::vector<int> board = OrderedBoard(nCells);
      std::swap(board[static_cast<size_t>(nCell)], board[static_cast<size_t>(nCell + 1)]);
      EXPECT_FALSE(GameWithBoard(board).IsInOrder()) << nCells << " cells, swap at " << nCell;
    }
  }
}
