// Device contexts that draw into a window: CPaintDC for WM_PAINT, CClientDC at any other time.
#pragma once

#include "platform/core/DC.h"
#include "platform/core/WindowSystem.h"

class CWnd;

struct PAINTSTRUCT {
  RECT rcPaint{};
  BOOL fErase = FALSE;
};

class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* wnd);
  ~CPaintDC() override;
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;

  PAINTSTRUCT m_ps;

 private:
  HWND m_hWndPaint;
  platform::DrawTarget m_target;
};

class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* wnd);
  ~CClientDC() override;
  CClientDC(const CClientDC&) = delete;
  CClientDC& operator=(const CClientDC&) = delete;

 private:
  HWND m_hWndDraw;
  platform::DrawTarget m_target;
};
