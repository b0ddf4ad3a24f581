// Shared set-up for window-system tests: a headless screen, a window system on it, and a run until idle.
#pragma once

#include "platform/linux/WindowSystem.h"
#include "platform/linux/headless/HeadlessBackend.h"

// Pumps messages until the program has nothing to do and the script is over.
inline void RunUntilIdle(platform::CWindowSystem& system) {
  system.ClearQuit();
  system.RunModalLoop([] { return false; });
}

inline RECT Rect(int l, int t, int r, int b) {
  return RECT{l, t, r, b};
}
