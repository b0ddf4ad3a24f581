// Renders scenes of the program on the headless screen to PNG files, for people to look at.
//
//   program_snapshot DIRECTORY [SCALE]
//
// Writes start.png, solved.png, medium.png, theme.png and large10.png into DIRECTORY; pixels outside the
// window's shape are transparent. SCALE (default 1) enlarges every pixel to a SCALE x SCALE block.
#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ProgramHarness.h"

namespace {

using program_test::ProgramRun;

bool InShape(const platform::CHeadlessBackend::Surface& s, int x, int y) {
  if (s.shape.empty()) return true;
  for (const RECT& r : s.shape) {
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  }
  return false;
}

bool WritePng(const platform::CHeadlessBackend::Surface& s, const std::string& path, int scale) {
  const int width = s.rect.right - s.rect.left;
  const int height = s.rect.bottom - s.rect.top;
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * scale, height * scale);
  unsigned char* data = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  for (int y = 0; y < height * scale; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < width * scale; ++x) {
      const int sx = x / scale;
      const int sy = y / scale;
      const std::uint32_t rgb = s.pixels[static_cast<std::size_t>(sy) * static_cast<std::size_t>(width) +
                                         static_cast<std::size_t>(sx)];
      row[x] = InShape(s, sx, sy) ? (0xFF000000u | rgb) : 0u;
    }
  }
  cairo_surface_mark_dirty(image);
  const bool ok = cairo_surface_write_to_png(image, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(image);
  std::printf("%s %s (%d x %d)\n", ok ? "wrote" : "could not write", path.c_str(), width, height);
  return ok;
}

// Runs the program, lets `prepare` act on it at rest, and writes the window as it then shows.
template <typename Prepare>
bool Scene(const std::string& path, int scale, Prepare prepare) {
  ProgramRun run(1920, 1080);
  bool ok = false;
  run.backend.Wait(program_test::kRestTimeMs);
  prepare(run);
  // Written from a step of its own, so that it comes after any steps that `prepare` adds while running.
  run.backend.Call([&] {
    run.backend.Wait(2000).Call([&] { ok = WritePng(*program_test::MainSurface(run.backend), path, scale); });
  });
  run.Run();
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY [SCALE]\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  const int scale = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
  bool ok = true;
  ok &= Scene(dir + "/start.png", scale, [](ProgramRun&) {});
  ok &= Scene(dir + "/solved.png", scale, [](ProgramRun& run) {
    run.Check([&](program_test::CRecordingPuzzleDlg& dlg) {
      program_test::SetUpOneMoveFromOrder(dlg);
      RECT rc;
      dlg.m_tiles.back()->GetWindowRect(&rc);
      run.backend.Wait(3000).Click(POINT{rc.left + 5, rc.top + 5});
    });
  });
  ok &= Scene(dir + "/medium.png", scale, [](ProgramRun& run) { run.Command(ID_SCREEN_MEDIUM); });
  ok &= Scene(dir + "/theme.png", scale,
              [](ProgramRun& run) { run.Command(ID_COLOR_BLUE).Command(ID_PATTERN_3).Command(ID_BOARD_25); });
  ok &= Scene(dir + "/large10.png", scale, [](ProgramRun& run) {
    run.Command(ID_BOARD_100).Command(ID_SCREEN_LARGE).Command(ID_COLOR_GREEN).Command(ID_PATTERN_19);
  });
  return ok ? 0 : 1;
}
