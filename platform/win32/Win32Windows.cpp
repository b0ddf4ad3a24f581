// The program's windows as the system sees them: a window class of ours and the dialog manager's, one window
// procedure that hands each message to its CWnd, and the walk that lets windows look at a message before it
// is dispatched.
#include "platform/win32/Win32Windows.h"

#include <unordered_map>

#include "platform/api/Wnd.h"
#include "platform/win32/Win32Icons.h"

namespace platform {

namespace {

std::unordered_map<HWND, CWnd*>& Windows() {
  static std::unordered_map<HWND, CWnd*> windows;
  return windows;
}

// The atom of the system's dialog class, "#32770".
constexpr ULONG_PTR kDialogClassAtom = 0x8002;

INT_PTR CALLBACK NoDialogProcedure(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

HHOOK g_adopting = nullptr;

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
}

// The window the dialog manager creates first is the dialog (its controls come after it has had its first
// messages); it is given our window procedure before its first message, which binds it to its CWnd.
LRESULT CALLBACK CWin32Windows::AdoptDialog(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && s_creating) {
    SetWindowLongPtrW(reinterpret_cast<HWND>(wParam), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure));
  }
  return CallNextHookEx(g_adopting, code, wParam, lParam);
}

HWND CWin32Windows::CreateDialogFor(CWnd* wnd, UINT id, HWND owner) {
  g_adopting = SetWindowsHookExW(WH_CBT, AdoptDialog, nullptr, GetCurrentThreadId());
  Creating(wnd);
  HWND hwnd =
      CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), owner, NoDialogProcedure, 0);
  Creating(nullptr);
  UnhookWindowsHookEx(g_adopting);
  g_adopting = nullptr;
  return hwnd;
}

CWnd* CWin32Windows::Find(HWND hwnd) {
  auto it = Windows().find(hwnd);
  return it == Windows().end() ? nullptr : it->second;
}

bool CWin32Windows::IsDialog(HWND hwnd) {
  return hwnd && GetClassLongPtrW(hwnd, GCW_ATOM) == kDialogClassAtom;
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
  // The program gives a window one icon for both sizes; the small one is the icon's own small picture.
  if (message == WM_SETICON && wParam == ICON_SMALL) {
    lParam = reinterpret_cast<LPARAM>(SmallIconOf(reinterpret_cast<HICON>(lParam)));
  }
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
