// CWinApp and CFrameWnd on Windows, and the program's start: the system is the display.
#include "platform/api/Runtime.h"
#include "platform/api/WinApp.h"
#include "platform/win32/AfxWinMain.h"
#include "platform/win32/Win32Windows.h"

namespace {
CWinApp* g_app = nullptr;
}  // namespace

int CWinApp::Run() {
  platform::CWin32Windows::PumpUntil([&] { return !m_pMainWnd || !IsWindow(m_pMainWnd->m_hWnd); });
  return ExitInstance();
}

CWinApp* AfxGetApp() {
  return g_app;
}

int AfxWinMain(CWinApp& app) {
  platform::CWin32Windows::Register();
  g_app = &app;
  int status = 0;
  if (app.InitInstance()) status = app.Run();
  g_app = nullptr;
  return status;
}
