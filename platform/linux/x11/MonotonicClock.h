// The monotonic clock in milliseconds, the one time base of the X11 backend, its tray and its bus item.
#pragma once

#include <cstdint>
#include <ctime>

namespace platform::x11 {

inline std::uint64_t MonotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000u +
         static_cast<std::uint64_t>(now.tv_nsec) / 1'000'000u;
}

}  // namespace platform::x11
