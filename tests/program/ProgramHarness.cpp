// Runs the whole program on a headless screen with a script, and the helpers its tests share.
#include "ProgramHarness.h"

#include <stdexcept>

#include "res/TilvaneResources.h"

namespace program_test {

int ProgramRun::Run() {
  return AfxWinMain(app, backend, TilvaneResources());
}

CRecordingPuzzleDlg& ProgramRun::Dlg() const {
  CRecordingPuzzleDlg* dlg = app.RecordingDlg();
  // A script step that runs after the window has gone is a fault of the test itself.
  if (!dlg) throw std::logic_error("the main window is not running");
  return *dlg;
}

ProgramRun& ProgramRun::Check(std::function<void(CRecordingPuzzleDlg&)> fn) {
  backend.Call([this, fn = std::move(fn)] { fn(Dlg()); });
  return *this;
}

ProgramRun& ProgramRun::Command(UINT nID) {
  backend.Call([this, nID] { Dlg().PostMessage(WM_COMMAND, nID, 0); });
  return *this;
}

POINT CellAtRest(int nCell) {
  constexpr int kPitch = 35;
  return AtRest(kPitch * (nCell % 4 + 1) + kPitch / 2, kPitch * (nCell / 4 + 2) + kPitch / 2);
}

std::optional<std::uint32_t> WindowPixel(const platform::CHeadlessBackend& backend, const CWnd& wnd, int x,
                                         int y) {
  RECT rc;
  wnd.GetWindowRect(&rc);
  return backend.PixelAt(POINT{rc.left + x, rc.top + y});
}

const platform::CHeadlessBackend::Surface* MainSurface(const platform::CHeadlessBackend& backend) {
  // The invisible frame never gets a surface, so the main window's is the only one shown.
  std::vector<const platform::CHeadlessBackend::Surface*> surfaces = backend.VisibleSurfaces();
  return surfaces.empty() ? nullptr : surfaces.back();
}

HCURSOR GripCursor() {
  return &TilvaneResources().cursors.at(IDC_GRIP).image;
}
HCURSOR PointerCursor() {
  return &TilvaneResources().cursors.at(IDC_POINTER).image;
}

std::vector<HWND> TileHandles(const CPuzzleDlg& dlg) {
  std::vector<HWND> handles;
  for (const auto& tile : dlg.m_tiles) handles.push_back(tile->m_hWnd);
  return handles;
}

std::vector<int> MoveTops(const platform::CHeadlessBackend& backend) {
  std::vector<int> tops;
  for (const auto& move : backend.Moves()) tops.push_back(move.rect.top);
  return tops;
}

}  // namespace program_test
