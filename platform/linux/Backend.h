// The small interface between the window system's core and a display: X11 or the headless test screen.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/api/Resources.h"
#include "platform/api/Types.h"

namespace platform {

// Names a top-level surface of one backend; 0 is no surface.
using SurfaceId = std::uint32_t;
// Names a tray icon of one backend; 0 is no icon.
using TrayId = std::uint32_t;

enum class SurfaceKind {
  Plain,      // borderless, no taskbar entry: the main window
  PopupMenu,  // override-redirect, grabs pointer and keyboard while shown
  Dialog,     // decorated by the desktop, transient for its owner, fixed size
};

struct SurfaceDesc {
  SurfaceKind kind = SurfaceKind::Plain;
  RECT rect{};          // screen coordinates
  std::string title;    // UTF-8
  SurfaceId owner = 0;  // the owner's surface, for dialogs
};

// Pixels of a surface as the core keeps them: 0x00RRGGBB, `stride` bytes between rows.
struct PixelView {
  const std::uint8_t* data = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
};

enum class EventType {
  MouseDown,
  MouseUp,
  MouseMove,
  KeyDown,
  Close,      // the desktop asks the surface to close (title-bar close box, WM_DELETE_WINDOW)
  Destroyed,  // another client destroyed the surface: it is gone, and the backend has let go of it
  TrayMouse,  // mouse activity over a tray icon
  TrayCommand,  // an item of a tray icon's menu was chosen in the menu the desktop drew for it
  Woken,      // nothing to deliver, but the caller should look at its queue again
  Quit,       // the display is gone, or a test script has nothing left: end the program
};

struct InputEvent {
  EventType type = EventType::Woken;
  SurfaceId surface = 0;
  POINT root{};    // pointer position on the screen
  POINT local{};   // the same point from the surface's own corner, as the display measured it
  int button = 0;  // 1 left, 2 middle, 3 right
  UINT keys = 0;   // MK_* flags as the program sees them for this message
  UINT vk = 0;     // virtual-key code of a KeyDown
  TrayId tray = 0;
  UINT trayMessage = 0;  // WM_LBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEMOVE, ... over a tray icon
  UINT command = 0;      // the command of a TrayCommand
  std::string reason;    // why a Quit or a Destroyed came
};

// Where the display has put a surface: the screen rectangle of its own pixels, frame excluded.
struct SurfaceMove {
  SurfaceId surface = 0;
  RECT rect{};
};

// One item of a tray icon's menu, as a desktop that draws the menu itself shows it.
struct TrayMenuItem {
  UINT command = 0;  // what choosing it runs; 0 for a separator or a submenu
  std::string label;  // UTF-8, shown as it stands
  bool separator = false;
  bool enabled = true;
  bool checkable = false;  // drawn with a check box, ticked when `checked`
  bool checked = false;
  std::vector<TrayMenuItem> children;  // a submenu's items
  bool operator==(const TrayMenuItem&) const = default;
};
using TrayMenu = std::vector<TrayMenuItem>;

// The MK_ flag of a button as InputEvent numbers it (1 left, 2 middle, 3 right); 0 for any other.
inline UINT ButtonKeyFlag(int button) {
  switch (button) {
    case 1: return MK_LBUTTON;
    case 2: return MK_MBUTTON;
    case 3: return MK_RBUTTON;
    default: return 0;
  }
}

class IBackend {
 public:
  virtual ~IBackend() = default;

  // The primary monitor on the screen, origin included: the desktop window's rectangle.
  virtual RECT ScreenRect() = 0;
  // Every monitor on the screen, the primary first; the whole screen where the display knows of none.
  virtual std::vector<RECT> MonitorRects() = 0;

  virtual SurfaceId CreateSurface(const SurfaceDesc& desc) = 0;
  virtual void DestroySurface(SurfaceId id) = 0;
  virtual void ShowSurface(SurfaceId id, bool show) = 0;
  // Asks for a new place; a window manager may refuse or alter it, which TakeSurfaceMoves then reports.
  virtual void MoveSurface(SurfaceId id, const RECT& screenRect) = 0;
  // The places the display gave surfaces since the last call (the latest per surface), whether the
  // program asked for them or the window manager moved a window of its own accord. The backend learns of
  // them while it waits for events and while it sleeps.
  virtual std::vector<SurfaceMove> TakeSurfaceMoves() = 0;
  // The visible part of a surface as rectangles in its own coordinates; empty means the whole rectangle.
  virtual void SetSurfaceShape(SurfaceId id, const std::vector<RECT>& rects) = 0;
  virtual void SetSurfaceTitle(SurfaceId id, const std::string& utf8) = 0;
  virtual void SetSurfaceIcons(SurfaceId id, const std::vector<PixelImage>& icons) = 0;
  // Copies `damage` (surface coordinates) of the pixels to the display; the backend keeps its own copy.
  virtual void Present(SurfaceId id, const PixelView& pixels, const RECT& damage) = 0;
  virtual void SetCursor(SurfaceId id, const PixelImage* cursor) = 0;
  // Brings a surface to the front and gives it the keyboard.
  virtual void Activate(SurfaceId id) = 0;
  // Pointer and keyboard grab for a tracked popup menu; with `grab` false, released.
  virtual void GrabInput(SurfaceId id, bool grab) = 0;

  virtual TrayId AddTrayIcon(const std::vector<PixelImage>& icons) = 0;
  virtual void RemoveTrayIcon(TrayId id) = 0;
  // The menu a desktop may draw for the icon itself; a choice there comes back as a TrayCommand. Called
  // again whenever the menu changes; a display whose trays draw no menus ignores it.
  virtual void SetTrayMenu(TrayId /*id*/, const TrayMenu& /*menu*/) {}

  virtual POINT CursorPos() = 0;

  // How many device pixels stand for one of the program's pixels in each direction, as the session asks.
  // The window system scales for the program, which never hears of it (see CScaledBackend).
  virtual int SessionScale() { return 1; }

  // Waits for the next input event until the deadline (monotonic ms; none: no deadline).
  // Returns nothing when the deadline passed first.
  virtual std::optional<InputEvent> WaitEvent(std::optional<std::uint64_t> deadlineMs) = 0;
  // Monotonic milliseconds.
  virtual std::uint64_t NowMs() = 0;
  // Shows what has been presented, then blocks without delivering anything.
  virtual void Sleep(std::uint32_t ms) = 0;
  // Makes everything presented so far visible.
  virtual void Flush() = 0;
  // Why the display went away, or empty while it is still there. It asks the display, so a loss that
  // happened while the program was too busy to wait for events (a blocking animation) is found as well.
  virtual std::string DisplayLost() { return {}; }
};

}  // namespace platform
