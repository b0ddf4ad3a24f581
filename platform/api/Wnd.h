// CWnd: a window of the program, with its messages, timers, painting and geometry.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "platform/api/Cursor.h"
#include "platform/api/Types.h"

class CDC;
class CRgn;
namespace platform {
class CWndDelivery;
}  // namespace platform

class CWnd {
 public:
  CWnd();
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }
  static CWnd* FromHandle(HWND hwnd);
  // The desktop (its window rectangle: the primary monitor).
  static CWnd* GetDesktopWindow();

  // A child window (WS_CHILD) inside the parent, or a top-level window when there is no parent.
  BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* pParent,
              UINT nID);
  // A top-level window; CW_USEDEFAULT in the rectangle picks a default place and size.
  BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, const RECT& rect,
                CWnd* pParent, UINT nID);
  virtual BOOL DestroyWindow();

  DWORD GetStyle() const;
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
  BOOL ShowWindow(int nCmdShow);
  BOOL IsWindowVisible() const;
  BOOL IsWindowEnabled() const;
  BOOL EnableWindow(BOOL enable = TRUE);
  CWnd* GetParent() const;
  CWnd* GetOwner() const;
  void SetWindowText(const std::string& text);
  std::string GetWindowText() const;

  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  void MoveWindow(const RECT& rect, BOOL repaint = TRUE);
  void GetWindowRect(RECT* rect) const;
  void GetClientRect(RECT* rect) const;
  void ClientToScreen(POINT* pt) const;
  void ScreenToClient(POINT* pt) const;
  // The window takes the region as its shape; the caller's object is left empty.
  int SetWindowRgn(CRgn* region, BOOL redraw);

  void InvalidateRect(const RECT* rect, BOOL erase = TRUE);
  void Invalidate(BOOL erase = TRUE) { InvalidateRect(nullptr, erase); }
  void ValidateRect(const RECT* rect);
  void UpdateWindow();

  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

  UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs, void* callback = nullptr);
  BOOL KillTimer(UINT_PTR id);

  CWnd* SetActiveWindow();
  BOOL SetForegroundWindow();
  HICON SetIcon(HICON icon, BOOL big);

  CDC* GetDC();
  int ReleaseDC(CDC* dc);

  virtual BOOL PreTranslateMessage(MSG* msg);
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Handles a command id (from WM_COMMAND); TRUE when the window has a handler for it.
  virtual BOOL OnCmdMsg(UINT nID);

 protected:
  // The default handling of the message being dispatched now.
  LRESULT Default();
  virtual void PostNcDestroy() {}
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

  virtual void OnPaint();
  virtual BOOL OnEraseBkgnd(CDC* dc);
  virtual void OnLButtonDown(UINT flags, CPoint point);
  virtual void OnLButtonUp(UINT flags, CPoint point);
  virtual void OnRButtonDown(UINT flags, CPoint point);
  virtual void OnRButtonUp(UINT flags, CPoint point);
  virtual void OnMouseMove(UINT flags, CPoint point);
  virtual BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  virtual void OnKeyDown(UINT nChar, UINT repeat, UINT flags);
  virtual void OnTimer(UINT_PTR id);
  virtual void OnDestroy();
  virtual void OnClose();
  virtual HCURSOR OnQueryDragIcon();

  HCURSOR m_hClassCursor = nullptr;  // shown when neither the window nor its parents set one

 private:
  friend class platform::CWndDelivery;
  void OnNcDestroy();
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT EraseBackground(WPARAM wParam);

  const MSG* m_pCurrentMsg = nullptr;
  std::unique_ptr<CDC> m_clientDC;
  HICON m_bigIcon = nullptr;
  HICON m_smallIcon = nullptr;
};

namespace platform {

// What only the window system that delivers a window's messages does to it: it says which message is being
// dispatched (Default handles that one) and that the window is gone (after WM_NCDESTROY).
class CWndDelivery {
 public:
  // Returns the message dispatched before, for the caller to put back when this one is done.
  static const MSG* SetCurrentMessage(CWnd& wnd, const MSG* msg) {
    return std::exchange(wnd.m_pCurrentMsg, msg);
  }
  // The object may be deleted by this (a frame deletes itself).
  static void WindowGone(CWnd& wnd) { wnd.OnNcDestroy(); }
};

}  // namespace platform
