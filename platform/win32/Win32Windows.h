// The program's windows as the system sees them: a window class of ours and the dialog manager's, one window
// procedure that hands each message to its CWnd, and the walk that lets windows look at a message before it
// is dispatched.
#pragma once

#include "platform/api/Types.h"

class CWnd;

namespace platform {

class CWin32Windows {
 public:
  // Registers the window class once per process.
  static void Register();
  static const wchar_t* WindowClass() { return L"TilvaneWindow"; }
  // The dialog manager makes the dialog of the module's template `id` for `wnd`, of the system's dialog
  // class; the window procedure is ours from its first message on. Null when there is no such template.
  static HWND CreateDialogFor(CWnd* wnd, UINT id, HWND owner);

  // The window created next on this thread belongs to `wnd`; its first message binds the two.
  static void Creating(CWnd* wnd) { s_creating = wnd; }
  static CWnd* Find(HWND hwnd);
  static bool IsDialog(HWND hwnd);
  // The default handling of a message for a window of ours (DefDlgProc for dialogs).
  static LRESULT DefaultProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // The message's window and then its parents may take it (PreTranslateMessage); true when one did.
  static bool PreTranslate(MSG& msg);
  // Gets and dispatches messages until `done` says so; false when WM_QUIT came (it is posted again).
  template <typename Done>
  static bool PumpUntil(Done done) {
    MSG msg;
    while (!done()) {
      if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
      }
      if (PreTranslate(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    return true;
  }

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK AdoptDialog(int code, WPARAM wParam, LPARAM lParam);
  static CWnd* Bind(HWND hwnd);
  static void FollowButtons(HWND hwnd, UINT message, WPARAM wParam);

  static inline CWnd* s_creating = nullptr;
};

}  // namespace platform
