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
  HWND top = TopLevelForSurface(ev.surface);
  WindowNode* node = Node(top);
  if (!node || !(node->style & WS_VISIBLE)) return false;
  m_hoverTop = top;
  // Points are measured from where the screen shows the window (its rectangle follows the window
  // manager's moves). A drag that moves the window by the pointer's offset from this same rectangle stays
  // under the pointer even while the window manager lags behind. There is no capture, so a point outside
  // the window or its shape reaches nobody.
  POINT pt{ev.root.x - node->rect.left, ev.root.y - node->rect.top};
  if (!HasShapePoint(top, pt)) return false;
  if (!IsEnabled(top)) {
    // A press on a window that waits for its modal box brings the box forward.
    if (ev.type == EventType::MouseDown) SetActive(top);
    return false;
  }
  HWND target = DeepestChildAt(top, pt);
  POINT origin = ClientOrigin(target);
  POINT client{ev.root.x - origin.x, ev.root.y - origin.y};
  UINT message = ev.type == EventType::MouseMove ? WM_MOUSEMOVE : MouseMessage(ev);
  if (message == WM_NULL) return false;
  Send(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(HTCLIENT, message));
  if (!IsWindow(target)) return false;
  msg.hwnd = target;
  msg.message = message;
  msg.wParam = ev.keys;
  msg.lParam = MAKELPARAM(client.x, client.y);
  return true;
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
