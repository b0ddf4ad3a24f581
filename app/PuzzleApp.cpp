// CPuzzleApp: the application object, which runs the main window modally and then lets the process end.
#include "app/PuzzleApp.h"

#include "ui/PuzzleDlg.h"

CPuzzleApp::CPuzzleApp() : CWinApp(nullptr) {}

CPuzzleApp::~CPuzzleApp() = default;

// The invisible frame becomes the main window's owner. A window with an owner gets no taskbar button,
// and this one is never shown.
BOOL CPuzzleApp::InitInstance() {
  auto* pFrame = new CFrameWnd;
  pFrame->Create(nullptr, "", WS_OVERLAPPEDWINDOW, CFrameWnd::rectDefault, nullptr);
  m_pMainWnd = pFrame;

  RunMainWindow();

  // The frame deletes itself once its window is gone and clears m_pMainWnd. A frame whose window was never
  // made cannot, so it is deleted here.
  if (!pFrame->DestroyWindow()) {
    m_pMainWnd = nullptr;
    delete pFrame;
  }
  return FALSE;
}

void CPuzzleApp::RunMainWindow() {
  CPuzzleDlg dlg(nullptr);
  RunModal(dlg);
}

void CPuzzleApp::RunModal(CPuzzleDlg& dlg) {
  m_pPuzzleDlg = &dlg;
  m_nModalResult = dlg.DoModal();
  m_pPuzzleDlg = nullptr;
}
