// CWnd's messages: how each reaches its handler, and what the handlers do when a window leaves them alone.
#include <memory>

#include "platform/api/PaintDC.h"
#include "platform/api/Wnd.h"

HICON CWnd::SetIcon(HICON icon, BOOL big) {
  return reinterpret_cast<HICON>(
      SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

CDC* CWnd::GetDC() {
  m_clientDC = std::make_unique<CClientDC>(this);
  return m_clientDC.get();
}

int CWnd::ReleaseDC(CDC* dc) {
  if (!dc || dc != m_clientDC.get()) return 0;
  m_clientDC.reset();
  return 1;
}

BOOL CWnd::PreTranslateMessage(MSG*) {
  return FALSE;
}

BOOL CWnd::OnCmdMsg(UINT) {
  return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
  return OnCmdMsg(LOWORD(wParam));
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return Dispatch(message, wParam, lParam);
}

LRESULT CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  UINT flags = static_cast<UINT>(wParam);
  switch (message) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return EraseBackground(wParam);
    case WM_LBUTTONDOWN: OnLButtonDown(flags, point); return 0;
    case WM_LBUTTONUP: OnLButtonUp(flags, point); return 0;
    case WM_RBUTTONDOWN: OnRButtonDown(flags, point); return 0;
    case WM_RBUTTONUP: OnRButtonUp(flags, point); return 0;
    case WM_MOUSEMOVE: OnMouseMove(flags, point); return 0;
    case WM_SETCURSOR:
      return OnSetCursor(FromHandle(reinterpret_cast<HWND>(wParam)),
                         LOWORD(static_cast<std::uintptr_t>(lParam)),
                         HIWORD(static_cast<std::uintptr_t>(lParam)));
    case WM_KEYDOWN:
      OnKeyDown(flags, LOWORD(static_cast<std::uintptr_t>(lParam)),
                HIWORD(static_cast<std::uintptr_t>(lParam)));
      return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_QUERYDRAGICON: return reinterpret_cast<LRESULT>(OnQueryDragIcon());
    case WM_COMMAND:
      if (OnCommand(wParam, lParam)) return 0;
      return DefWindowProc(message, wParam, lParam);
    default: return DefWindowProc(message, wParam, lParam);
  }
}

void CWnd::OnPaint() {
  Default();
}

BOOL CWnd::OnEraseBkgnd(CDC*) {
  return static_cast<BOOL>(Default());
}

void CWnd::OnLButtonDown(UINT, CPoint) {
  Default();
}

void CWnd::OnLButtonUp(UINT, CPoint) {
  Default();
}

void CWnd::OnRButtonDown(UINT, CPoint) {
  Default();
}

void CWnd::OnRButtonUp(UINT, CPoint) {
  Default();
}

void CWnd::OnMouseMove(UINT, CPoint) {
  Default();
}

BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) {
  return static_cast<BOOL>(Default());
}

void CWnd::OnKeyDown(UINT, UINT, UINT) {
  Default();
}

void CWnd::OnTimer(UINT_PTR) {
  Default();
}

void CWnd::OnDestroy() {
  Default();
}

void CWnd::OnClose() {
  Default();
}

HCURSOR CWnd::OnQueryDragIcon() {
  return nullptr;
}
