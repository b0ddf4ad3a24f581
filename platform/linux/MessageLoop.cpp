// The message queue: posting and sending, the order in which messages are taken, timers, and modal loops.
#include <algorithm>

#include "platform/api/Wnd.h"
#include "platform/linux/WindowNode.h"
#include "platform/linux/WindowSystem.h"

namespace platform {

namespace {
// Like the desktop's own timers, none fires more often than every 10 ms.
constexpr UINT kMinimumTimerMs = 10;
}  // namespace

bool CWindowSystem::Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!IsWindow(hwnd)) return false;
  MSG msg;
  msg.hwnd = hwnd;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = TickCount();
  m_posted.push_back(msg);
  return true;
}

LRESULT CWindowSystem::Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = FromHandle(hwnd);
  if (!wnd || !IsWindow(hwnd)) return 0;
  MSG msg;
  msg.hwnd = hwnd;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  const MSG* saved = m_current;
  m_current = &msg;
  // The window object may be gone when the handler returns (a frame deletes itself), so it is not touched
  // again.
  LRESULT result = wnd->WindowProc(message, wParam, lParam);
  m_current = saved;
  return result;
}

bool CWindowSystem::GetMessage(MSG& msg) {
  for (;;) {
    if (m_quit) return false;
    if (!m_posted.empty()) {
      msg = m_posted.front();
      m_posted.pop_front();
      return true;
    }
    if (!m_pendingInput.empty()) {
      InputEvent ev = std::move(m_pendingInput.front());
      m_pendingInput.pop_front();
      if (TakeInput(ev, msg)) return true;
      continue;
    }
    // Input that is already there comes before painting and timers. The places the window manager gave
    // our windows come in first, so that the input lands where the screen shows them.
    auto ev = m_backend.WaitEvent(m_backend.NowMs());
    TakeSurfaceMoves();
    if (ev) {
      m_pendingInput.push_back(std::move(*ev));
      continue;
    }
    if (WindowNode* node = FindPaintCandidate()) {
      msg = MSG{};
      msg.hwnd = node->handle;
      msg.message = WM_PAINT;
      msg.time = TickCount();
      return true;
    }
    if (NextTimer(msg)) return true;
    SyncTrayMenus();
    FlushDamage();
    m_backend.Flush();
    auto next = m_backend.WaitEvent(NextTimerDeadline());
    TakeSurfaceMoves();
    if (next) m_pendingInput.push_back(std::move(*next));
  }
}

bool CWindowSystem::PreTranslate(MSG& msg) {
  for (HWND hwnd = msg.hwnd; hwnd; hwnd = GetParent(hwnd)) {
    CWnd* wnd = FromHandle(hwnd);
    if (wnd && wnd->PreTranslateMessage(&msg)) return true;
    if (!IsWindow(hwnd)) return true;
  }
  return false;
}

void CWindowSystem::Dispatch(const MSG& msg) {
  if (!IsWindow(msg.hwnd)) return;
  CWnd* wnd = FromHandle(msg.hwnd);
  const MSG* saved = m_current;
  m_current = &msg;
  wnd->WindowProc(msg.message, msg.wParam, msg.lParam);
  m_current = saved;
  // A paint handler that did not paint must not be asked again and again.
  if (msg.message == WM_PAINT) Validate(msg.hwnd);
}

bool CWindowSystem::RunModalLoop(const std::function<bool()>& done) {
  ++m_modalDepth;
  bool running = true;
  while (running && !done()) {
    MSG msg;
    running = GetMessage(msg);
    if (running && !PreTranslate(msg)) Dispatch(msg);
  }
  --m_modalDepth;
  return running;
}

std::vector<UINT_PTR> CWindowSystem::TimersOf(HWND hwnd) const {
  std::vector<UINT_PTR> ids;
  for (const Timer& timer : m_timers) {
    if (timer.hwnd == hwnd) ids.push_back(timer.id);
  }
  return ids;
}

UINT_PTR CWindowSystem::SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs) {
  if (!IsWindow(hwnd) || id == 0) return 0;
  UINT period = std::max(elapseMs, kMinimumTimerMs);
  std::uint64_t deadline = m_backend.NowMs() + period;
  for (Timer& timer : m_timers) {
    if (timer.hwnd == hwnd && timer.id == id) {
      timer.periodMs = period;
      timer.deadline = deadline;
      return id;
    }
  }
  m_timers.push_back(Timer{hwnd, id, period, deadline, m_timerOrder++});
  return id;
}

bool CWindowSystem::KillTimer(HWND hwnd, UINT_PTR id) {
  auto it = std::find_if(m_timers.begin(), m_timers.end(),
                         [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  if (it == m_timers.end()) return false;
  m_timers.erase(it);
  return true;
}

bool CWindowSystem::NextTimer(MSG& msg) {
  std::uint64_t now = m_backend.NowMs();
  Timer* due = nullptr;
  for (Timer& timer : m_timers) {
    if (timer.deadline > now) continue;
    if (!due || timer.deadline < due->deadline ||
        (timer.deadline == due->deadline && timer.order < due->order)) {
      due = &timer;
    }
  }
  if (!due) return false;
  // Ticks never pile up: a late tick is one tick, and the next comes a full period after it was taken.
  due->deadline = now + due->periodMs;
  msg = MSG{};
  msg.hwnd = due->hwnd;
  msg.message = WM_TIMER;
  msg.wParam = due->id;
  msg.time = static_cast<DWORD>(now);
  return true;
}

std::optional<std::uint64_t> CWindowSystem::NextTimerDeadline() const {
  std::optional<std::uint64_t> next;
  for (const Timer& timer : m_timers) {
    if (!next || timer.deadline < *next) next = timer.deadline;
  }
  return next;
}

DWORD CWindowSystem::TickCount() {
  return static_cast<DWORD>(m_backend.NowMs());
}

void CWindowSystem::Sleep(DWORD ms) {
  // Whatever was moved or drawn before the wait is shown before it.
  FlushDamage();
  m_backend.Sleep(ms);
  // A loop that sleeps between moves takes no messages, but must still see where its window really went.
  TakeSurfaceMoves();
}

}  // namespace platform
