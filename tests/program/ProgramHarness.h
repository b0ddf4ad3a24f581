// Runs the whole program on a headless screen with a script, and the helpers its tests share.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "BoardSetup.h"
#include "app/PuzzleApp.h"
#include "platform/linux/AfxWinMain.h"
#include "platform/linux/headless/HeadlessBackend.h"
#include "res/ResourceIds.h"
#include "ui/PuzzleDlg.h"

namespace program_test {

// The main window with a record of the drop-in's timer ticks, which the window itself does not keep.
class CRecordingPuzzleDlg : public CPuzzleDlg {
 public:
  int m_nDropTicks = 0;

 protected:
  void OnTimer(UINT_PTR nIDEvent) override {
    if (nIDEvent == TIMER_DROP) ++m_nDropTicks;
    CPuzzleDlg::OnTimer(nIDEvent);
  }
};

class CRecordingPuzzleApp : public CPuzzleApp {
 public:
  CRecordingPuzzleDlg* RecordingDlg() const { return static_cast<CRecordingPuzzleDlg*>(GetPuzzleDlg()); }
  // Copied when the window ends, so that a test can read them after the run.
  int m_nDropTicksAtEnd = -1;

 protected:
  void RunMainWindow() override {
    CRecordingPuzzleDlg dlg;
    RunModal(dlg);
    m_nDropTicksAtEnd = dlg.m_nDropTicks;
  }
};

// One run of the program: build the script on `backend`, then Run().
struct ProgramRun {
  explicit ProgramRun(int screenWidth = 1024, int screenHeight = 768) : backend(screenWidth, screenHeight) {}

  // Runs the program until the script is over and it waits, or until it ends itself; returns its status.
  int Run();
  // The main window; only valid inside the script's Call steps.
  CRecordingPuzzleDlg& Dlg() const;
  // Adds a step that checks the program's state at that point of the script.
  ProgramRun& Check(std::function<void(CRecordingPuzzleDlg&)> fn);
  // Adds a step that posts a command to the main window, as the popup menu would.
  ProgramRun& Command(UINT nID);

  platform::CHeadlessBackend backend;
  CRecordingPuzzleApp app;
};

// Where the 4 x 4 window of the small size comes to rest on a 1024 x 768 screen, one second after start.
constexpr POINT kRestOrigin{407, 261};
constexpr std::uint64_t kRestTimeMs = 1000;

// A client point of the resting window, on the screen.
constexpr POINT AtRest(int x, int y) {
  return POINT{kRestOrigin.x + x, kRestOrigin.y + y};
}

// The centre of a cell of the small 4 x 4 board of the resting window, on the screen.
POINT CellAtRest(int nCell);

// A colour as the headless screen stores it, 0x00RRGGBB.
constexpr std::uint32_t Screen(COLORREF cr) {
  return static_cast<std::uint32_t>(GetRValue(cr)) << 16 | static_cast<std::uint32_t>(GetGValue(cr)) << 8 |
         static_cast<std::uint32_t>(GetBValue(cr));
}

// The presented colour of a client point of the main window, as 0x00RRGGBB, or nothing outside its shape.
std::optional<std::uint32_t> WindowPixel(const platform::CHeadlessBackend& backend, const CWnd& wnd, int x,
                                         int y);

// The visible surface of the main window.
const platform::CHeadlessBackend::Surface* MainSurface(const platform::CHeadlessBackend& backend);

// The cursor pictures of the program.
HCURSOR GripCursor();
HCURSOR PointerCursor();

// The window handles of the tile windows, which change with every new game.
std::vector<HWND> TileHandles(const CPuzzleDlg& dlg);

// The tops of the main window's moves on the screen, in order.
std::vector<int> MoveTops(const platform::CHeadlessBackend& backend);

}  // namespace program_test
