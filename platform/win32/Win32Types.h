// The system's own types, messages and constants, and the framework's few that Windows does not define.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef STRICT
#define STRICT
#endif
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cstdint>

// The standard command ids of the framework.
constexpr UINT ID_APP_ABOUT = 0xE140;
constexpr UINT ID_HELP = 0xE146;

// Mouse coordinates travel signed in the low and high words of lParam.
#ifndef GET_X_LPARAM
constexpr int GET_X_LPARAM(LPARAM lp) {
  return static_cast<std::int16_t>(lp & 0xFFFF);
}
constexpr int GET_Y_LPARAM(LPARAM lp) {
  return static_cast<std::int16_t>((lp >> 16) & 0xFFFF);
}
#endif
