// What must hold whenever the program waits for input, whatever input came before.
#pragma once

#include <optional>
#include <string>

#include "platform/linux/WindowSystem.h"
#include "platform/linux/headless/HeadlessBackend.h"
#include "ui/PuzzleDlg.h"

namespace soak {

// What the checks remember of the game between two events: the counters may only grow within one game,
// and a game is known by its first tile window, which every new game replaces.
struct GameMemory {
  HWND game = nullptr;
  int moves = 0;
  int seconds = 0;
};

// The first invariant that does not hold, described, or nothing when all hold.
std::optional<std::string> CheckInvariants(CPuzzleDlg& dlg, platform::CWindowSystem& system,
                                           const platform::CHeadlessBackend& backend, GameMemory& memory);

}  // namespace soak
