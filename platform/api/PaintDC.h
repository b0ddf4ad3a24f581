// Device contexts that draw into a window: CPaintDC for WM_PAINT, CClientDC at any other time.
#pragma once

#include <memory>

#include "platform/api/DC.h"

class CWnd;

class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* wnd);
  ~CPaintDC() override;
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;

  PAINTSTRUCT m_ps;

 private:
  // Where the implementation has the context draw, defined by it (the system paints on its own on Windows).
  struct Target;
  HWND m_hWndPaint;
  std::unique_ptr<Target> m_pTarget;
};

class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* wnd);
  ~CClientDC() override;
  CClientDC(const CClientDC&) = delete;
  CClientDC& operator=(const CClientDC&) = delete;

 private:
  struct Target;  // as CPaintDC's
  HWND m_hWndDraw;
  std::unique_ptr<Target> m_pTarget;
};
