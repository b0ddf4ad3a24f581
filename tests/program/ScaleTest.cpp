// The program on a display of scale 2: it keeps its own pixels while the screen shows twice as many.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "ProgramHarness.h"

namespace program_test {
namespace {

constexpr int kScale = 2;

std::array<LONG, 4> Edges(const RECT& rc) {
  return {rc.left, rc.top, rc.right, rc.bottom};
}

struct Frame {
  RECT rect{};
  std::vector<std::uint32_t> pixels;
  std::vector<RECT> tiles;  // the tile windows in the main window's coordinates
};

// The main window's presented pixels once it has come to rest, on a screen of the given scale.
Frame RestingFrame(int scale) {
  ProgramRun run(1024 * scale, 768 * scale);
  run.backend.SetSessionScale(scale);
  run.backend.Wait(kRestTimeMs);
  Frame frame;
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    const platform::CHeadlessBackend::Surface* surface = MainSurface(run.backend);
    ASSERT_NE(surface, nullptr);
    frame.rect = surface->rect;
    frame.pixels = surface->pixels;
    RECT window;
    dlg.GetWindowRect(&window);
    for (const auto& tile : dlg.m_tiles) {
      RECT rc;
      tile->GetWindowRect(&rc);
      frame.tiles.push_back(
          RECT{rc.left - window.left, rc.top - window.top, rc.right - window.left, rc.bottom - window.top});
    }
  });
  run.Run();
  return frame;
}

// Whether a program pixel lies in the middle of a tile, where its number is drawn: text is drawn at the
// device's resolution, so it need not be the small picture enlarged.
bool UnderNumber(const Frame& frame, int x, int y) {
  constexpr int kEdge = 4;
  for (const RECT& rc : frame.tiles) {
    if (x >= rc.left + kEdge && x < rc.right - kEdge && y >= rc.top + kEdge && y < rc.bottom - kEdge)
      return true;
  }
  return false;
}

TEST(Scale, TheRestingWindowIsTheSmallPictureEnlargedInTwiceTheDevicePixels) {
  const Frame small = RestingFrame(1);
  const Frame large = RestingFrame(kScale);
  EXPECT_EQ(Edges(small.rect), Edges(RECT{407, 261, 617, 506}));
  EXPECT_EQ(Edges(large.rect), Edges(RECT{814, 522, 1234, 1012}))
      << "centred on the device screen, twice the size";
  const int width = small.rect.right - small.rect.left;
  const int height = small.rect.bottom - small.rect.top;
  ASSERT_EQ(small.pixels.size(), static_cast<std::size_t>(width * height));
  ASSERT_EQ(large.pixels.size(), static_cast<std::size_t>(width * height * kScale * kScale));
  int differing = 0;
  for (int y = 0; y < height * kScale; ++y) {
    for (int x = 0; x < width * kScale; ++x) {
      if (UnderNumber(small, x / kScale, y / kScale)) continue;
      const std::uint32_t expected = small.pixels[static_cast<std::size_t>(y / kScale * width + x / kScale)];
      const std::uint32_t actual = large.pixels[static_cast<std::size_t>(y * width * kScale + x)];
      if (actual != expected && differing++ == 0) {
        ADD_FAILURE() << "first difference at device (" << x << ", " << y << "): " << std::hex << actual
                      << " instead of " << expected;
      }
    }
  }
  EXPECT_EQ(differing, 0);
}

TEST(Scale, TheProgramKeepsItsOwnPixelsAndEveryDevicePixelOfOneOfThemLandsOnIt) {
  ProgramRun run(1024 * kScale, 768 * kScale);
  run.backend.SetSessionScale(kScale);
  run.backend.Wait(kRestTimeMs);
  run.Check([&](CRecordingPuzzleDlg& dlg) {
    RECT rc;
    dlg.GetWindowRect(&rc);
    EXPECT_EQ(Edges(rc), Edges(RECT{407, 261, 617, 506})) << "the program's window, in its own pixels";
    RECT screen;
    CWnd::GetDesktopWindow()->GetWindowRect(&screen);
    EXPECT_EQ(Edges(screen), Edges(RECT{0, 0, 1024, 768}));
  });
  // The Start button takes in (35, 21) to (62, 48): both device pixels of its far edge answer, the device
  // pixel just beyond does not.
  const auto device = [](POINT pt, int extra) { return POINT{pt.x * kScale + extra, pt.y * kScale + extra}; };
  std::vector<HWND> tiles;
  const auto note = [&] { run.Check([&](CRecordingPuzzleDlg& dlg) { tiles = TileHandles(dlg); }); };
  const auto expectNewGame = [&](bool expected, const char* what) {
    run.backend.Wait(10);
    run.Check([&, expected, what](CRecordingPuzzleDlg& dlg) {
      EXPECT_EQ(TileHandles(dlg) != tiles, expected) << what;
    });
  };
  note();
  run.backend.Click(device(AtRest(62, 48), kScale - 1));
  expectNewGame(true, "the last device pixel of (62, 48)");
  note();
  run.backend.Click(device(AtRest(63, 48), 0));
  expectNewGame(false, "the first device pixel of (63, 48)");
  run.backend.Click(device(AtRest(35, 21), 0));
  expectNewGame(true, "the first device pixel of (35, 21)");
  // A tile: the last tile solves the game from one move before order.
  run.backend.Wait(kRestTimeMs);
  run.Check([](CRecordingPuzzleDlg& dlg) { SetUpOneMoveFromOrder(dlg); });
  run.backend.Click(device(CellAtRest(15), kScale - 1));
  run.backend.Wait(kRestTimeMs);
  run.Check(
      [](CRecordingPuzzleDlg& dlg) { EXPECT_TRUE(dlg.m_game.m_bSolved) << "a click on the last tile"; });
  run.Run();
}

}  // namespace
}  // namespace program_test
