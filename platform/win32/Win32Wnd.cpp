// CWnd on Windows: a window of the program is an HWND of our window class; the system keeps its geometry,
// styles, timers and painting, and its messages reach the handlers through one window procedure.
#include <memory>

#include "platform/api/PaintDC.h"
#include "platform/api/Region.h"
#include "platform/api/Wnd.h"
#include "platform/win32/SystemDC.h"
#include "platform/win32/Utf16.h"
#include "platform/win32/Win32Windows.h"

using platform::CWin32Windows;

namespace {

// The desktop as a CWnd that never destroys the system's window.
class CDesktopWnd : public CWnd {
 public:
  CDesktopWnd() { m_hWnd = ::GetDesktopWindow(); }
  ~CDesktopWnd() override { m_hWnd = nullptr; }
};

HWND TopLevelOf(HWND hwnd) {
  return hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
}

}  // namespace

CWnd::CWnd() = default;

CWnd::~CWnd() {
  if (m_hWnd && IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

CWnd* CWnd::FromHandle(HWND hwnd) {
  return CWin32Windows::Find(hwnd);
}

CWnd* CWnd::GetDesktopWindow() {
  static CDesktopWnd desktop;
  return &desktop;
}

BOOL CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* pParent,
                  UINT nID) {
  if (!pParent || !(style & WS_CHILD)) return CreateEx(0, className, windowName, style, rect, pParent, nID);
  if (m_hWnd || !pParent->m_hWnd) return FALSE;
  CWin32Windows::Register();
  CWin32Windows::Creating(this);
  HWND hwnd = CreateWindowExW(
      0, CWin32Windows::WindowClass(), platform::Widen(windowName ? windowName : "").c_str(), style,
      rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, pParent->m_hWnd,
      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), GetModuleHandleW(nullptr), nullptr);
  CWin32Windows::Creating(nullptr);
  return hwnd ? TRUE : FALSE;
}

BOOL CWnd::CreateEx(DWORD exStyle, const char*, const char* windowName, DWORD style, const RECT& rect,
                    CWnd* pParent, UINT) {
  if (m_hWnd) return FALSE;
  CWin32Windows::Register();
  const bool useDefault = rect.left == CW_USEDEFAULT || rect.right == CW_USEDEFAULT;
  CWin32Windows::Creating(this);
  HWND hwnd = CreateWindowExW(
      exStyle, CWin32Windows::WindowClass(), platform::Widen(windowName ? windowName : "").c_str(), style,
      useDefault ? CW_USEDEFAULT : rect.left, useDefault ? CW_USEDEFAULT : rect.top,
      useDefault ? CW_USEDEFAULT : rect.right - rect.left,
      useDefault ? CW_USEDEFAULT : rect.bottom - rect.top, pParent ? TopLevelOf(pParent->m_hWnd) : nullptr,
      nullptr, GetModuleHandleW(nullptr), nullptr);
  CWin32Windows::Creating(nullptr);
  return hwnd ? TRUE : FALSE;
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd || !IsWindow(m_hWnd)) return FALSE;
  return ::DestroyWindow(m_hWnd);
}

void CWnd::OnNcDestroy() {
  m_hWnd = nullptr;
  m_pCurrentMsg = nullptr;
  m_clientDC.reset();
  PostNcDestroy();
}

DWORD CWnd::GetStyle() const {
  return m_hWnd ? static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_STYLE)) : 0;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) {
  if (!m_hWnd) return FALSE;
  const DWORD style = GetStyle();
  const DWORD changed = (style & ~remove) | add;
  if (changed == style) return FALSE;
  SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(changed));
  if (flags) {
    SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
  }
  return TRUE;
}

BOOL CWnd::ShowWindow(int nCmdShow) {
  return m_hWnd ? ::ShowWindow(m_hWnd, nCmdShow) : FALSE;
}

BOOL CWnd::IsWindowVisible() const {
  return m_hWnd ? ::IsWindowVisible(m_hWnd) : FALSE;
}

BOOL CWnd::IsWindowEnabled() const {
  return m_hWnd ? ::IsWindowEnabled(m_hWnd) : FALSE;
}

BOOL CWnd::EnableWindow(BOOL enable) {
  return m_hWnd ? ::EnableWindow(m_hWnd, enable) : FALSE;
}

// Only a child has a parent; the system's GetParent would name a popup's owner.
CWnd* CWnd::GetParent() const {
  if (!m_hWnd || !(GetStyle() & WS_CHILD)) return nullptr;
  return FromHandle(GetAncestor(m_hWnd, GA_PARENT));
}

CWnd* CWnd::GetOwner() const {
  return m_hWnd ? FromHandle(GetWindow(m_hWnd, GW_OWNER)) : nullptr;
}

void CWnd::SetWindowText(const std::string& text) {
  if (m_hWnd) SetWindowTextW(m_hWnd, platform::Widen(text).c_str());
}

std::string CWnd::GetWindowText() const {
  if (!m_hWnd) return {};
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()))));
  return platform::Narrow(text);
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  if (m_hWnd) ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}

void CWnd::MoveWindow(const RECT& rect, BOOL repaint) {
  MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
}

void CWnd::GetWindowRect(RECT* rect) const {
  if (!rect) return;
  *rect = RECT{};
  if (m_hWnd) ::GetWindowRect(m_hWnd, rect);
}

void CWnd::GetClientRect(RECT* rect) const {
  if (!rect) return;
  *rect = RECT{};
  if (m_hWnd) ::GetClientRect(m_hWnd, rect);
}

void CWnd::ClientToScreen(POINT* pt) const {
  if (m_hWnd && pt) ::ClientToScreen(m_hWnd, pt);
}

void CWnd::ScreenToClient(POINT* pt) const {
  if (m_hWnd && pt) ::ScreenToClient(m_hWnd, pt);
}

// The system takes the region over, as the program's own window system does.
int CWnd::SetWindowRgn(CRgn* region, BOOL redraw) {
  if (!m_hWnd) return 0;
  return ::SetWindowRgn(m_hWnd, region ? region->Detach() : nullptr, redraw);
}

void CWnd::InvalidateRect(const RECT* rect, BOOL erase) {
  if (m_hWnd) ::InvalidateRect(m_hWnd, rect, erase);
}

void CWnd::ValidateRect(const RECT* rect) {
  if (m_hWnd) ::ValidateRect(m_hWnd, rect);
}

void CWnd::UpdateWindow() {
  if (m_hWnd) ::UpdateWindow(m_hWnd);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return m_hWnd ? PostMessageW(m_hWnd, message, wParam, lParam) : FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return m_hWnd ? SendMessageW(m_hWnd, message, wParam, lParam) : 0;
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs, void*) {
  return m_hWnd ? ::SetTimer(m_hWnd, id, elapseMs, nullptr) : 0;
}

BOOL CWnd::KillTimer(UINT_PTR id) {
  return m_hWnd ? ::KillTimer(m_hWnd, id) : FALSE;
}

CWnd* CWnd::SetActiveWindow() {
  return m_hWnd ? FromHandle(::SetActiveWindow(m_hWnd)) : nullptr;
}

BOOL CWnd::SetForegroundWindow() {
  return m_hWnd ? ::SetForegroundWindow(m_hWnd) : FALSE;
}

LRESULT CWnd::Default() {
  if (!m_pCurrentMsg) return 0;
  return DefWindowProc(m_pCurrentMsg->message, m_pCurrentMsg->wParam, m_pCurrentMsg->lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!m_hWnd) return 0;
  const LRESULT result = CWin32Windows::DefaultProcedure(m_hWnd, message, wParam, lParam);
  // Our classes carry no cursor: a window that no parent answered for shows its own, or the arrow.
  if (message == WM_SETCURSOR && !result && LOWORD(static_cast<UINT_PTR>(lParam)) == HTCLIENT) {
    ::SetCursor(m_hClassCursor ? m_hClassCursor : ::LoadCursorA(nullptr, IDC_ARROW));
  }
  return result;
}

// The context of a WM_ERASEBKGND: the system's HDC, borrowed for the handler.
LRESULT CWnd::EraseBackground(WPARAM wParam) {
  platform::CSystemDC dc(reinterpret_cast<HDC>(wParam));
  return OnEraseBkgnd(&dc);
}
