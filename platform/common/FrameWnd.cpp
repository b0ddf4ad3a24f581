// What CWinApp and CFrameWnd do alike on every platform: the application object's defaults, the frame that
// deletes itself, and the main window the program asks for.
#include "platform/api/Runtime.h"
#include "platform/api/WinApp.h"

const RECT CFrameWnd::rectDefault{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};

CWinApp::CWinApp(const char*) {}

CWinApp::~CWinApp() = default;

BOOL CWinApp::InitInstance() {
  return FALSE;
}

int CWinApp::ExitInstance() {
  return 0;
}

BOOL CFrameWnd::Create(const char* className, const char* title, DWORD style, const RECT& rect,
                       CWnd* pParent) {
  return CreateEx(0, className, title, style, rect, pParent, 0);
}

void CFrameWnd::PostNcDestroy() {
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
  delete this;
}

CWnd* AfxGetMainWnd() {
  CWinApp* app = AfxGetApp();
  return app ? app->m_pMainWnd : nullptr;
}
