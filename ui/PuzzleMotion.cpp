// CPuzzleDlg's motion: the drop-in from the top of the screen and the exit off its bottom edge.
#include "platform/api/Runtime.h"
#include "res/ResourceIds.h"
#include "ui/PuzzleDlg.h"

namespace {

constexpr DWORD kExitStepMs = 100;
// Halving a distance of any int takes at most 32 steps; a window manager that keeps altering the moves
// cannot hold an animation longer than this.
constexpr int kMaxSteps = 40;

// The primary monitor on the screen; its origin is not (0, 0) where another monitor lies left of or above it.
RECT DesktopRect() {
  RECT screen{};
  if (CWnd* desktop = CWnd::GetDesktopWindow()) desktop->GetWindowRect(&screen);
  return screen;
}

}  // namespace

// Each step covers half of the distance left, counted from wherever the window stands now, so a window
// dragged during the drop-in goes on from where it was put.
//
// Coming from above the window stops one pixel short of the target or on it. Coming from below (it was
// dragged there, or the screen is lower than the window) it would never meet that test: the halved step
// is cut towards zero, so the last pixel is never covered and the window stays one pixel below the target
// for good. So the drop-in also ends at the first step that no longer moves the window, which from above
// happens only where the first test already holds. A window manager may refuse or alter the moves (keep
// the window on the screen, snap it to an edge): the drop-in then ends once the window stands where the
// previous step found it, and in any case after kMaxSteps. Once it has arrived its timer stops, so that
// an idle program does not wake for nothing.
void CPuzzleDlg::DropInStep() {
  if (!m_bDropIn) return;
  RECT frame;
  GetFrameRect(&frame);
  const RECT screen = DesktopRect();
  const int target = screen.top + ((screen.bottom - screen.top) / 2 - frame.bottom / 2);
  RECT rc;
  GetWindowRect(&rc);
  const bool held = m_nLastDropTop && *m_nLastDropTop == rc.top;
  const int newTop = rc.top + (target - rc.top) / 2;
  if (!held) {
    MoveWindow(rc.left, newTop, rc.right - rc.left, rc.bottom - rc.top, TRUE);
    RECT client;
    GetClientRect(&client);
    SetRoundShape(client.right, client.bottom);
  }
  m_nLastDropTop = rc.top;
  ++m_nDropSteps;

  const bool arrived =
      held || newTop == target || newTop + 1 == target || newTop == rc.top || m_nDropSteps >= kMaxSteps;
  if (arrived) {
    m_bDropIn = FALSE;
    KillTimer(TIMER_DROP);
  } else {
    SetTimer(TIMER_DROP, kDropPeriodMs);
  }
}

// Holds the thread until the window has dropped off the bottom of the primary monitor, then ends the
// dialog through its cancel path. No message is taken meanwhile; the end is posted, so it runs after the
// handler that called this has returned. The wait comes between steps, never after the last.
//
// A window manager may keep the window from leaving the screen (it refuses the last steps, or keeps a
// strip of it visible); the window rectangle tells where the window really stands, so a step that finds
// the window where the previous one did ends the animation there, and kMaxSteps bounds it whatever the
// window manager does.
void CPuzzleDlg::AnimateExit() {
  std::optional<int> lastTop;
  for (int step = 1;; ++step) {
    const RECT screen = DesktopRect();
    RECT frame;
    GetFrameRect(&frame);
    RECT rc;
    GetWindowRect(&rc);
    if (lastTop && *lastTop == rc.top) break;
    const int newTop = rc.top + (screen.bottom - rc.top) / 2;
    MoveWindow(rc.left, newTop, frame.right, rc.bottom - rc.top, TRUE);
    RECT client;
    GetClientRect(&client);
    SetRoundShape(client.right, client.bottom);
    if (newTop + 1 >= screen.bottom || step >= kMaxSteps) break;
    lastTop = rc.top;
    Sleep(kExitStepMs);
  }
  PostMessage(WM_COMMAND, IDCANCEL, 0);
}

// An open About box ends first: its modal loop returns, and the exit then runs from the main window's own
// loop, so that the program ends.
void CPuzzleDlg::OnExit() {
  if (m_pAboutDlg) {
    m_pAboutDlg->EndDialog(IDCANCEL);
    PostMessage(WM_COMMAND, ID_EXIT, 0);
    return;
  }
  AnimateExit();
}
