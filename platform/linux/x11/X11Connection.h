// The connection to one X display: its atoms, visual and extensions, the lost-connection flag and the error
// trap.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/api/Types.h"

namespace platform::x11 {

// Every atom the backend speaks, interned in one round trip when the connection opens.
struct X11Atoms {
  Atom wmProtocols = None;
  Atom wmDeleteWindow = None;
  Atom wmClientMachine = None;
  Atom utf8String = None;
  Atom netWmName = None;
  Atom netWmIconName = None;
  Atom netWmIcon = None;
  Atom netWmPid = None;
  Atom netWmPing = None;
  Atom netWmState = None;
  Atom netWmStateSkipTaskbar = None;
  Atom netWmStateSkipPager = None;
  Atom netWmStateModal = None;
  Atom netWmWindowType = None;
  Atom netWmWindowTypeNormal = None;
  Atom netWmWindowTypeDialog = None;
  Atom netWmWindowTypePopupMenu = None;
  Atom netActiveWindow = None;
  Atom netWmUserTime = None;
  Atom netSupportingWmCheck = None;
  Atom motifWmHints = None;
  Atom manager = None;
  Atom netSystemTray = None;  // _NET_SYSTEM_TRAY_S<screen>
  Atom netWmCm = None;        // _NET_WM_CM_S<screen>, owned by the compositing manager
  Atom netSystemTrayOpcode = None;
  Atom netSystemTrayVisual = None;
  Atom xembedInfo = None;
};

// A visual windows can be created with, its depth and a colormap for it.
struct X11Visual {
  Visual* visual = nullptr;
  int depth = 0;
  Colormap colormap = None;
};

// The pixel layout the server wants for images of one visual.
struct X11PixelFormat {
  unsigned long redMask = 0;
  unsigned long greenMask = 0;
  unsigned long blueMask = 0;
  unsigned long alphaMask = 0;  // bits of the depth that no colour uses: the alpha of a 32-bit visual
  int depth = 0;

  static X11PixelFormat FromVisual(const Visual* visual, int depth);
  // Packs 8-bit components (alpha premultiplied when the format has alpha) into a pixel value.
  unsigned long Pack(std::uint32_t argb) const;
  // Unpacks a pixel value into 0x00RRGGBB.
  std::uint32_t Unpack(unsigned long pixel) const;
};

class CX11Connection {
 public:
  // Connects to `display` (null: $DISPLAY); on failure returns null and says why, naming the display.
  static std::unique_ptr<CX11Connection> Open(const char* display, std::string* error);
  ~CX11Connection();
  CX11Connection(const CX11Connection&) = delete;
  CX11Connection& operator=(const CX11Connection&) = delete;

  Display* Dpy() const { return m_dpy; }
  int ScreenNumber() const { return m_screen; }
  Window Root() const { return m_root; }
  const X11Atoms& Atoms() const { return m_atoms; }
  const std::string& Name() const { return m_name; }

  // The TrueColor visual every surface is created with, and its colormap and depth.
  Visual* SurfaceVisual() const { return m_visual; }
  int SurfaceDepth() const { return m_depth; }
  Colormap SurfaceColormap() const { return m_colormap; }
  X11Visual OpaqueVisual() const { return {m_visual, m_depth, m_colormap}; }
  // A 32-bit TrueColor visual whose spare byte is alpha, with a colormap of its own made at the first call;
  // nothing when the server offers none.
  const X11Visual* TranslucentVisual();
  // Whether a compositing manager draws the windows right now (a round trip).
  bool CompositorRunning();

  bool HasShape() const { return m_hasShape; }
  // MIT-SHM is tried when the server offers it; the first failed attach turns it off for good.
  bool ShmUsable() const { return m_shmUsable; }
  void DisableShm() { m_shmUsable = false; }

  // True once the server has gone away; from then on every request is a harmless no-op.
  bool Lost() const { return m_lost; }
  std::string LostReason() const;

  // Where the pointer stands on the screen now (a round trip); the origin once the server is gone.
  POINT PointerPosition();

  // The server time of the last event seen, for requests that want one.
  Time LastEventTime() const { return m_lastEventTime; }
  // The time to stamp a request that raises or focuses a window with: the last event's, or the server's
  // own when none came yet. Never 0, which window managers that prevent focus stealing refuse.
  Time UserTime();
  // Asks the server for its time (a round trip) and takes it as the last event's: for requests made on a
  // desktop's call over the bus rather than on an X event. CurrentTime once the server is gone.
  Time FetchServerTime();
  void NoteEventTime(Time time) {
    if (time != CurrentTime) m_lastEventTime = time;
  }

  // A window of ours that another client destroyed: errors about it are no fault of ours.
  void NoteDestroyedElsewhere(Window window) { m_destroyedElsewhere.push_back(window); }
  // Prints the protocol errors outside any trap that have arrived so far, but those about such windows.
  void ReportErrors();

  // Whether a window manager that speaks EWMH is running right now.
  bool HasWindowManager();
  // The monitors, the primary first: XRandR's monitors (its primary, else its first, leads), else the
  // whole root window. Read once and again only after the server announced a change.
  const std::vector<RECT>& Monitors();
  // Whether the event says the screen or its monitors changed; if so, they are read afresh when asked.
  bool NoteMonitorChange(XEvent& event);

  // The name the program gives itself; the backend names its windows' class and the tray icon with it.
  const std::string& ProgramName() const { return m_programName; }
  void SetProgramName(const std::string& name) { m_programName = name; }

  void SetCardinals(Window window, Atom property, Atom type, const std::vector<long>& values);
  void SetAtomList(Window window, Atom property, const std::vector<Atom>& atoms);
  // Names the window's class after the program: the name in lower case, and the name. Nothing without one.
  void SetClassHint(Window window);
  // Sets a text property as UTF8_STRING, or as STRING when the text is plain ASCII.
  void SetText(Window window, Atom property, const std::string& utf8);

 private:
  CX11Connection() = default;
  static void OnConnectionLost(Display* dpy, void* self);

  Display* m_dpy = nullptr;
  std::string m_name;
  int m_screen = 0;
  Window m_root = None;
  X11Atoms m_atoms;
  Visual* m_visual = nullptr;
  int m_depth = 0;
  Colormap m_colormap = None;
  bool m_ownColormap = false;
  X11Visual m_translucent;
  bool m_translucentSought = false;
  bool m_hasShape = false;
  bool m_shmUsable = false;
  void ReadMonitors();
  bool m_hasMonitors = false;
  int m_randrEventBase = -1;
  bool m_monitorsStale = true;
  std::vector<RECT> m_monitors;
  std::string m_programName;
  bool m_lost = false;
  Time m_lastEventTime = CurrentTime;
  // An unmapped window whose property changes carry the server's time.
  Window m_timeWindow = None;
  Atom m_timeAtom = None;
  std::vector<Window> m_destroyedElsewhere;
};

// Records and ignores the protocol errors that requests made during its lifetime cause; for requests
// whose target another client can destroy at any moment (a tray host that went away). Errors outside
// any trap are bugs of ours and are reported on stderr.
class CX11ErrorTrap {
 public:
  explicit CX11ErrorTrap(CX11Connection& connection);
  ~CX11ErrorTrap();
  CX11ErrorTrap(const CX11ErrorTrap&) = delete;
  CX11ErrorTrap& operator=(const CX11ErrorTrap&) = delete;

  // Waits for the server to answer everything sent so far and tells whether any of it failed.
  bool Failed();

  // Installs the process-wide handlers; harmless to call more than once.
  static void InstallHandlers();

  // Errors outside any trap wait until the events that came before them have been read: a request made on a
  // window that another client destroyed meanwhile fails through no fault of ours, and only the
  // DestroyNotify queued before the error tells so. Takes the waiting errors of `dpy` and prints them on
  // stderr (when `print`), except those about a resource `forgiven` names.
  static void ReportUntrapped(Display* dpy, const std::vector<XID>& forgiven, bool print);

 private:
  static int OnError(Display* dpy, XErrorEvent* event);
  static int OnIOError(Display* dpy);

  CX11Connection& m_connection;
  unsigned long m_firstSerial = 0;
  unsigned long m_syncedSerial = 0;
  CX11ErrorTrap* m_outer = nullptr;
  unsigned char m_errorCode = 0;
};

}  // namespace platform::x11
