// The plain value types, message numbers and flags that the program's windows speak in.
#pragma once

#include <cstdint>

#if defined(_WIN32)
// On Windows the system's own headers give these, with the same names and values.
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

// The system's record, its tip in UTF-8 like every text of the program; the icon goes through the "W" call.
#undef Shell_NotifyIcon
using NOTIFYICONDATA = NOTIFYICONDATAA;
#else
// Elsewhere the framework gives the same names and values itself.
#include "platform/api/SystemDefinitions.h"
#endif

// The standard command ids of the framework, which Windows does not define.
constexpr UINT ID_APP_ABOUT = 0xE140;
constexpr UINT ID_HELP = 0xE146;

// Mouse coordinates travel signed in the low and high words of lParam (<windowsx.h> has them as macros).
#ifndef GET_X_LPARAM
constexpr int GET_X_LPARAM(LPARAM lp) {
  return static_cast<std::int16_t>(lp & 0xFFFF);
}
constexpr int GET_Y_LPARAM(LPARAM lp) {
  return static_cast<std::int16_t>((lp >> 16) & 0xFFFF);
}
#endif

class CPoint : public POINT {
 public:
  CPoint() = default;
  CPoint(int nx, int ny) {
    x = nx;
    y = ny;
  }
  CPoint(POINT pt) : POINT(pt) {}
  bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
};

class CRect : public RECT {
 public:
  CRect() = default;
  CRect(int l, int t, int r, int b) {
    left = l;
    top = t;
    right = r;
    bottom = b;
  }
  CRect(const RECT& rc) : RECT(rc) {}
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsRectEmpty() const { return right <= left || bottom <= top; }
  bool PtInRect(POINT pt) const { return pt.x >= left && pt.x < right && pt.y >= top && pt.y < bottom; }
  void OffsetRect(int dx, int dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
  }
  bool operator==(const CRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};
