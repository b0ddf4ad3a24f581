// Measures start-up from outside, for a program and the bare client that is its floor, in one run.
//
// Usage: startup_probe RUNS X Y FLOOR PROGRAM [PROGRAM...] — spawns the programs in turn on $DISPLAY, RUNS
// times each, and for each run polls the screen pixel (X, Y) until it is no longer the empty root's colour:
// exec to first frame. In the first few runs of each the proportional set size (Pss) is read 2 s after the
// exec. The program is then ended and its peak RSS read from the kernel's accounting. Medians are printed,
// and the program's figures over the floor's.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double kPssAfterMs = 2000;
constexpr int kPssRuns = 3;

double NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// The pixels of screen column x from the top down to row y: a program that moves its window right after
// its first frame is still seen wherever that frame landed.
std::vector<unsigned long> ColumnAt(Display* dpy, int x, int y) {
  std::vector<unsigned long> column;
  XImage* image =
      XGetImage(dpy, DefaultRootWindow(dpy), x, 0, 1, static_cast<unsigned>(y + 1), AllPlanes, ZPixmap);
  if (!image) return column;
  for (int row = 0; row <= y; ++row) column.push_back(XGetPixel(image, 0, row));
  XDestroyImage(image);
  return column;
}

// The process's proportional set size in MiB, from the kernel's summary of its mappings; -1 if unreadable.
double PssMiB(pid_t pid) {
  std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
  std::string line;
  while (std::getline(rollup, line)) {
    if (line.rfind("Pss:", 0) != 0) continue;
    std::istringstream fields(line.substr(4));
    double kib = -1;
    fields >> kib;
    return kib / 1024.0;
  }
  return -1;
}

struct Figures {
  std::vector<double> firstFrameMs;
  std::vector<double> peakRssMiB;
  std::vector<double> pssMiB;
};

// Waits, a few seconds at most, until the window of the run before has gone from the point.
void WaitForEmpty(Display* dpy, int x, int y, const std::vector<unsigned long>& empty) {
  const double start = NowMs();
  while (ColumnAt(dpy, x, y) != empty && NowMs() - start < 3000) usleep(1000);
}

bool OneRun(Display* dpy, int x, int y, const std::vector<unsigned long>& empty, const char* program,
            bool withPss, Figures& out) {
  WaitForEmpty(dpy, x, y, empty);
  double start = NowMs();
  pid_t pid = fork();
  if (pid == 0) {
    execl(program, program, static_cast<char*>(nullptr));
    _exit(127);
  }
  if (pid < 0) return false;
  double seen = -1;
  while (NowMs() - start < 10000) {
    if (ColumnAt(dpy, x, y) != empty) {
      seen = NowMs();
      break;
    }
  }
  if (seen >= 0 && withPss) {
    const double left = kPssAfterMs - (NowMs() - start);
    if (left > 0) usleep(static_cast<useconds_t>(left * 1000));
    out.pssMiB.push_back(PssMiB(pid));
  }
  kill(pid, SIGTERM);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  if (seen < 0) return false;
  out.firstFrameMs.push_back(seen - start);
  out.peakRssMiB.push_back(static_cast<double>(usage.ru_maxrss) / 1024.0);
  return true;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Print(const char* program, const Figures& f) {
  std::printf(
      "%-28s exec -> first frame: median %6.1f ms (min %.1f, max %.1f); peak RSS: median %.2f MiB; "
      "Pss after 2 s: median %.2f MiB\n",
      program, Median(f.firstFrameMs), *std::min_element(f.firstFrameMs.begin(), f.firstFrameMs.end()),
      *std::max_element(f.firstFrameMs.begin(), f.firstFrameMs.end()), Median(f.peakRssMiB),
      Median(f.pssMiB));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) {
    std::fprintf(stderr, "usage: startup_probe RUNS X Y FLOOR PROGRAM [PROGRAM...]\n");
    return 2;
  }
  const int runs = std::max(1, std::atoi(argv[1]));
  const int x = std::atoi(argv[2]);
  const int y = std::atoi(argv[3]);
  const std::vector<const char*> programs(argv + 4, argv + argc);
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) {
    std::fprintf(stderr, "startup_probe: cannot open the display\n");
    return 1;
  }
  std::vector<Figures> figures(programs.size());
  const std::vector<unsigned long> empty = ColumnAt(dpy, x, y);
  // Warms the page cache and the font cache, then takes turns, so that the load of a shared machine falls
  // on all alike.
  for (const char* program : programs) {
    Figures warm;
    OneRun(dpy, x, y, empty, program, false, warm);
  }
  for (int i = 0; i < runs; ++i) {
    for (std::size_t p = 0; p < programs.size(); ++p) {
      if (!OneRun(dpy, x, y, empty, programs[p], i < kPssRuns, figures[p])) {
        std::fprintf(stderr, "startup_probe: %s showed nothing at (%d, %d)\n", programs[p], x, y);
        return 1;
      }
    }
  }
  for (std::size_t p = 0; p < programs.size(); ++p) Print(programs[p], figures[p]);
  const double floorFrame = Median(figures[0].firstFrameMs);
  const double floorRss = Median(figures[0].peakRssMiB);
  const double floorPss = Median(figures[0].pssMiB);
  for (std::size_t p = 1; p < programs.size(); ++p) {
    std::printf("%s / %s: first frame %.2fx, peak RSS %.2fx, Pss %.2fx\n", programs[p], programs[0],
                floorFrame > 0 ? Median(figures[p].firstFrameMs) / floorFrame : 0,
                floorRss > 0 ? Median(figures[p].peakRssMiB) / floorRss : 0,
                floorPss > 0 ? Median(figures[p].pssMiB) / floorPss : 0);
  }
  XCloseDisplay(dpy);
  return 0;
}
