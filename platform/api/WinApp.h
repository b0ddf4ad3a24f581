// CWinApp and CFrameWnd: the application object and the plain frame window it can own.
#pragma once

#include <string>

#include "platform/api/Cursor.h"
#include "platform/api/Resources.h"
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

namespace platform {
class IBackend;
}

// Runs an application on a display: makes its window system, calls InitInstance, and Run when asked.
// Returns the exit status. When the display went away under the program, or the program's last window was
// destroyed by another client, `lostDisplay` (if given) says why.
int AfxWinMain(CWinApp& app, platform::IBackend& backend, const platform::ResourceSet& resources,
               std::string* lostDisplay = nullptr);
// The same on Windows, where the system is the display.
int AfxWinMain(CWinApp& app, const platform::ResourceSet& resources);
