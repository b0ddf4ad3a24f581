// Device contexts that draw into a window: CPaintDC for WM_PAINT, CClientDC at any other time.
#include "platform/core/PaintDC.h"

#include "platform/core/Wnd.h"

CPaintDC::CPaintDC(CWnd* wnd) : m_hWndPaint(wnd ? wnd->m_hWnd : nullptr) {
  platform::CWindowSystem* system = platform::CWindowSystem::Current();
  if (!system || !m_hWndPaint) return;
  if (!system->BeginPaint(m_hWndPaint, m_target, m_ps.rcPaint)) return;
  AttachSurface(m_target.surface, m_target.origin, m_target.clip);
  m_ps.fErase = m_target.erase ? TRUE : FALSE;
  if (m_target.erase) wnd->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(static_cast<CDC*>(this)));
}

CPaintDC::~CPaintDC() {
  DetachSurface();
  if (platform::CWindowSystem* system = platform::CWindowSystem::Current()) {
    system->ReleaseDrawTarget(m_hWndPaint, m_target);
  }
}

CClientDC::CClientDC(CWnd* wnd) : m_hWndDraw(wnd ? wnd->m_hWnd : nullptr) {
  platform::CWindowSystem* system = platform::CWindowSystem::Current();
  // A window that has never been shown has no pixels yet; drawing into it does nothing.
  if (!system || !m_hWndDraw || !system->IsVisible(m_hWndDraw)) return;
  if (system->GetDrawTarget(m_hWndDraw, m_target)) {
    AttachSurface(m_target.surface, m_target.origin, m_target.clip);
  }
}

CClientDC::~CClientDC() {
  DetachSurface();
  if (platform::CWindowSystem* system = platform::CWindowSystem::Current()) {
    system->ReleaseDrawTarget(m_hWndDraw, m_target);
  }
}
