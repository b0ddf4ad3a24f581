// CWnd: a window of the program, with its messages, timers, painting and geometry.
#include "platform/api/Wnd.h"

#include "platform/api/PaintDC.h"
#include "platform/api/Region.h"
#include "platform/linux/WindowSystem.h"

using platform::CWindowSystem;

namespace {
// A top-level window created with CW_USEDEFAULT gets this place and size.
constexpr RECT kDefaultRect{0, 0, 640, 480};

RECT ResolveDefaultRect(const RECT& rc) {
  if (rc.left == CW_USEDEFAULT || rc.right == CW_USEDEFAULT) return kDefaultRect;
  return rc;
}
}  // namespace

CWnd::CWnd() = default;

CWnd::~CWnd() {
  if (m_hWnd) {
    if (CWindowSystem* system = CWindowSystem::Current()) system->DestroyWindowNode(m_hWnd);
  }
}

CWnd* GetDesktopWindow() {
  platform::CWindowSystem* system = platform::CWindowSystem::Current();
  return system ? system->Desktop() : nullptr;
}

CWnd* CWnd::GetDesktopWindow() {
  return ::GetDesktopWindow();
}

CWnd* CWnd::FromHandle(HWND hwnd) {
  CWindowSystem* system = CWindowSystem::Current();
  return system ? system->FromHandle(hwnd) : nullptr;
}

BOOL CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* pParent,
                  UINT nID) {
  if (!pParent || !(style & WS_CHILD)) return CreateEx(0, className, windowName, style, rect, pParent, nID);
  CWindowSystem* system = CWindowSystem::Current();
  if (!system || m_hWnd || !pParent->m_hWnd || !system->IsWindow(pParent->m_hWnd)) return FALSE;
  HWND hwnd = system->CreateWindowNode(this, style, rect, pParent->m_hWnd, nullptr,
                                       platform::SurfaceKind::Plain, windowName ? windowName : "");
  if (!hwnd) return FALSE;
  system->Send(hwnd, WM_CREATE, 0, 0);
  if (system->IsVisible(hwnd)) system->Invalidate(hwnd, nullptr, true);
  return system->IsWindow(hwnd) ? TRUE : FALSE;
}

BOOL CWnd::CreateEx(DWORD, const char*, const char* windowName, DWORD style, const RECT& rect, CWnd* pParent,
                    UINT) {
  CWindowSystem* system = CWindowSystem::Current();
  if (!system || m_hWnd) return FALSE;
  HWND owner = pParent ? system->GetTopLevel(pParent->m_hWnd) : nullptr;
  HWND hwnd = system->CreateWindowNode(this, style & ~WS_VISIBLE, ResolveDefaultRect(rect), nullptr, owner,
                                       platform::SurfaceKind::Plain, windowName ? windowName : "");
  if (!hwnd) return FALSE;
  system->Send(hwnd, WM_CREATE, 0, 0);
  if (style & WS_VISIBLE) ShowWindow(SW_SHOW);
  return system->IsWindow(hwnd) ? TRUE : FALSE;
}

BOOL CWnd::DestroyWindow() {
  CWindowSystem* system = CWindowSystem::Current();
  if (!system || !m_hWnd || !system->IsWindow(m_hWnd)) return FALSE;
  system->DestroyWindowNode(m_hWnd);
  return TRUE;
}

void CWnd::OnNcDestroy() {
  m_hWnd = nullptr;
  m_clientDC.reset();
  PostNcDestroy();
}

DWORD CWnd::GetStyle() const {
  CWindowSystem* system = CWindowSystem::Current();
  return system ? system->GetStyle(m_hWnd) : 0;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT) {
  CWindowSystem* system = CWindowSystem::Current();
  if (!system || !system->IsWindow(m_hWnd)) return FALSE;
  DWORD style = system->GetStyle(m_hWnd);
  DWORD changed = (style & ~remove) | add;
  if (changed == style) return FALSE;
  system->SetStyle(m_hWnd, changed);
  return TRUE;
}

BOOL CWnd::ShowWindow(int nCmdShow) {
  CWindowSystem* system = CWindowSystem::Current();
  if (!system || !system->IsWindow(m_hWnd)) return FALSE;
  DWORD style = system->GetStyle(m_hWnd);
  BOOL wasVisible = (style & WS_VISIBLE) ? TRUE : FALSE;
  bool show = nCmdShow != SW_HIDE;
  if (show == static_cast<bool>(wasVisible)) return wasVisible;
  HWND parent = system->GetParent(m_hWnd);
  RECT rc = system->GetWindowRect(m_hWnd);
  system->SetStyle(m_hWnd, show ? (style | WS_VISIBLE) : (style & ~WS_VISIBLE));
  if (parent) {
    // Showing or hiding a child through ShowWindow repaints the place where it stands.
    POINT origin = system->ClientOrigin(parent);
    CRect local(rc);
    local.OffsetRect(-origin.x, -origin.y);
    system->Invalidate(parent, &local, true);
  } else if (show) {
    system->SetActive(m_hWnd);
  }
  return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
  CWindowSystem* system = CWindowSystem::Current();
  return system && system->IsVisible(m_hWnd) ? TRUE : FALSE;
}

BOOL CWnd::IsWindowEnabled() const {
  CWindowSystem* system = CWindowSystem::Current();
  return system && system->IsEnabled(m_hWnd) ? TRUE : FALSE;
}

BOOL CWnd::EnableWindow(BOOL enable) {
  CWindowSystem* system = CWindowSystem::Current();
  return system && system->Enable(m_hWnd, enable != FALSE) ? TRUE : FALSE;
}

CWnd* CWnd::GetParent() const {
  CWindowSystem* system = CWindowSystem::Current();
  return system ? system->FromHandle(system->GetParent(m_hWnd)) : nullptr;
}

CWnd* CWnd::GetOwner() const {
  CWindowSystem* system = CWindowSystem::Current();
  return system ? system->FromHandle(system->GetOwner(m_hWnd)) : nullptr;
}

void CWnd::SetWindowText(const std::string& text) {
  if (CWindowSystem* system = CWindowSystem::Current()) system->SetText(m_hWnd, text);
}

std::string CWnd::GetWindowText() const {
  CWindowSystem* system = CWindowSystem::Current();
  return system ? system->GetText(m_hWnd) : std::string{};
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  MoveWindow(RECT{x, y, x + width, y + height}, repaint);
}

void CWnd::MoveWindow(const RECT& rect, BOOL repaint) {
  if (CWindowSystem* system = CWindowSystem::Current()) system->MoveWindow(m_hWnd, rect, repaint != FALSE);
}

void CWnd::GetWindowRect(RECT* rect) const {
  CWindowSystem* system = CWindowSystem::Current();
  if (rect) *rect = system ? system->GetWindowRect(m_hWnd) : RECT{};
}

void CWnd::GetClientRect(RECT* rect) const {
  CWindowSystem* system = CWindowSystem::Current();
  if (rect) *rect = system ? system->GetClientRect(m_hWnd) : RECT{};
}

void CWnd::ClientToScreen(POINT* pt) const {
  CWindowSystem* system = CWindowSystem::Current();
  if (!system || !pt) return;
  POINT origin = system->ClientOrigin(m_hWnd);
  pt->x += origin.x;
  pt->y += origin.y;
}

void CWnd::ScreenToClient(POINT* pt) const {
  CWindowSystem* system = CWindowSystem::Current();
  if (!system || !pt) return;
  POINT origin = system->ClientOrigin(m_hWnd);
  pt->x -= origin.x;
  pt->y -= origin.y;
}

int CWnd::SetWindowRgn(CRgn* region, BOOL redraw) {
  CWindowSystem* system = CWindowSystem::Current();
  if (!system || !system->IsWindow(m_hWnd)) return 0;
  std::unique_ptr<CRgn> owned;
  if (region) owned = std::make_unique<CRgn>(std::move(*region));
  system->SetShape(m_hWnd, std::move(owned), redraw != FALSE);
  return 1;
}

void CWnd::InvalidateRect(const RECT* rect, BOOL erase) {
  if (CWindowSystem* system = CWindowSystem::Current()) system->Invalidate(m_hWnd, rect, erase != FALSE);
}

void CWnd::ValidateRect(const RECT*) {
  if (CWindowSystem* system = CWindowSystem::Current()) system->Validate(m_hWnd);
}

void CWnd::UpdateWindow() {
  CWindowSystem* system = CWindowSystem::Current();
  if (!system || !system->IsWindow(m_hWnd)) return;
  system->Send(m_hWnd, WM_PAINT, 0, 0);
  system->Validate(m_hWnd);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  CWindowSystem* system = CWindowSystem::Current();
  return system && system->Post(m_hWnd, message, wParam, lParam) ? TRUE : FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  CWindowSystem* system = CWindowSystem::Current();
  return system ? system->Send(m_hWnd, message, wParam, lParam) : 0;
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs, void*) {
  CWindowSystem* system = CWindowSystem::Current();
  return system ? system->SetTimer(m_hWnd, id, elapseMs) : 0;
}

BOOL CWnd::KillTimer(UINT_PTR id) {
  CWindowSystem* system = CWindowSystem::Current();
  return system && system->KillTimer(m_hWnd, id) ? TRUE : FALSE;
}

CWnd* CWnd::SetActiveWindow() {
  CWindowSystem* system = CWindowSystem::Current();
  if (!system) return nullptr;
  CWnd* previous = system->FromHandle(system->GetActive());
  system->SetActive(m_hWnd);
  return previous;
}

BOOL CWnd::SetForegroundWindow() {
  CWindowSystem* system = CWindowSystem::Current();
  if (!system || !system->IsWindow(m_hWnd)) return FALSE;
  system->SetActive(m_hWnd);
  return TRUE;
}

LRESULT CWnd::Default() {
  CWindowSystem* system = CWindowSystem::Current();
  const MSG* msg = system ? system->CurrentMessage() : nullptr;
  if (!msg) return 0;
  return DefWindowProc(msg->message, msg->wParam, msg->lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  CWindowSystem* system = CWindowSystem::Current();
  if (!system) return 0;
  switch (message) {
    case WM_SETCURSOR: {
      // The parent has the first say over the cursor of its children.
      HWND parent = system->GetParent(m_hWnd);
      if (parent && system->Send(parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
      system->SetCursor(m_hClassCursor ? m_hClassCursor : LoadStandardCursor(IDC_ARROW));
      return FALSE;
    }
    case WM_PAINT: {
      // Like the desktop's default, a paint is begun and ended, which erases the background when asked.
      CPaintDC dc(this);
      return 0;
    }
    case WM_CLOSE: DestroyWindow(); return 0;
    case WM_SETICON: {
      HICON icon = reinterpret_cast<HICON>(lParam);
      HICON& slot = wParam == ICON_BIG ? m_bigIcon : m_smallIcon;
      HICON previous = slot;
      slot = icon;
      std::vector<platform::PixelImage> images;
      for (HICON each : {m_bigIcon, m_smallIcon}) {
        if (each) images.insert(images.end(), each->images.begin(), each->images.end());
      }
      system->SetIcons(m_hWnd, images);
      return reinterpret_cast<LRESULT>(previous);
    }
    default: return 0;
  }
}

// The context of a WM_ERASEBKGND: the program's window system sends the paint's own CDC.
LRESULT CWnd::EraseBackground(WPARAM wParam) {
  return OnEraseBkgnd(reinterpret_cast<CDC*>(wParam));
}
