// CPuzzleDlg's motion: the drop-in from the top of the screen and the exit off its bottom edge.
#include "platform/core/WindowSystem.h"
#include "ui/PuzzleDlg.h"

namespace {

constexpr DWORD kExitStepMs = 100;

int ScreenHeight() {
  RECT screen{};
  if (CWnd* desktop = GetDesktopWindow()) desktop->GetClientRect(&screen);
  return screen.bottom - screen.top;
}

}  // namespace

// Each step covers half of the distance left, counted from wherever the window stands now, so a window
// dragged during the drop-in goes on from where it was put.
//
// Coming from above the window stops one pixel short of the target or on it. Coming from below (it was
// dragged there, or the screen is lower than the window) it would never meet that test: the halved step
// is cut towards zero, so the last pixel is never covered and the window stays one pixel below the target
// for good. So the drop-in also ends at the first step that no longer moves the window, which from above
// happens only where the first test already holds. Once it has arrived its timer stops, so that an idle
// program does not wake for nothing.
void CPuzzleDlg::DropInStep() {
  if (!m_bDropIn) return;
  RECT frame;
  GetFrameRect(&frame);
  const int target = ScreenHeight() / 2 - frame.bottom / 2;
  RECT rc;
  GetWindowRect(&rc);
  const int newTop = rc.top + (target - rc.top) / 2;
  MoveWindow(rc.left, newTop, rc.right - rc.left, rc.bottom - rc.top, TRUE);
  RECT client;
  GetClientRect(&client);
  SetRoundShape(client.right, client.bottom);

  const bool arrived = newTop == target || newTop + 1 == target || newTop == rc.top;
  if (arrived) {
    m_bDropIn = FALSE;
    KillTimer(TIMER_DROP);
  } else {
    SetTimer(TIMER_DROP, kDropPeriodMs);
  }
}

// Holds the thread until the window has dropped off the bottom of the screen, then ends the dialog
// through its cancel path. No message is taken meanwhile; the end is posted, so it runs after the handler
// that called this has returned. The wait comes between steps, never after the last.
void CPuzzleDlg::AnimateExit() {
  for (;;) {
    const int screenHeight = ScreenHeight();
    RECT frame;
    GetFrameRect(&frame);
    RECT rc;
    GetWindowRect(&rc);
    const int newTop = rc.top + (screenHeight - rc.top) / 2;
    MoveWindow(rc.left, newTop, frame.right, rc.bottom - rc.top, TRUE);
    RECT client;
    GetClientRect(&client);
    SetRoundShape(client.right, client.bottom);
    if (newTop + 1 >= screenHeight) {
      PostMessage(WM_COMMAND, IDCANCEL, 0);
      return;
    }
    Sleep(kExitStepMs);
  }
}

void CPuzzleDlg::OnExit() {
  AnimateExit();
}
