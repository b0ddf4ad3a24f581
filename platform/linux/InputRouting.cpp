// Turns the backend's input events into window messages: mouse to the deepest window under the point, keys to
// the active window.
#include <algorithm>

#include "platform/api/Wnd.h"
#include "platform/linux/WindowNode.h"
#include "platform/linux/WindowSystem.h"

namespace platform {

namespace {
UINT MouseMessage(const InputEvent& ev) {
  bool down = ev.type == EventType::MouseDown;
  switch (ev.button) {
    case 1: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case 2: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    case 3: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    default: return WM_NULL;
  }
}

// The cursor that stands for the desktop's own arrow.
const PixelImage kArrowCursor{};
}  // namespace

bool CWindowSystem::TakeInput(const InputEvent& ev, MSG& msg) {
  if (ev.type == EventType::Quit) {
    m_quit = true;
    m_quitReason = ev.reason;
    return false;
  }
  if (ev.type == EventType::Destroyed) {
    TakeDestroyed(ev);
    return false;
  }
  if (m_inputHook && ev.type != EventType::Woken) {
    m_inputHook(ev);
    return false;
  }
  msg = MSG{};
  msg.time = TickCount();
  msg.pt = ev.root;
  switch (ev.type) {
    case EventType::MouseDown:
    case EventType::MouseUp:
    case EventType::MouseMove: return RouteMouse(ev, msg);
    case EventType::KeyDown: {
      HWND target = ActivationTarget(IsWindow(m_active) ? m_active : TopLevelForSurface(ev.surface));
      if (!target || !IsEnabled(target)) return false;
      msg.hwnd = target;
      msg.message = WM_KEYDOWN;
      msg.wParam = ev.vk;
      msg.lParam = 1;
      return true;
    }
    case EventType::Close: {
      HWND target = TopLevelForSurface(ev.surface);
      // A window that waits for a dialog of its own cannot be closed meanwhile.
      if (!target || !IsEnabled(target)) return false;
      msg.hwnd = target;
      msg.message = WM_CLOSE;
      return true;
    }
    case EventType::TrayMouse: {
      auto it = std::find_if(m_trayIcons.begin(), m_trayIcons.end(),
                             [&](const TrayIcon& t) { return t.id == ev.tray; });
      if (it == m_trayIcons.end() || !IsWindow(it->owner)) return false;
      msg.hwnd = it->owner;
      msg.message = it->callbackMessage;
      msg.wParam = it->uID;
      msg.lParam = static_cast<LPARAM>(ev.trayMessage);
      return true;
    }
    case EventType::TrayCommand: return RouteTrayCommand(ev, msg);
    case EventType::Woken:
    case EventType::Destroyed:
    case EventType::Quit: return false;
  }
  return false;
}

// The window is gone from the screen for good, so it ends the way the user would have ended it: a tracked
// menu closes, a dialog over a window that still shows is cancelled (and its owner is usable again), and a
// window with nothing of the program left under it was the program's only way to the user, which then
// ends and says why.
void CWindowSystem::TakeDestroyed(const InputEvent& ev) {
  HWND top = TopLevelForSurface(ev.surface);
  WindowNode* node = Node(top);
  if (!node) return;
  node->surface = 0;
  node->hasDamage = false;
  m_backend.DestroySurface(ev.surface);
  if (m_inputHook) m_inputHook(ev);
  if (node->kind == SurfaceKind::PopupMenu) return;
  WindowNode* owner = Node(node->owner);
  if (owner && owner->surface && (owner->style & WS_VISIBLE)) {
    Post(top, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  m_quit = true;
  m_quitReason =
      (ev.reason.empty() ? "another program destroyed the window" : ev.reason) + " \"" + node->text + "\"";
}

bool CWindowSystem::RouteMouse(const InputEvent& ev, MSG& msg) {
  if (m_capture) return RouteToCapture(ev, msg);
  HWND top = TopLevelForSurface(ev.surface);
  WindowNode* node = Node(top);
  if (!node || !(node->style & WS_VISIBLE)) return false;
  m_hoverTop = top;
  // Points are the display's own, measured from the window's corner wherever the window really stands: a
  // window manager that refused or altered a move, and told us nothing, still gets every click right. With
  // no button held, a point outside the window or its shape reaches nobody.
  const POINT pt = ev.local;
  if (!HasShapePoint(top, pt)) return false;
  if (!IsEnabled(top)) {
    // A press on a window that waits for its modal box brings the box forward.
    if (ev.type == EventType::MouseDown) SetActive(top);
    return false;
  }
  HWND target = DeepestChildAt(top, pt);
  const POINT client = FromTopLevel(target, top, pt);
  UINT message = ev.type == EventType::MouseMove ? WM_MOUSEMOVE : MouseMessage(ev);
  if (message == WM_NULL) return false;
  Send(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(HTCLIENT, message));
  if (!IsWindow(target)) return false;
  // A tile keeps no mouse: moves over the rim after a press on one reach the window beneath, as they did.
  if (ev.type == EventType::MouseDown && target == top) m_capture = top;
  msg.hwnd = target;
  msg.message = message;
  msg.wParam = ev.keys;
  msg.lParam = MAKELPARAM(client.x, client.y);
  return true;
}

// Everything the mouse does while a button is held after a press on a window goes to that window, outside
// it and its shape too, in its own client coordinates (negative ones included); the last release ends it.
bool CWindowSystem::RouteToCapture(const InputEvent& ev, MSG& msg) {
  HWND captured = m_capture;
  WindowNode* node = Node(captured);
  const bool buttonsLeft = (ev.keys & (MK_LBUTTON | MK_MBUTTON | MK_RBUTTON)) != 0;
  if (ev.type == EventType::MouseUp && !buttonsLeft) m_capture = nullptr;
  if (!node || !(node->style & WS_VISIBLE) || !IsEnabled(captured)) {
    m_capture = nullptr;
    return false;
  }
  m_hoverTop = captured;
  UINT message = ev.type == EventType::MouseMove ? WM_MOUSEMOVE : MouseMessage(ev);
  if (message == WM_NULL) return false;
  // The display reports a held button's moves on the window that took the press, wherever the pointer is.
  POINT client = ev.local;
  if (TopLevelForSurface(ev.surface) != captured) {
    const POINT origin = ClientOrigin(captured);
    client = POINT{ev.root.x - origin.x, ev.root.y - origin.y};
  }
  Send(captured, WM_SETCURSOR, reinterpret_cast<WPARAM>(captured), MAKELPARAM(HTCLIENT, message));
  if (!IsWindow(captured)) return false;
  msg.hwnd = captured;
  msg.message = message;
  msg.wParam = ev.keys;
  msg.lParam = MAKELPARAM(client.x, client.y);
  return true;
}

// A point in the top-level window's own coordinates, seen from one of its descendants.
POINT CWindowSystem::FromTopLevel(HWND hwnd, HWND top, POINT pt) const {
  const POINT origin = ClientOrigin(hwnd);
  const POINT topOrigin = ClientOrigin(top);
  return POINT{pt.x - (origin.x - topOrigin.x), pt.y - (origin.y - topOrigin.y)};
}

HWND CWindowSystem::DeepestChildAt(HWND hwnd, POINT pt) const {
  WindowNode* node = Node(hwnd);
  if (!node) return hwnd;
  for (auto it = node->children.rbegin(); it != node->children.rend(); ++it) {
    WindowNode* child = Node(*it);
    if (!child || !(child->style & WS_VISIBLE) || (child->style & WS_DISABLED)) continue;
    if (!CRect(child->rect).PtInRect(pt)) continue;
    return DeepestChildAt(child->handle, POINT{pt.x - child->rect.left, pt.y - child->rect.top});
  }
  return hwnd;
}

void CWindowSystem::SetCursor(const PixelImage* cursor) {
  if (cursor == m_cursor) return;
  m_cursor = cursor;
  WindowNode* top = Node(m_hoverTop);
  if (top && top->surface) m_backend.SetCursor(top->surface, cursor == &kArrowCursor ? nullptr : cursor);
}

POINT CWindowSystem::CursorPos() {
  return m_backend.CursorPos();
}

}  // namespace platform

HCURSOR LoadStandardCursor(UINT) {
  return &platform::kArrowCursor;
}
