// Tests of the shuffle: the known board for seed 1 and the invariants of every shuffled board.
#include "engine/PuzzleGame.h"
#include "engine/Random.h"
#include "tests/engine/EngineTestBoards.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <utility>
#include <vector>

namespace {
CPuzzleGame ShuffledGame(int nCells, uint32_t nSeed) {
  CPuzzleGame game;
  game.SetBoardSize(nCells);
  game.Shuffle(nSeed);
  return game;
}

// What an independent replay of a walk found: the board and how many of the
// draws moved a tile.
struct Replay {
  std::vector<int> board;
  int nSlides = 0;
};

// Replays the first nDraws draws of a walk with the generator and the slide
// rule alone, mapping each draw to a direction as the game does: draw / 8191
// is 0 left, 1 right, 2 up, 3 down for the hole, and 4 moves nothing.
Replay ReplayWalk(int nCells, uint32_t nSeed, int nDraws) {
  CPuzzleGame game = GameWithBoard(OrderedBoard(nCells));
  const int nSide = game.m_nSide;
  const int holeSteps[] = {-1, +1, -nSide, +nSide};
  CRandom random;
  random.srand(nSeed);
  Replay replay;
  for (int i = 0; i < nDraws; ++i) {
    const int nDirection = random.rand() / 8191;
    if (nDirection < 4 && game.TrySlide(game.m_nHole + holeSteps[nDirection], false)) ++replay.nSlides;
  }
  replay.board = game.m_board;
  return replay;
}

bool IsPermutationOfCellIndices(std::vector<int> board) {
  std::vector<int> indices(board.size());
  std::iota(indices.begin(), indices.end(), 0);
  std::sort(board.begin(), board.end());
  return board == indices;
}

const std::map<int, int> kStepsBySize = {{16, 128},  {25, 312},  {36, 648},
                                         {49, 1200}, {64, 2048}, {100, 5000}};
}  // namespace

TEST(Shuffle, SeedOneOnFourByFourGivesTheKnownBoard) {
  CPuzzleGame game;
  const int nDraws = game.Shuffle(1);

  EXPECT_EQ(nDraws, 156);
  EXPECT_EQ(game.m_board, (std::vector<int>{1, 6, 4, 8, 9, 3, 7, 2, 10, 14, 5, 15, 13, 12, 11, 0}));
  EXPECT_EQ(game.m_nHole, 15);
}

TEST(Shuffle, SeedOneWalksTheHoleAsWorkedOut) {
  // The first five draws 41, 18467, 6334, 26500, 19169 move the hole left,
  // up, left, down and up: from cell 15 to 14, 10, 9, 13 and back to 9.
  const std::vector<int> expectedHoles = {14, 10, 9, 13, 9};
  for (int nDraws = 1; nDraws <= 5; ++nDraws) {
    const Replay replay = ReplayWalk(16, 1, nDraws);
    const auto hole = std::find(replay.board.begin(), replay.board.end(), 0);
    EXPECT_EQ(hole - replay.board.begin(), expectedHoles[static_cast<size_t>(nDraws - 1)]) << nDraws;
  }
}

TEST(Shuffle, StartsFromOrderWhateverTheBoardWas) {
  CPuzzleGame game = ShuffledGame(16, 77);
  std::reverse(game.m_board.begin(), game.m_board.end());
  game.m_nHole = 15 - game.m_nHole;
  game.Shuffle(1);
  EXPECT_EQ(game.m_board, ShuffledGame(16, 1).m_board);
  EXPECT_EQ(game.m_nHole, 15);
}

TEST(Shuffle, SameSeedGivesSameBoardAndDifferentSeedsDiffer) {
  for (int nCells : kAllBoardSizes) {
    const CPuzzleGame first = ShuffledGame(nCells, 4649);
    const CPuzzleGame second = ShuffledGame(nCells, 4649);
    const CPuzzleGame other = ShuffledGame(nCells, 4650);
    EXPECT_EQ(first.m_board, second.m_board) << nCells;
    EXPECT_EQ(first.m_nHole, second.m_nHole) << nCells;
    EXPECT_NE(first.m_board, other.m_board) << nCells;
  }
}

TEST(Shuffle, LeavesCountersAndListenerAlone) {
  CPuzzleGame game;
  game.m_nMoves = 7;
  game.m_nSeconds = 9;
  game.m_bSolved = true;
  int nReports = 0;
  game.m_onTileNumber = [&nReports](int, int) { ++nReports; };

  game.Shuffle(3);

  EXPECT_EQ(game.m_nMoves, 7);
  EXPECT_EQ(game.m_nSeconds, 9);
  EXPECT_TRUE(game.m_bSolved);
  EXPECT_EQ(nReports, 0);
}

TEST(Shuffle, RefusesSizesThatAreNotABoard) {
  // The size members are public; a shuffle must not walk a board that does
  // not fit its side, nor allocate for a negative count.
  const std::pair<int, int> badSizes[] = {{4, 17}, {5, 16}, {0, 0}, {3, 9}, {-4, 16}, {4, -16}};
  for (const auto& [nSide, nCells] : badSizes) {
    CPuzzleGame game;
    game.m_nSide = nSide;
    game.m_nCells = nCells;
    EXPECT_EQ(game.Shuffle(1), 0) << nSide << " x " << nCells;
    EXPECT_TRUE(game.m_board.empty());
    EXPECT_FALSE(game.TrySlide(0, true));
    EXPECT_EQ(game.PlayerMove(1), CPuzzleGame::MoveResult::Refused);
  }
}

// Many seeds on every size: each board is a permutation with the hole where
// m_nHole says, the hole ends on a cell of the bottom-right cell's checkerboard
// colour, and replaying the reported draws shows the walk stopped on exactly
// the required number of slides.
TEST(Shuffle, EveryBoardKeepsTheInvariantsAndTheStepCount) {
  for (int nCells : kAllBoardSizes) {
    const int nSteps = kStepsBySize.at(nCells);
    for (uint32_t nSeed = 0; nSeed < 200; ++nSeed) {
      const uint32_t nTickCount = nSeed * 2654435761u;
      CPuzzleGame game;
      game.SetBoardSize(nCells);
      const int nDraws = game.Shuffle(nTickCount);

      ASSERT_EQ(game.m_board.size(), static_cast<size_t>(nCells));
      ASSERT_TRUE(IsPermutationOfCellIndices(game.m_board)) << nCells << " seed " << nTickCount;
      ASSERT_EQ(game.m_board[static_cast<size_t>(game.m_nHole)], 0);
      ASSERT_EQ((game.m_nHole / game.m_nSide + game.m_nHole % game.m_nSide) % 2, 0);

      const Replay replay = ReplayWalk(nCells, nTickCount, nDraws);
      ASSERT_EQ(replay.nSlides, nSteps) << nCells << " seed " << nTickCount;
      ASSERT_EQ(replay.board, game.m_board);
      ASSERT_EQ(ReplayWalk(nCells, nTickCount, nDraws - 1).nSlides, nSteps - 1)
          << "the last draw must be the one that completes the walk";
    }
  }
}
