// Counts how often the program and the X server wake up while the program sits in each of its states:
// during the drop-in, with the game clock running, and with the board solved.
//
// Usage: bench_idle XSERVER_PID [SECONDS] — runs the whole program on $DISPLAY (an otherwise idle server
// whose process is XSERVER_PID) for SECONDS per state (10 by default). A wake-up is a voluntary context
// switch: the program's from getrusage, the server's summed over its threads from /proc. The program's
// count leaves out the wake-up the benchmark itself causes to read the counters at the end of a state.
#include <sys/resource.h>

#include <dirent.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/PuzzleApp.h"
#include "platform/linux/AfxWinMain.h"
#include "platform/linux/WindowSystem.h"
#include "platform/linux/x11/X11Backend.h"
#include "res/ResourceIds.h"
#include "res/TilvaneResources.h"
#include "tests/program/BoardSetup.h"
#include "ui/PuzzleDlg.h"

namespace {

long ProgramWakeUps() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_nvcsw;
}

long ServerWakeUps(int pid) {
  long total = 0;
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  DIR* dir = opendir(tasks.c_str());
  if (!dir) return -1;
  while (dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    std::ifstream status(tasks + "/" + entry->d_name + "/status");
    std::string line;
    while (std::getline(status, line)) {
      if (line.rfind("voluntary_ctxt_switches:", 0) == 0) total += std::atol(line.c_str() + 24);
    }
  }
  closedir(dir);
  return total;
}

// The X11 backend with a timetable: each entry runs, from the program's own wait, once its time has come.
class CTimetableBackend : public platform::IBackend {
 public:
  explicit CTimetableBackend(platform::IBackend& inner) : m_inner(inner), m_start(inner.NowMs()) {}

  void At(std::uint64_t ms, std::function<void()> step) {
    m_steps.push_back({m_start + ms, std::move(step)});
  }

  RECT ScreenRect() override { return m_inner.ScreenRect(); }
  std::vector<RECT> MonitorRects() override { return m_inner.MonitorRects(); }
  std::vector<platform::SurfaceMove> TakeSurfaceMoves() override { return m_inner.TakeSurfaceMoves(); }
  platform::SurfaceId CreateSurface(const platform::SurfaceDesc& desc) override {
    return m_inner.CreateSurface(desc);
  }
  void DestroySurface(platform::SurfaceId id) override { m_inner.DestroySurface(id); }
  void ShowSurface(platform::SurfaceId id, bool show) override { m_inner.ShowSurface(id, show); }
  void MoveSurface(platform::SurfaceId id, const RECT& rect) override { m_inner.MoveSurface(id, rect); }
  void SetSurfaceShape(platform::SurfaceId id, const std::vector<RECT>& rects) override {
    m_inner.SetSurfaceShape(id, rects);
  }
  void SetSurfaceTitle(platform::SurfaceId id, const std::string& utf8) override {
    m_inner.SetSurfaceTitle(id, utf8);
  }
  void SetSurfaceIcons(platform::SurfaceId id, const std::vector<platform::PixelImage>& icons) override {
    m_inner.SetSurfaceIcons(id, icons);
  }
  void Present(platform::SurfaceId id, const platform::PixelView& pixels, const RECT& damage) override {
    m_inner.Present(id, pixels, damage);
  }
  void SetCursor(platform::SurfaceId id, const platform::PixelImage* cursor) override {
    m_inner.SetCursor(id, cursor);
  }
  void Activate(platform::SurfaceId id) override { m_inner.Activate(id); }
  void GrabInput(platform::SurfaceId id, bool grab) override { m_inner.GrabInput(id, grab); }
  platform::TrayId AddTrayIcon(const std::vector<platform::PixelImage>& icons) override {
    return m_inner.AddTrayIcon(icons);
  }
  void RemoveTrayIcon(platform::TrayId id) override { m_inner.RemoveTrayIcon(id); }
  POINT CursorPos() override { return m_inner.CursorPos(); }
  std::uint64_t NowMs() override { return m_inner.NowMs(); }
  void Sleep(std::uint32_t ms) override { m_inner.Sleep(ms); }
  void Flush() override { m_inner.Flush(); }

  std::optional<platform::InputEvent> WaitEvent(std::optional<std::uint64_t> deadlineMs) override {
    if (m_next >= m_steps.size()) return m_inner.WaitEvent(deadlineMs);
    const std::uint64_t due = m_steps[m_next].at;
    if (deadlineMs && *deadlineMs <= due) return m_inner.WaitEvent(deadlineMs);
    if (auto event = m_inner.WaitEvent(due)) return event;
    m_steps[m_next++].run();
    platform::InputEvent woken;
    woken.type = platform::EventType::Woken;
    return woken;
  }

 private:
  struct Step {
    std::uint64_t at;
    std::function<void()> run;
  };
  platform::IBackend& m_inner;
  std::uint64_t m_start;
  std::vector<Step> m_steps;
  std::size_t m_next = 0;
};

// Counts from one step of the timetable to another.
class CCounter {
 public:
  CCounter(const char* state, int serverPid) : m_state(state), m_serverPid(serverPid) {}
  void Start(std::uint64_t nowMs) {
    m_startMs = nowMs;
    m_program = ProgramWakeUps();
    m_server = ServerWakeUps(m_serverPid);
  }
  void Stop(std::uint64_t nowMs, const char* note) const {
    const long program = ProgramWakeUps() - m_program - 1;
    const long server = ServerWakeUps(m_serverPid) - m_server;
    const double seconds = static_cast<double>(nowMs - m_startMs) / 1000.0;
    std::printf("%-14s %5.1f s: program woken %4ld times (%5.1f/s), X server woken %4ld times (%5.1f/s)%s\n",
                m_state, seconds, program, program / seconds, server, server / seconds, note);
  }

 private:
  const char* m_state;
  int m_serverPid;
  std::uint64_t m_startMs = 0;
  long m_program = 0;
  long m_server = 0;
};

// Puts the board in order but for its last move and makes that move, as a player would.
void Solve(CPuzzleDlg& dlg) {
  program_test::SetUpOneMoveFromOrder(dlg);
  dlg.OnTileClicked(dlg.m_game.m_nCells - 1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_idle XSERVER_PID [SECONDS]\n");
    return 2;
  }
  const int serverPid = std::atoi(argv[1]);
  const std::uint64_t spanMs = 1000 * static_cast<std::uint64_t>(argc > 2 ? std::atoi(argv[2]) : 10);
  if (ServerWakeUps(serverPid) < 0) {
    std::fprintf(stderr, "bench_idle: no process %d to watch\n", serverPid);
    return 2;
  }
  std::string error;
  std::unique_ptr<platform::CX11Backend> x11 = platform::CX11Backend::Open(nullptr, &error);
  if (!x11) {
    std::fprintf(stderr, "bench_idle: %s\n", error.c_str());
    return 1;
  }
  CTimetableBackend backend(*x11);
  CPuzzleApp app;
  auto dlg = [&]() -> CPuzzleDlg& { return *app.GetPuzzleDlg(); };
  auto now = [&] { return backend.NowMs(); };

  // The drop-in takes about a second; its counter starts with the program's first wait.
  constexpr std::uint64_t kDropInEndMs = 1500;
  constexpr std::uint64_t kSettleMs = 500;
  CCounter dropIn("drop-in", serverPid);
  CCounter clock("clock running", serverPid);
  CCounter solved("solved", serverPid);
  const std::uint64_t clockStart = kDropInEndMs + kSettleMs;
  const std::uint64_t solvedStart = clockStart + spanMs + kSettleMs;
  backend.At(0, [&] { dropIn.Start(now()); });
  backend.At(kDropInEndMs, [&] { dropIn.Stop(now(), dlg().m_bDropIn ? " (still dropping)" : ""); });
  backend.At(clockStart, [&] { clock.Start(now()); });
  backend.At(clockStart + spanMs, [&] {
    clock.Stop(now(), "");
    Solve(dlg());
  });
  backend.At(solvedStart, [&] { solved.Start(now()); });
  backend.At(solvedStart + spanMs, [&] {
    solved.Stop(now(), dlg().m_game.m_bSolved ? "" : " (not solved)");
    dlg().PostMessage(WM_COMMAND, IDCANCEL);
  });
  return AfxWinMain(app, backend, TilvaneResources());
}
