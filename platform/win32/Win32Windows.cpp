// The program's windows as the system sees them: two window classes, one window procedure that hands each
// message to its CWnd, and the walk that lets windows look at a message before it is dispatched.
#include "platform/win32/Win32Windows.h"

#include <unordered_map>

#include "platform/api/Wnd.h"

namespace platform {

namespace {

std::unordered_map<HWND, CWnd*>& Windows() {
  static std::unordered_map<HWND, CWnd*> windows;
  return windows;
}

ATOM g_dialogAtom = 0;

}  // namespace

void CWin32Windows::Register() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  // No CS_DBLCLKS: a quick second click on a tile is a click of its own, not a double click.
  wc.lpfnWndProc = Procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = WindowClass();
  RegisterClassExW(&wc);
  wc.cbWndExtra = DLGWINDOWEXTRA;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
  wc.lpszClassName = DialogClass();
  g_dialogAtom = RegisterClassExW(&wc);
}

CWnd* CWin32Windows::Find(HWND hwnd) {
  auto it = Windows().find(hwnd);
  return it == Windows().end() ? nullptr : it->second;
}

bool CWin32Windows::IsDialog(HWND hwnd) {
  return hwnd && g_dialogAtom && GetClassLongPtrW(hwnd, GCW_ATOM) == g_dialogAtom;
}

LRESULT CWin32Windows::DefaultProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return IsDialog(hwnd) ? DefDlgProcW(hwnd, message, wParam, lParam)
                        : DefWindowProcW(hwnd, message, wParam, lParam);
}

CWnd* CWin32Windows::Bind(HWND hwnd) {
  CWnd* wnd = s_creating;
  s_creating = nullptr;
  wnd->m_hWnd = hwnd;
  Windows()[hwnd] = wnd;
  return wnd;
}

// Like the desktop the program was first written for, a window pressed on keeps the mouse until the last
// button is up, so that a drag goes on wherever the pointer goes.
void CWin32Windows::FollowButtons(HWND hwnd, UINT message, WPARAM wParam) {
  if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
    if (!GetCapture()) SetCapture(hwnd);
  } else if (message == WM_LBUTTONUP || message == WM_RBUTTONUP) {
    if (!(wParam & (MK_LBUTTON | MK_RBUTTON)) && GetCapture() == hwnd) ReleaseCapture();
  }
}

LRESULT CALLBACK CWin32Windows::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = Find(hwnd);
  if (!wnd && s_creating) wnd = Bind(hwnd);
  if (!wnd) return DefaultProcedure(hwnd, message, wParam, lParam);

  if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) FollowButtons(hwnd, message, wParam);
  MSG msg{};
  msg.hwnd = hwnd;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  const MSG* outer = CWndDelivery::SetCurrentMessage(*wnd, &msg);
  const LRESULT result = wnd->WindowProc(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    Windows().erase(hwnd);
    CWndDelivery::WindowGone(*wnd);  // may delete the object
    return result;
  }
  CWndDelivery::SetCurrentMessage(*wnd, outer);
  if (message == WM_LBUTTONUP || message == WM_RBUTTONUP) FollowButtons(hwnd, message, wParam);
  return result;
}

bool CWin32Windows::PreTranslate(MSG& msg) {
  for (HWND hwnd = msg.hwnd; hwnd;
       hwnd = (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) ? GetParent(hwnd) : nullptr) {
    CWnd* wnd = Find(hwnd);
    if (wnd && wnd->PreTranslateMessage(&msg)) return true;
  }
  return false;
}

}  // namespace platform
