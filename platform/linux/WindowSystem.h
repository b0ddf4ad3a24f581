// One window system per program: the window tree, the message queue, timers, painting and input routing.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/api/Runtime.h"
#include "platform/api/Types.h"
#include "platform/linux/Backend.h"

class CWnd;
class CWinApp;
class CRgn;
class CMenu;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_region cairo_region_t;

namespace platform {

struct ResourceSet;
struct WindowNode;

// Where a device context draws: a top-level window's buffer, an origin and a clip, both in buffer pixels.
struct DrawTarget {
  cairo_surface_t* surface = nullptr;
  POINT origin{};
  cairo_region_t* clip = nullptr;  // owned by the target; freed by ReleaseDrawTarget
  bool erase = false;
};

class CWindowSystem {
 public:
  explicit CWindowSystem(IBackend& backend, const ResourceSet* resources = nullptr);
  ~CWindowSystem();
  CWindowSystem(const CWindowSystem&) = delete;
  CWindowSystem& operator=(const CWindowSystem&) = delete;

  // The system that free functions such as GetTickCount() and AfxGetMainWnd() use on this thread:
  // the most recently constructed one that still exists.
  static CWindowSystem* Current();
  IBackend& Backend() { return m_backend; }
  CWinApp* App() const { return m_app; }
  void SetApp(CWinApp* app) { m_app = app; }
  CWnd* Desktop() { return m_desktop.get(); }

  // --- The window tree ---
  HWND CreateWindowNode(CWnd* wnd, DWORD style, const RECT& rect, HWND parent, HWND owner, SurfaceKind kind,
                        const std::string& text);
  void DestroyWindowNode(HWND hwnd);
  bool IsWindow(HWND hwnd) const;
  CWnd* FromHandle(HWND hwnd) const;
  HWND GetParent(HWND hwnd) const;
  HWND GetOwner(HWND hwnd) const;
  HWND GetTopLevel(HWND hwnd) const;
  HWND GetLastActivePopup(HWND hwnd) const;
  std::vector<HWND> Children(HWND hwnd) const;
  DWORD GetStyle(HWND hwnd) const;
  void SetStyle(HWND hwnd, DWORD style);
  bool IsVisible(HWND hwnd) const;  // visible with all its ancestors
  bool IsEnabled(HWND hwnd) const;
  bool Enable(HWND hwnd, bool enable);  // returns whether it was disabled before
  RECT GetWindowRect(HWND hwnd) const;  // screen coordinates
  RECT GetClientRect(HWND hwnd) const;
  POINT ClientOrigin(HWND hwnd) const;                         // screen position of the client area's (0, 0)
  void MoveWindow(HWND hwnd, const RECT& rect, bool repaint);  // rect in parent coordinates or screen
  // Takes in where the display has put the top-level windows since the last look (a window manager may
  // refuse, alter or make moves of its own), so that every rectangle is what the screen shows.
  void TakeSurfaceMoves();
  // The monitor that holds a screen point, else the one nearest to it.
  RECT MonitorFromPoint(POINT pt);
  // The monitor that shares the most area with a screen rectangle, else the one nearest to its centre.
  RECT MonitorFromRect(const RECT& rect);
  // The window's rectangle is worked out by `compute` when something first needs it, unless the window is
  // moved before: a dialog that is placed before it is shown never measures its font for a nominal size.
  void DeferRect(HWND hwnd, std::function<RECT()> compute);
  void SetText(HWND hwnd, const std::string& text);
  std::string GetText(HWND hwnd) const;
  // Takes the region (window coordinates) as the window's shape; a null region removes the shape.
  void SetShape(HWND hwnd, std::unique_ptr<CRgn> region, bool redraw);
  bool HasShapePoint(HWND hwnd, POINT windowPt) const;
  void SetIcons(HWND hwnd, const std::vector<PixelImage>& icons);
  // The backend surface of a window's top-level window once it has been shown; 0 before.
  SurfaceId SurfaceOf(HWND hwnd) const;
  HWND GetActive() const { return m_active; }
  // Activates the window's top-level window, or the modal box that keeps it disabled.
  void SetActive(HWND hwnd);
  // The window that activating `hwnd` activates: its top-level window, or the enabled popup it waits for.
  HWND ActivationTarget(HWND hwnd) const;

  // --- Messages ---
  bool Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // Takes the next message, waiting for one; false once the display is gone or a test script ended.
  bool GetMessage(MSG& msg);
  // Offers the message to PreTranslateMessage of its window and its ancestors; true if one took it.
  bool PreTranslate(MSG& msg);
  void Dispatch(const MSG& msg);
  // Pumps messages until `done` says so; false if the program must quit.
  bool RunModalLoop(const std::function<bool()>& done);
  bool QuitRequested() const { return m_quit; }
  const std::string& QuitReason() const { return m_quitReason; }
  // Lets a test script more input after a run that ended for want of it.
  void ClearQuit() { m_quit = false; }
  // Raw input goes here instead of to windows while a popup menu is tracked.
  using InputHook = std::function<void(const InputEvent&)>;
  // Returns the hook set before, so that a tracking that ends can put it back.
  InputHook SetInputHook(InputHook hook) {
    std::swap(m_inputHook, hook);
    return hook;
  }

  // --- Timers ---
  UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs);
  bool KillTimer(HWND hwnd, UINT_PTR id);
  DWORD TickCount();
  void Sleep(DWORD ms);

  // --- Painting ---
  void Invalidate(HWND hwnd, const RECT* rect, bool erase);
  void Validate(HWND hwnd);
  bool HasPendingPaint() const;
  // Paint: clip = the update region (minus nothing else) inside the visible window and its shape.
  bool BeginPaint(HWND hwnd, DrawTarget& target, RECT& rcPaint);
  // Any time: clip = the visible window inside its shape.
  bool GetDrawTarget(HWND hwnd, DrawTarget& target);
  void ReleaseDrawTarget(HWND hwnd, DrawTarget& target);
  // Presents every top-level window's damaged rectangle.
  void FlushDamage();
  // The pixels of a top-level window's buffer (for tests and the backends).
  PixelView Pixels(HWND topLevel);

  // --- Tray icons: mouse activity over one reaches its owner as the callback message ---
  bool AddTrayIcon(HWND owner, UINT uID, UINT callbackMessage, const std::vector<PixelImage>& icons);
  bool RemoveTrayIcon(HWND owner, UINT uID);
  // The menu a desktop may draw for the icon itself; it is read again while the program idles, and the
  // backend hears of it whenever it changed.
  bool SetTrayIconMenu(HWND owner, UINT uID, CMenu* menu);

  // The message being dispatched now (for CWnd::Default).
  const MSG* CurrentMessage() const { return m_current; }

  // --- For tests that look at the whole system: modal loops running now, windows and timers left ---
  int ModalDepth() const { return m_modalDepth; }
  const std::vector<HWND>& TopLevels() const { return m_topLevels; }
  std::vector<UINT_PTR> TimersOf(HWND hwnd) const;

  // --- Cursor and pointer ---
  void SetCursor(const PixelImage* cursor);
  const PixelImage* CurrentCursor() const { return m_cursor; }
  POINT CursorPos();

 private:
  WindowNode* Node(HWND hwnd) const;
  WindowNode* TopNode(HWND hwnd) const;
  const RECT& RectOf(WindowNode& node) const;
  void DestroyChildrenAndSelf(HWND hwnd);
  void EnsureSurface(WindowNode& top);
  void EnsureBuffer(WindowNode& top);
  void ShowTopLevel(WindowNode& top, bool show);
  void InvalidateTree(WindowNode& node, const RECT& rectInNode, bool erase);
  RECT VisibleRectInTop(const WindowNode& node) const;
  POINT OffsetInTop(const WindowNode& node) const;
  cairo_region_t* ClipFor(const WindowNode& node) const;
  WindowNode* FindPaintCandidate() const;
  bool NextTimer(MSG& msg);
  std::optional<std::uint64_t> NextTimerDeadline() const;
  bool TakeInput(const InputEvent& ev, MSG& msg);
  void TakeDestroyed(const InputEvent& ev);
  bool RouteMouse(const InputEvent& ev, MSG& msg);
  bool RouteToCapture(const InputEvent& ev, MSG& msg);
  HWND TopLevelForSurface(SurfaceId id) const;
  HWND DeepestChildAt(HWND top, POINT windowPt) const;
  POINT FromTopLevel(HWND hwnd, HWND top, POINT pt) const;
  void AddDamage(WindowNode& top, const RECT& rect);
  void MoveTopLevel(WindowNode& node, const RECT& rect);
  void PlaceTopLevel(WindowNode& node, const RECT& rect);

  IBackend& m_backend;
  const ResourceSet* m_resources;
  const ResourceSet* m_previousResources;
  CWindowSystem* m_previous;
  CWinApp* m_app = nullptr;
  std::unique_ptr<CWnd> m_desktop;

  std::map<std::uintptr_t, std::unique_ptr<WindowNode>> m_nodes;
  std::vector<HWND> m_topLevels;  // creation order
  std::uintptr_t m_nextHandle = 0x100;
  HWND m_active = nullptr;

  std::deque<MSG> m_posted;
  std::deque<InputEvent> m_pendingInput;
  bool m_quit = false;
  std::string m_quitReason;
  InputHook m_inputHook;

  struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT periodMs;
    std::uint64_t deadline;
    std::uint64_t order;
  };
  std::vector<Timer> m_timers;
  std::uint64_t m_timerOrder = 0;

  struct TrayIcon {
    TrayId id;
    HWND owner;
    UINT uID;
    UINT callbackMessage;
    CMenu* menu;
    TrayMenu shown;  // the menu as the backend last heard of it
  };
  TrayIcon* FindTrayIcon(HWND owner, UINT uID);
  // Tells the backend of every tray menu that changed since it last heard.
  void SyncTrayMenus();
  bool RouteTrayCommand(const InputEvent& ev, MSG& msg);
  std::vector<TrayIcon> m_trayIcons;
  const MSG* m_current = nullptr;
  int m_modalDepth = 0;

  const PixelImage* m_cursor = nullptr;
  HWND m_hoverTop = nullptr;
  // The top-level window pressed on keeps the mouse until the last button is up, as the server's implicit
  // grab keeps the pointer's events for its X window: a drag goes on wherever the pointer goes.
  HWND m_capture = nullptr;
};

}  // namespace platform

// The desktop as a window, for the window system's own users (the program asks CWnd::GetDesktopWindow).
CWnd* GetDesktopWindow();
