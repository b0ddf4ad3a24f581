// Measures the main window's painting on the headless screen: a full repaint of the largest window, the
// ratio of its cost at the finest and the coarsest pattern step, the same repaint on a screen of twice the
// density, and the repaint that one move causes.
#include <benchmark/benchmark.h>

#include <ctime>
#include <functional>

#include "app/PuzzleApp.h"
#include "platform/linux/AfxWinMain.h"
#include "platform/linux/WindowSystem.h"
#include "platform/linux/headless/HeadlessBackend.h"
#include "res/ResourceIds.h"
#include "res/TilvaneResources.h"
#include "ui/PuzzleDlg.h"

namespace {

// Takes messages until no window waits for a paint, then presents the damage, as the program's loop does
// before it waits for input.
void PaintPending() {
  platform::CWindowSystem* system = platform::CWindowSystem::Current();
  MSG msg;
  while (system->HasPendingPaint() && system->GetMessage(msg)) system->Dispatch(msg);
  system->FlushDamage();
}

// Runs the program with a 10 x 10 board at the large size (840 x 910) and hands its window to `body`,
// from the last step of the script, when everything has been painted once. At a session scale above 1 the
// screen has that many more device pixels each way, so the program sees the same 1920 x 1080.
void WithLargestWindow(const std::function<void(CPuzzleDlg&)>& body, int scale = 1) {
  platform::CHeadlessBackend backend(1920 * scale, 1080 * scale);
  backend.SetSessionScale(scale);
  CPuzzleApp app;
  backend.Wait(1000).Call([&] {
    app.GetPuzzleDlg()->PostMessage(WM_COMMAND, ID_BOARD_100);
    app.GetPuzzleDlg()->PostMessage(WM_COMMAND, ID_SCREEN_LARGE);
  });
  backend.Wait(100).Call([&] { body(*app.GetPuzzleDlg()); });
  AfxWinMain(app, backend, TilvaneResources());
}

// With the pattern step as the argument: the smallest step fills the most squares.
void BM_FullRepaintLarge10x10(benchmark::State& state) {
  WithLargestWindow([&](CPuzzleDlg& dlg) {
    dlg.m_nPatternStep = static_cast<int>(state.range(0));
    for (auto _ : state) {
      dlg.InvalidateRect(nullptr, TRUE);
      PaintPending();
    }
    state.counters["tiles"] = static_cast<double>(dlg.m_tiles.size());
  });
}

// With the session scale as the argument: the window system enlarges every presented pixel, four times
// the pixels at scale 2.
void BM_FullRepaintLarge10x10Scaled(benchmark::State& state) {
  WithLargestWindow(
      [&](CPuzzleDlg& dlg) {
        for (auto _ : state) {
          dlg.InvalidateRect(nullptr, TRUE);
          PaintPending();
        }
      },
      static_cast<int>(state.range(0)));
}

// The thread's processor time in milliseconds: on a shared machine it does not count the time others take.
double ThreadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The two ends of the pattern steps in turns, so that both see the same machine: the pattern's cost should
// follow the window's area, not the number of its squares. The counters are processor milliseconds per
// repaint.
void BM_PatternStepRatio(benchmark::State& state) {
  WithLargestWindow([&](CPuzzleDlg& dlg) {
    double spent[2]{};
    const int steps[2] = {3, 19};
    for (auto _ : state) {
      for (int i = 0; i < 2; ++i) {
        dlg.m_nPatternStep = steps[i];
        const double start = ThreadCpuMs();
        dlg.InvalidateRect(nullptr, TRUE);
        PaintPending();
        spent[i] += ThreadCpuMs() - start;
      }
    }
    const double iterations = static_cast<double>(state.iterations());
    const double step3 = spent[0] / iterations;
    const double step19 = spent[1] / iterations;
    state.counters["step3_ms"] = step3;
    state.counters["step19_ms"] = step19;
    state.counters["step3/step19"] = step19 > 0 ? step3 / step19 : 0;
  });
}

// One move changes the numbers of two tile windows, and only those two repaint. Clicking the same tile
// again moves it back, so every iteration is one move.
void BM_MoveRepaintLarge10x10(benchmark::State& state) {
  WithLargestWindow([&](CPuzzleDlg& dlg) {
    const CPuzzleGame& game = dlg.m_game;
    const int nHole = game.m_nHole;
    const int nCell = nHole % game.m_nSide != 0 ? nHole - 1 : nHole + 1;
    const int nNumber = game.m_board[static_cast<std::size_t>(nCell)];
    const int nMovesBefore = game.m_nMoves;
    for (auto _ : state) {
      dlg.OnTileClicked(nNumber);
      PaintPending();
    }
    state.counters["moves"] = static_cast<double>(game.m_nMoves - nMovesBefore);
  });
}

}  // namespace

BENCHMARK(BM_FullRepaintLarge10x10)->ArgName("step")->Arg(7)->Arg(3)->Arg(19)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRepaintLarge10x10Scaled)->ArgName("scale")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PatternStepRatio)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveRepaintLarge10x10)->Unit(benchmark::kMicrosecond);
