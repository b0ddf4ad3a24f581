// Tests of the shuffle's pseudo-random generator against values worked out by hand.
#include "engine/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {
std::vector<int> Draws(uint32_t nSeed, int nCount) {
  CRandom random;
  random.srand(nSeed);
  std::vector<int> draws;
  for (int i = 0; i < nCount; ++i) draws.push_back(random.rand());
  return draws;
}
}  // namespace

TEST(Random, SeedOneGivesTheKnownFirstDraws) {
  EXPECT_EQ(Draws(1, 5), (std::vector<int>{41, 18467, 6334, 26500, 19169}));
}

TEST(Random, SeedingAgainRestartsTheSequence) {
  CRandom random;
  random.srand(1);
  random.rand();
  random.rand();
  random.srand(1);
  EXPECT_EQ(random.rand(), 41);
}

TEST(Random, SeedBecomesTheStateUnchanged) {
  CRandom random;
  random.srand(0xDEADBEEFu);
  EXPECT_EQ(random.m_nState, 0xDEADBEEFu);
}

TEST(Random, StateWrapsModuloTwoToThe32) {
  // 0xFFFFFFFF * 214013 + 2531011 is 2531011 - 214013 = 2316998 modulo 2^32.
  CRandom random;
  random.srand(0xFFFFFFFFu);
  EXPECT_EQ(random.rand(), 2316998 >> 16);
  EXPECT_EQ(random.m_nState, 2316998u);
}

TEST(Random, TopBitOfTheStateIsDropped) {
  // This seed makes the next state exactly 0xFFFF0000: bits 16 to 31 are
  // all set, and only bits 16 to 30 may reach the result.
  CRandom random;
  random.srand(1880880705u);
  EXPECT_EQ(random.rand(), 0x7FFF);
  EXPECT_EQ(random.m_nState, 0xFFFF0000u);
}

TEST(Random, DrawsStayWithinRangeAndReachBothEnds) {
  CRandom random;
  random.srand(12345);
  int nLowest = CRandom::kMax;
  int nHighest = 0;
  for (int i = 0; i < 1 << 20; ++i) {
    const int nDraw = random.rand();
    ASSERT_GE(nDraw, 0);
    ASSERT_LE(nDraw, CRandom::kMax);
    nLowest = std::min(nLowest, nDraw);
    nHighest = std::max(nHighest, nDraw);
  }
  EXPECT_EQ(nLowest, 0);
  EXPECT_EQ(nHighest, CRandom::kMax);
}
