// The framework's free functions on our window system: the clock and sleeping, both the backend's, and the
// pointer.
#include "platform/api/Runtime.h"

#include "platform/linux/WindowSystem.h"

DWORD GetTickCount() {
  platform::CWindowSystem* system = platform::CWindowSystem::Current();
  return system ? system->TickCount() : 0;
}

void Sleep(DWORD ms) {
  if (platform::CWindowSystem* system = platform::CWindowSystem::Current()) system->Sleep(ms);
}

BOOL GetCursorPos(POINT* pt) {
  platform::CWindowSystem* system = platform::CWindowSystem::Current();
  if (!system || !pt) return FALSE;
  *pt = system->CursorPos();
  return TRUE;
}
