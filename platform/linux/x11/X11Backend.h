// The window system's backend for a real X11 display; this header stays free of Xlib's names and macros.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/Backend.h"

namespace platform::x11 {
class CX11Connection;
class CX11Surface;
class CX11Cursors;
class CX11NotificationArea;
}  // namespace platform::x11

namespace platform {

// Several backends may live side by side, each with its own connection; nothing is shared between them
// except Xlib's process-wide error handler (see CX11ErrorTrap).
//
// Input during a popup menu's grab: pointer events over the program's own surfaces arrive for those
// surfaces, everything else (and every key) for the menu. Coordinates are always the pointer's position
// on the screen.
//
// When the display goes away, every call becomes a no-op and the next WaitEvent returns Quit.
class CX11Backend : public IBackend {
 public:
  // Connects to `display` (null: $DISPLAY). On failure returns null and puts a one-line reason that
  // names the display into `error`.
  static std::unique_ptr<CX11Backend> Open(const char* display, std::string* error);
  ~CX11Backend() override;
  CX11Backend(const CX11Backend&) = delete;
  CX11Backend& operator=(const CX11Backend&) = delete;

  // The program's name, for what the desktop shows of it outside its windows: the windows' class ("Tilvane"
  // gives tilvane.Tilvane) and the tray icon's title.
  void SetProgramName(const std::string& name);

  RECT ScreenRect() override;
  std::vector<RECT> MonitorRects() override;
  std::vector<SurfaceMove> TakeSurfaceMoves() override;

  SurfaceId CreateSurface(const SurfaceDesc& desc) override;
  void DestroySurface(SurfaceId id) override;
  void ShowSurface(SurfaceId id, bool show) override;
  void MoveSurface(SurfaceId id, const RECT& screenRect) override;
  void SetSurfaceShape(SurfaceId id, const std::vector<RECT>& rects) override;
  void SetSurfaceTitle(SurfaceId id, const std::string& utf8) override;
  void SetSurfaceIcons(SurfaceId id, const std::vector<PixelImage>& icons) override;
  void Present(SurfaceId id, const PixelView& pixels, const RECT& damage) override;
  void SetCursor(SurfaceId id, const PixelImage* cursor) override;
  void Activate(SurfaceId id) override;
  void GrabInput(SurfaceId id, bool grab) override;

  TrayId AddTrayIcon(const std::vector<PixelImage>& icons) override;
  void RemoveTrayIcon(TrayId id) override;
  void SetTrayMenu(TrayId id, const TrayMenu& menu) override;

  POINT CursorPos() override;
  // GDK_SCALE, else the Xft.dpi the resource database had when the display was opened, else 1.
  int SessionScale() override { return m_sessionScale; }

  std::optional<InputEvent> WaitEvent(std::optional<std::uint64_t> deadlineMs) override;
  std::uint64_t NowMs() override;
  // Sends everything and waits for the server to have done it, then sleeps: a window moved in a
  // blocking loop shows every step.
  void Sleep(std::uint32_t ms) override;
  // Waits until the server has processed everything sent so far.
  void Flush() override;
  std::string DisplayLost() override;

 private:
  explicit CX11Backend(std::unique_ptr<x11::CX11Connection> connection);
  // The surface, or null when the id names none (or the display is gone).
  x11::CX11Surface* Find(SurfaceId id);
  // Handles the next queued X event; returns what the program should hear of it, if anything.
  std::optional<InputEvent> DispatchNextEvent();
  // Takes in the configure, reparent and map notifications already queued, leaving the rest in order.
  void TakeQueuedPlacements();

  std::unique_ptr<x11::CX11Connection> m_connection;
  std::map<SurfaceId, std::unique_ptr<x11::CX11Surface>> m_surfaces;
  std::unique_ptr<x11::CX11Cursors> m_cursors;
  std::unique_ptr<x11::CX11NotificationArea> m_tray;
  int m_sessionScale = 1;
  SurfaceId m_nextSurface = 1;
  std::map<SurfaceId, RECT> m_placements;  // where the server put surfaces since TakeSurfaceMoves
};

}  // namespace platform
