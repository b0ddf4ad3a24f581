// CWinApp and CFrameWnd: the application object and the plain frame window it can own.
#include "platform/api/WinApp.h"

#include "platform/linux/AfxWinMain.h"

#include <memory>

#include "platform/linux/ScaledBackend.h"
#include "platform/linux/WindowSystem.h"

using platform::CWindowSystem;

int CWinApp::Run() {
  CWindowSystem* system = CWindowSystem::Current();
  if (!system) return 1;
  system->RunModalLoop([&] { return !m_pMainWnd || !system->IsWindow(m_pMainWnd->m_hWnd); });
  return ExitInstance();
}

CWinApp* AfxGetApp() {
  CWindowSystem* system = CWindowSystem::Current();
  return system ? system->App() : nullptr;
}

int AfxWinMain(CWinApp& app, platform::IBackend& backend, const platform::ResourceSet& resources,
               std::string* lostDisplay) {
  // On a dense display the window system works in the program's pixels and a scaling backend stands
  // between it and the device; at scale 1 nothing stands between, so nothing changes there.
  const int scale = backend.SessionScale();
  std::unique_ptr<platform::IBackend> scaled;
  if (scale > 1) scaled = std::make_unique<platform::CScaledBackend>(backend, scale);
  CWindowSystem system(scaled ? *scaled : backend, &resources);
  system.SetApp(&app);
  int status = 0;
  if (app.InitInstance()) status = app.Run();
  system.SetApp(nullptr);
  if (lostDisplay) {
    // A program that ended on its own may still have lost the display on the way (during a blocking
    // animation, say): what it drew and removed at the end never arrived, so that is no clean end either.
    *lostDisplay = system.QuitRequested() ? system.QuitReason() : backend.DisplayLost();
  }
  return status;
}
