// CWinApp and CFrameWnd on Windows, and the program's start: the system is the display.
#include "platform/core/Globals.h"
#include "platform/core/WinApp.h"
#include "platform/win32/SystemWindows.h"

namespace {
CWinApp* g_app = nullptr;
}  // namespace

const RECT CFrameWnd::rectDefault{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};

CWinApp::CWinApp(const char*) {}

CWinApp::~CWinApp() = default;

BOOL CWinApp::InitInstance() {
  return FALSE;
}

int CWinApp::Run() {
  platform::CSystemWindows::PumpUntil([&] { return !m_pMainWnd || !IsWindow(m_pMainWnd->m_hWnd); });
  return ExitInstance();
}

int CWinApp::ExitInstance() {
  return 0;
}

BOOL CFrameWnd::Create(const char* className, const char* title, DWORD style, const RECT& rect, CWnd* pParent) {
  return CreateEx(0, className, title, style, rect, pParent, 0);
}

void CFrameWnd::PostNcDestroy() {
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
  delete this;
}

CWinApp* AfxGetApp() {
  return g_app;
}

CWnd* AfxGetMainWnd() {
  CWinApp* app = AfxGetApp();
  return app ? app->m_pMainWnd : nullptr;
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
