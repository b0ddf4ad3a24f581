// Device contexts that draw into a window on Windows: BeginPaint's for WM_PAINT, GetDC's at any other time.
#include "platform/api/PaintDC.h"
#include "platform/api/Wnd.h"

// The system paints through its own paint structure; there is no drawing target of ours to keep.
struct CPaintDC::Target {};
struct CClientDC::Target {};

CPaintDC::CPaintDC(CWnd* wnd) : m_hWndPaint(wnd ? wnd->m_hWnd : nullptr) {
  if (!m_hWndPaint) return;
  m_hDC = BeginPaint(m_hWndPaint, &m_ps);
  if (m_hDC) SaveDC(m_hDC);
}

CPaintDC::~CPaintDC() {
  if (!m_hWndPaint) return;
  if (m_hDC) RestoreDC(m_hDC, -1);
  EndPaint(m_hWndPaint, &m_ps);
  m_hDC = nullptr;
}

CClientDC::CClientDC(CWnd* wnd) : m_hWndDraw(wnd ? wnd->m_hWnd : nullptr) {
  if (!m_hWndDraw) return;
  m_hDC = GetDC(m_hWndDraw);
  if (m_hDC) SaveDC(m_hDC);
}

CClientDC::~CClientDC() {
  if (!m_hDC) return;
  RestoreDC(m_hDC, -1);
  ReleaseDC(m_hWndDraw, m_hDC);
  m_hDC = nullptr;
}
