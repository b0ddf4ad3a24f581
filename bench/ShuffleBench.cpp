// Measures how long the shuffle takes to scramble each of the six boards.
#include "engine/PuzzleGame.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {
void BM_Shuffle(benchmark::State& state) {
  const int nCells = static_cast<int>(state.range(0));
  CPuzzleGame game;
  game.SetBoardSize(nCells);
  uint32_t nTickCount = 1;
  int64_t nDraws = 0;
  for (auto _ : state) {
    // A new seed each time, as every new game has, so that no one lucky walk is measured.
    nDraws += game.Shuffle(nTickCount++);
    benchmark::DoNotOptimize(game.m_board.data());
    benchmark::ClobberMemory();
  }
  state.counters["draws"] =
      benchmark::Counter(static_cast<double>(nDraws), benchmark::Counter::kAvgIterations);
  state.counters["slides"] = nCells * nCells / 2;
}
}  // namespace

BENCHMARK(BM_Shuffle)->ArgName("cells")->Arg(16)->Arg(25)->Arg(36)->Arg(49)->Arg(64)->Arg(100);
