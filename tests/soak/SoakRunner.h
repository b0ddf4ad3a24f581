// One run of the whole program on a headless screen, fed the soak's events one at a time whenever it has
// nothing left to do, with the invariants checked before each next event and once more after its end.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

#include "SoakEvents.h"

namespace soak {

struct Failure {
  std::size_t event = 0;  // index in the span of the event after which the check failed
  std::string what;
};

struct RunResult {
  std::size_t consumed = 0;  // events fed before the program ended (or the run stopped at a failure)
  std::optional<Failure> failure;
};

// Starts the program, plays `events` until they run out or the program ends itself, then asks it to end
// (Escape for a menu, the close box for the About box, then the exit command) and checks that it does,
// leaving nothing behind. A run stops at its first failure.
RunResult RunProgram(std::span<const Event> events);

}  // namespace soak
