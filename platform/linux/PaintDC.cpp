// Device contexts that draw into a window: CPaintDC for WM_PAINT, CClientDC at any other time.
#include "platform/api/PaintDC.h"

#include "platform/api/Wnd.h"
#include "platform/linux/CairoHandles.h"
#include "platform/linux/WindowSystem.h"

namespace {

void AttachTarget(CDC& dc, const platform::DrawTarget& target) {
  dc.AttachSurface(platform::HandleOf(target.surface), target.origin, platform::HandleOf(target.clip));
}

}  // namespace

struct CPaintDC::Target : platform::DrawTarget {};
struct CClientDC::Target : platform::DrawTarget {};

CPaintDC::CPaintDC(CWnd* wnd)
    : m_hWndPaint(wnd ? wnd->m_hWnd : nullptr), m_pTarget(std::make_unique<Target>()) {
  platform::CWindowSystem* system = platform::CWindowSystem::Current();
  if (!system || !m_hWndPaint) return;
  if (!system->BeginPaint(m_hWndPaint, *m_pTarget, m_ps.rcPaint)) return;
  AttachTarget(*this, *m_pTarget);
  m_ps.fErase = m_pTarget->erase ? TRUE : FALSE;
  if (m_pTarget->erase) wnd->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(static_cast<CDC*>(this)));
}

CPaintDC::~CPaintDC() {
  DetachSurface();
  if (platform::CWindowSystem* system = platform::CWindowSystem::Current()) {
    system->ReleaseDrawTarget(m_hWndPaint, *m_pTarget);
  }
}

CClientDC::CClientDC(CWnd* wnd)
    : m_hWndDraw(wnd ? wnd->m_hWnd : nullptr), m_pTarget(std::make_unique<Target>()) {
  platform::CWindowSystem* system = platform::CWindowSystem::Current();
  // A window that has never been shown has no pixels yet; drawing into it does nothing.
  if (!system || !m_hWndDraw || !system->IsVisible(m_hWndDraw)) return;
  if (system->GetDrawTarget(m_hWndDraw, *m_pTarget)) AttachTarget(*this, *m_pTarget);
}

CClientDC::~CClientDC() {
  DetachSurface();
  if (platform::CWindowSystem* system = platform::CWindowSystem::Current()) {
    system->ReleaseDrawTarget(m_hWndDraw, *m_pTarget);
  }
}
