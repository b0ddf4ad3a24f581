// Shared set-up for the tests of the Windows platform: a message pump that gives up after a while instead of
// hanging.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "platform/win32/Win32Windows.h"

namespace win32test {

// Dispatches messages until `done` holds or two seconds have passed; true when `done` held.
inline bool PumpUntil(const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  bool timedOut = false;
  // A timer of the thread's own wakes the loop up even when no other message comes.
  const UINT_PTR guard = SetTimer(nullptr, 0, 50, nullptr);
  platform::CWin32Windows::PumpUntil([&] {
    timedOut = GetTickCount() - start > 2000;
    return done() || timedOut;
  });
  KillTimer(nullptr, guard);
  return !timedOut;
}

}  // namespace win32test
