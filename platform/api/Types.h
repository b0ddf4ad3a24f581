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
#else

using BOOL = int;
using UINT = unsigned int;
using DWORD = std::uint32_t;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using LONG = std::int32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using COLORREF = std::uint32_t;  // 0x00BBGGRR

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

// A window handle names a window without owning it; a stale handle is safe to use.
struct HWND__;
using HWND = HWND__*;
// Handles of what device contexts draw with and on; only the platform's own code looks inside them.
struct HDC__;
using HDC = HDC__*;
struct HRGN__;
using HRGN = HRGN__*;
struct HBITMAP__;
using HBITMAP = HBITMAP__*;
using HGDIOBJ = void*;
struct HMENU__;
using HMENU = HMENU__*;

struct POINT {
  LONG x = 0;
  LONG y = 0;
};

struct SIZE {
  LONG cx = 0;
  LONG cy = 0;
};

// Right and bottom are exclusive for drawing; the program's own hit tests include them.
struct RECT {
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;
};

constexpr COLORREF RGB(int r, int g, int b) {
  return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) {
  return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(COLORREF c) {
  return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c) {
  return static_cast<int>((c >> 16) & 0xFF);
}

constexpr WORD LOWORD(std::uintptr_t v) {
  return static_cast<WORD>(v & 0xFFFF);
}
constexpr WORD HIWORD(std::uintptr_t v) {
  return static_cast<WORD>((v >> 16) & 0xFFFF);
}
constexpr LPARAM MAKELPARAM(int lo, int hi) {
  return static_cast<LPARAM>(static_cast<std::uint32_t>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16)));
}

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt{};
};

// Window messages.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_QUERYDRAGICON = 0x0037;
constexpr UINT WM_SETICON = 0x0080;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_USER = 0x0400;

// Mouse key flags (wParam of mouse messages).
constexpr UINT MK_LBUTTON = 0x0001;
constexpr UINT MK_RBUTTON = 0x0002;
constexpr UINT MK_SHIFT = 0x0004;
constexpr UINT MK_CONTROL = 0x0008;
constexpr UINT MK_MBUTTON = 0x0010;

// Hit-test code of WM_SETCURSOR.
constexpr UINT HTCLIENT = 1;

// Window styles.
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr DWORD DS_SETFONT = 0x00000040;
constexpr DWORD DS_MODALFRAME = 0x00000080;
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

// Virtual-key codes.
constexpr UINT VK_BACK = 0x08;
constexpr UINT VK_TAB = 0x09;
constexpr UINT VK_RETURN = 0x0D;
constexpr UINT VK_SHIFT = 0x10;
constexpr UINT VK_CONTROL = 0x11;
constexpr UINT VK_ESCAPE = 0x1B;
constexpr UINT VK_SPACE = 0x20;
constexpr UINT VK_LEFT = 0x25;
constexpr UINT VK_UP = 0x26;
constexpr UINT VK_RIGHT = 0x27;
constexpr UINT VK_DOWN = 0x28;
constexpr UINT VK_F1 = 0x70;

// Dialog results.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// WM_SETICON sizes.
constexpr WPARAM ICON_SMALL = 0;
constexpr WPARAM ICON_BIG = 1;

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
