// CWinApp and CFrameWnd on Windows, and the program's start: the system is the display.
#include "platform/api/Globals.h"
#include "platform/api/WinApp.h"
#include "platform/win32/AfxWinMain.h"
#include "platform/win32/SystemWindows.h"

namespace {
CWinApp* g_app = nullptr;
}  // namespace

int CWinApp::Run() {
  platform::CSystemWindows::PumpUntil([&] { return !m_pMainWnd || !IsWindow(m_pMainWnd->m_hWnd); });
  return ExitInstance();
}

CWinApp* AfxGetApp() {
  return g_app;
}

int AfxWinMain(CWinApp& app, const platform::ResourceSet& resources) {
  platform::SetCurrentResources(&resources);
  platform::CSystemWindows::Register();
  g_app = &app;
  int status = 0;
  if (app.InitInstance()) status = app.Run();
  g_app = nullptr;
  platform::SetCurrentResources(nullptr);
  return status;
}
