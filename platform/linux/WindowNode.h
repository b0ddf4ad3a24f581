// The window system's private record of one window (not part of the program's API).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/api/Region.h"
#include "platform/api/Types.h"
#include "platform/linux/Backend.h"

class CWnd;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_region cairo_region_t;

namespace platform {

struct WindowNode {
  WindowNode() = default;
  ~WindowNode();
  WindowNode(const WindowNode&) = delete;
  WindowNode& operator=(const WindowNode&) = delete;

  bool IsChild() const { return parent != nullptr; }

  HWND handle = nullptr;
  CWnd* wnd = nullptr;
  DWORD style = 0;
  RECT rect{};  // parent client coordinates for a child, screen coordinates for a top-level window
  // While set, `rect` is not worked out yet: this works it out the first time it is needed.
  std::function<RECT()> pendingRect;
  HWND parent = nullptr;
  HWND owner = nullptr;
  SurfaceKind kind = SurfaceKind::Plain;
  std::string text;
  std::vector<HWND> children;  // bottom to top
  bool destroying = false;

  // Painting: what is still to be painted, in window coordinates.
  cairo_region_t* update = nullptr;
  bool erase = false;

  // Top-level windows only.
  std::unique_ptr<CRgn> shape;  // window coordinates; null: the whole rectangle
  SurfaceId surface = 0;
  cairo_surface_t* buffer = nullptr;
  RECT damage{};
  bool hasDamage = false;
  HWND lastActivePopup = nullptr;
  std::vector<PixelImage> icons;
};

inline HWND HandleFromId(std::uintptr_t id) {
  return reinterpret_cast<HWND>(id);
}
inline std::uintptr_t IdFromHandle(HWND h) {
  return reinterpret_cast<std::uintptr_t>(h);
}

}  // namespace platform
