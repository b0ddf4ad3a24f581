// CWinApp and CFrameWnd: the application object and the plain frame window it can own.
#pragma once

#include "platform/api/Cursor.h"
#include "platform/api/Wnd.h"

class CWinApp {
 public:
  explicit CWinApp(const char* appName = nullptr);
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // The program's start; TRUE asks for the application's own message loop (Run) afterwards.
  virtual BOOL InitInstance();
  // Pumps messages while the main window exists.
  virtual int Run();
  virtual int ExitInstance();

  HICON LoadIcon(UINT id) const { return ::LoadIcon(id); }
  HCURSOR LoadCursor(UINT id) const { return ::LoadCursor(id); }

  CWnd* m_pMainWnd = nullptr;
};

class CFrameWnd : public CWnd {
 public:
  static const RECT rectDefault;
  BOOL Create(const char* className, const char* title, DWORD style = WS_OVERLAPPEDWINDOW,
              const RECT& rect = rectDefault, CWnd* pParent = nullptr);

 protected:
  // The frame object is the framework's to delete once its window is gone.
  void PostNcDestroy() override;
};
