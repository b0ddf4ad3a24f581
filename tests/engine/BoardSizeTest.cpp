// Tests of the board sizes: the side search, changing size and the values a game starts with.
#include "engine/PuzzleGame.h"
#include "tests/engine/EngineTestBoards.h"

#include <gtest/gtest.h>

#include <climits>

TEST(BoardSize, StartValuesAreAnEmptyFourByFourBoard) {
  const CPuzzleGame game;
  EXPECT_EQ(game.m_nSide, 4);
  EXPECT_EQ(game.m_nCells, 16);
  EXPECT_TRUE(game.m_board.empty());
  EXPECT_EQ(game.m_nHole, 0);
  EXPECT_EQ(game.m_nMoves, 0);
  EXPECT_EQ(game.m_nSeconds, 0);
  EXPECT_FALSE(game.m_bSolved);
}

TEST(BoardSize, SideOfEachOfferedSizeIsItsSquareRoot) {
  EXPECT_EQ(CPuzzleGame::SideForCells(16), 4);
  EXPECT_EQ(CPuzzleGame::SideForCells(25), 5);
  EXPECT_EQ(CPuzzleGame::SideForCells(36), 6);
  EXPECT_EQ(CPuzzleGame::SideForCells(49), 7);
  EXPECT_EQ(CPuzzleGame::SideForCells(64), 8);
  EXPECT_EQ(CPuzzleGame::SideForCells(100), 10);
}

TEST(BoardSize, SideSearchRefusesCountsWithNoSquareBoard) {
  // 5 and 17 are counts on which a search that only compares the side with
  // the quotient would stop (at 2 and 4); 0, 1, negatives and the extremes
  // would make it run forever.
  for (int nCells : {0, 1, 2, 3, 5, 8, 15, 17, 99, 101, -1, -4, -16, INT_MIN, INT_MIN + 1, INT_MAX}) {
    EXPECT_EQ(CPuzzleGame::SideForCells(nCells), CPuzzleGame::kNoSide) << nCells;
  }
}

TEST(BoardSize, SideSearchFindsEverySquareAndNothingElse) {
  for (int nCells = -100; nCells <= 20000; ++nCells) {
    const int nSide = CPuzzleGame::SideForCells(nCells);
    if (nSide != CPuzzleGame::kNoSide) {
      ASSERT_EQ(nSide * nSide, nCells) << nCells;
    }
  }
  for (int nSide = 2; nSide <= 141; ++nSide) ASSERT_EQ(CPuzzleGame::SideForCells(nSide * nSide), nSide);
  // The largest square an int holds, whose side squared plus one overflows.
  EXPECT_EQ(CPuzzleGame::SideForCells(46340 * 46340), 46340);
}

TEST(BoardSize, EachOfferedSizeSetsSideAndCellsAndEmptiesTheBoard) {
  for (int nCells : kAllBoardSizes) {
    CPuzzleGame game;
    game.Shuffle(1);
    ASSERT_TRUE(game.SetBoardSize(nCells));
    EXPECT_EQ(game.m_nCells, nCells);
    EXPECT_EQ(game.m_nSide * game.m_nSide, nCells);
    EXPECT_TRUE(game.m_board.empty());

    game.Shuffle(1);
    EXPECT_EQ(game.m_board.size(), static_cast<size_t>(nCells));
  }
}

TEST(BoardSize, ChoosingTheCurrentSizeStillEmptiesTheBoard) {
  CPuzzleGame game;
  game.Shuffle(1);
  ASSERT_TRUE(game.SetBoardSize(16));
  EXPECT_TRUE(game.m_board.empty());
}

TEST(BoardSize, OtherSizesAreRefusedAndChangeNothing) {
  CPuzzleGame game;
  game.SetBoardSize(25);
  game.Shuffle(9);
  const GameSnapshot before(game);

  // 4, 9 and 81 are squares, but the game offers no such board.
  for (int nCells : {0, 1, 4, 9, 17, 81, 121, -16, -25, INT_MIN, INT_MAX}) {
    EXPECT_FALSE(game.SetBoardSize(nCells)) << nCells;
    EXPECT_EQ(GameSnapshot(game), before) << nCells;
  }
}
