// Measures a program's start-up from outside: exec to the first frame on the X server, and its peak RSS.
//
// Usage: startup_probe RUNS X Y PROGRAM [ARGS...] — spawns the program RUNS times on $DISPLAY and, for each
// run, polls the screen pixel (X, Y) until it is no longer the empty root's colour. The program is then
// ended and its peak resident set read from the kernel's accounting. Medians are printed.
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
#include <vector>

namespace {

double NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

unsigned long PixelAt(Display* dpy, int x, int y) {
  XImage* image = XGetImage(dpy, DefaultRootWindow(dpy), x, y, 1, 1, AllPlanes, ZPixmap);
  if (!image) return 0;
  unsigned long pixel = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  return pixel;
}

struct Run {
  double firstFrameMs;
  double peakRssMiB;
};

bool OneRun(Display* dpy, int x, int y, char** argv, Run& out) {
  unsigned long empty = PixelAt(dpy, x, y);
  double start = NowMs();
  pid_t pid = fork();
  if (pid == 0) {
    execv(argv[0], argv);
    _exit(127);
  }
  if (pid < 0) return false;
  double seen = -1;
  while (NowMs() - start < 10000) {
    if (PixelAt(dpy, x, y) != empty) {
      seen = NowMs();
      break;
    }
  }
  kill(pid, SIGTERM);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  if (seen < 0) return false;
  out.firstFrameMs = seen - start;
  out.peakRssMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
  // The screen is empty again before the next run.
  usleep(200000);
  return true;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: startup_probe RUNS X Y PROGRAM [ARGS...]\n");
    return 2;
  }
  int runs = std::atoi(argv[1]);
  int x = std::atoi(argv[2]);
  int y = std::atoi(argv[3]);
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) {
    std::fprintf(stderr, "startup_probe: cannot open the display\n");
    return 1;
  }
  Run warm{};
  OneRun(dpy, x, y, argv + 4, warm);  // warms the page cache and the font cache
  std::vector<double> times, rss;
  for (int i = 0; i < runs; ++i) {
    Run run{};
    if (!OneRun(dpy, x, y, argv + 4, run)) {
      std::fprintf(stderr, "startup_probe: %s showed nothing at (%d, %d)\n", argv[4], x, y);
      return 1;
    }
    times.push_back(run.firstFrameMs);
    rss.push_back(run.peakRssMiB);
  }
  std::printf("%-28s exec -> first frame: median %6.1f ms (min %.1f, max %.1f); peak RSS: median %.2f MiB\n",
              argv[4], Median(times), *std::min_element(times.begin(), times.end()),
              *std::max_element(times.begin(), times.end()), Median(rss));
  XCloseDisplay(dpy);
  return 0;
}
