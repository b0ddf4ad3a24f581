// One run of the whole program on a headless screen, fed the soak's events one at a time whenever it has
// nothing left to do, with the invariants checked before each next event and once more after its end.
#include "SoakRunner.h"

#include <functional>
#include <utility>

#include "SoakInvariants.h"
#include "app/PuzzleApp.h"
#include "platform/linux/AfxWinMain.h"
#include "platform/linux/WindowSystem.h"
#include "platform/linux/headless/HeadlessBackend.h"
#include "res/ResourceIds.h"
#include "res/TilvaneResources.h"
#include "ui/PuzzleDlg.h"

namespace soak {

namespace {

using platform::CHeadlessBackend;
using platform::SurfaceKind;

// Asks for the next event only when the program has nothing to do: no input, no paint, no timer due. So
// every event finds the program at rest, and every paint and tick it causes has run before the checks.
class CSoakBackend : public CHeadlessBackend {
 public:
  explicit CSoakBackend(std::function<void()> onIdle) : m_onIdle(std::move(onIdle)) {}

  std::optional<platform::InputEvent> WaitEvent(std::optional<std::uint64_t> deadlineMs) override {
    const bool polling = deadlineMs && *deadlineMs <= NowMs();
    if (!polling && ScriptDone()) m_onIdle();
    return CHeadlessBackend::WaitEvent(deadlineMs);
  }

 private:
  std::function<void()> m_onIdle;
};

// A run asks the program to end after its events; this many rounds of Escape and exit must do it.
constexpr int kFinishRounds = 12;

const CHeadlessBackend::Surface* TopmostOfKind(const CHeadlessBackend& backend, SurfaceKind kind) {
  const CHeadlessBackend::Surface* found = nullptr;
  for (const auto* s : backend.VisibleSurfaces()) {
    if (s->desc.kind == kind) found = s;
  }
  return found;
}

POINT At(const RECT& rc, int a, int b) {
  return POINT{rc.left + static_cast<LONG>((rc.right - rc.left) * static_cast<long>(a) / 1000),
               rc.top + static_cast<LONG>((rc.bottom - rc.top) * static_cast<long>(b) / 1000)};
}

POINT Centre(const RECT& rc, POINT origin) {
  return POINT{origin.x + (rc.left + rc.right) / 2, origin.y + (rc.top + rc.bottom) / 2};
}

class CRun {
 public:
  explicit CRun(std::span<const Event> events) : m_events(events) {}

  RunResult Go() {
    std::string reason;
    const int status = AfxWinMain(m_app, m_backend, TilvaneResources(), &reason);
    if (!m_failure) CheckEnd(status, reason);
    return RunResult{m_next, m_failure};
  }

 private:
  void Fail(std::string what) { m_failure = Failure{m_next > 0 ? m_next - 1 : 0, std::move(what)}; }

  void OnIdle() {
    // Once something failed the run feeds nothing more, and the program ends for want of input.
    if (m_failure) return;
    platform::CWindowSystem* system = platform::CWindowSystem::Current();
    CPuzzleDlg* dlg = m_app.GetPuzzleDlg();
    if (!system || !dlg || !dlg->m_hWnd) return Fail("the program waits for input without its main window");
    if (auto broken = CheckInvariants(*dlg, *system, m_backend, m_memory)) return Fail(*broken);
    if (m_next < m_events.size()) {
      Feed(m_events[m_next++], *dlg, *system);
    } else {
      AskToEnd(*dlg, *system);
    }
  }

  void AskToEnd(CPuzzleDlg& dlg, platform::CWindowSystem& system) {
    if (++m_finishRounds > kFinishRounds) return Fail("the program did not end when asked");
    if (TopmostOfKind(m_backend, SurfaceKind::PopupMenu)) {
      m_backend.Key(VK_ESCAPE);
    } else if (const auto* box = TopmostOfKind(m_backend, SurfaceKind::Dialog)) {
      m_backend.Close(box->id);
    } else if (system.ModalDepth() > 1 || !dlg.IsWindowEnabled()) {
      m_backend.Key(VK_ESCAPE);
    } else {
      m_backend.Call([&dlg] { dlg.PostMessage(WM_COMMAND, ID_EXIT, 0); });
    }
  }

  void Feed(const Event& e, CPuzzleDlg& dlg, platform::CWindowSystem& system) {
    switch (e.kind) {
      case Kind::Press: m_backend.MouseDown(Resolve(e, dlg), e.button); return;
      case Kind::Release: m_backend.MouseUp(Resolve(e, dlg), e.button); return;
      case Kind::Move: m_backend.MouseMove(Resolve(e, dlg)); return;
      case Kind::Key: m_backend.Key(static_cast<UINT>(e.a)); return;
      case Kind::Tray: m_backend.TrayMouse(static_cast<UINT>(e.a)); return;
      case Kind::CloseMain: return CloseSurface(SurfaceKind::Plain);
      case Kind::CloseDialog: return CloseSurface(SurfaceKind::Dialog);
      case Kind::Command:
        // Commands come from the menu or a header button, so only while the main window takes input.
        if (system.ModalDepth() == 1 && dlg.IsWindowEnabled()) {
          m_backend.Call([&dlg, id = e.a] { dlg.PostMessage(WM_COMMAND, static_cast<WPARAM>(id), 0); });
        } else {
          m_backend.Call([] {});
        }
        return;
      case Kind::Wait: m_backend.Wait(static_cast<std::uint64_t>(e.a)); return;
      case Kind::DestroyMenu: m_backend.DestroyElsewhere(SurfaceKind::PopupMenu); return;
      case Kind::DestroyAbout: m_backend.DestroyElsewhere(SurfaceKind::Dialog); return;
      case Kind::DestroyMain:
        m_destroyedMain = true;
        m_backend.DestroyElsewhere(SurfaceKind::Plain);
        return;
    }
  }

  void CloseSurface(SurfaceKind kind) {
    const CHeadlessBackend::Surface* surface = TopmostOfKind(m_backend, kind);
    if (surface) {
      m_backend.Close(surface->id);
    } else {
      m_backend.Call([] {});
    }
  }

  POINT Resolve(const Event& e, CPuzzleDlg& dlg) {
    RECT window;
    dlg.GetWindowRect(&window);
    const POINT origin{window.left, window.top};
    switch (e.target) {
      case Target::Cell:
        if (dlg.m_tileRects.empty()) break;
        return Centre(dlg.m_tileRects[static_cast<std::size_t>(e.a) % dlg.m_tileRects.size()], origin);
      case Target::Button:
        return Centre(dlg.m_rcButtons[static_cast<std::size_t>(e.a) % dlg.m_rcButtons.size()], origin);
      case Target::Menu:
        if (const auto* menu = TopmostOfKind(m_backend, SurfaceKind::PopupMenu))
          return At(menu->rect, e.a, e.b);
        break;
      case Target::Dialog:
        if (const auto* box = TopmostOfKind(m_backend, SurfaceKind::Dialog)) return At(box->rect, e.a, e.b);
        break;
      case Target::Screen: return At(m_backend.ScreenRect(), e.a, e.b);
      case Target::Window: break;
    }
    return At(window, e.a, e.b);
  }

  // The program ended: by itself (an exit, a close request), because it lost its window, or because the run
  // asked it to. Whichever way, nothing of it may be left on the screen or in the tray.
  void CheckEnd(int status, const std::string& reason) {
    if (!m_backend.VisibleSurfaces().empty()) return Fail("a window is still on the screen after the end");
    if (!m_backend.TrayIcons().empty()) return Fail("the tray icon is still there after the end");
    if (reason.empty()) {
      if (status != 0) Fail("the program ended with status " + std::to_string(status));
      return;
    }
    if (!(m_destroyedMain && reason.find("destroyed the window") != std::string::npos)) {
      Fail("the program quit: " + reason);
    }
  }

  std::span<const Event> m_events;
  CSoakBackend m_backend{[this] { OnIdle(); }};
  CPuzzleApp m_app;
  std::size_t m_next = 0;
  int m_finishRounds = 0;
  bool m_destroyedMain = false;
  GameMemory m_memory;
  std::optional<Failure> m_failure;
};

}  // namespace

RunResult RunProgram(std::span<const Event> events) {
  CRun run(events);
  return run.Go();
}

}  // namespace soak
