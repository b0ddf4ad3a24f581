// The X11 backend's event loop: waiting on the connection, translating X events, time and sleeping.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <vector>

#include "platform/linux/x11/MonotonicClock.h"
#include "platform/linux/x11/X11Backend.h"
#include "platform/linux/x11/X11Connection.h"
#include "platform/linux/x11/X11Input.h"
#include "platform/linux/x11/X11NotificationArea.h"
#include "platform/linux/x11/X11Surface.h"

namespace platform {

namespace {

Time TimeOf(const XEvent& event) {
  switch (event.type) {
    case ButtonPress:
    case ButtonRelease: return event.xbutton.time;
    case MotionNotify: return event.xmotion.time;
    case KeyPress:
    case KeyRelease: return event.xkey.time;
    default: return CurrentTime;
  }
}

// Folds a run of queued moves over the same window into the last one, as Windows does with
// WM_MOUSEMOVE: a drag follows the pointer instead of replaying its path.
void SkipToLastMove(Display* dpy, XEvent& event) {
  while (XEventsQueued(dpy, QueuedAlready) > 0) {
    XEvent next;
    XPeekEvent(dpy, &next);
    if (next.type != MotionNotify || next.xmotion.window != event.xmotion.window ||
        next.xmotion.state != event.xmotion.state)
      return;
    XNextEvent(dpy, &event);
  }
}

}  // namespace

std::optional<InputEvent> CX11Backend::WaitEvent(std::optional<std::uint64_t> deadlineMs) {
  Display* dpy = m_connection->Dpy();
  for (;;) {
    if (m_connection->Lost()) {
      InputEvent quit;
      quit.type = EventType::Quit;
      quit.reason = m_connection->LostReason();
      return quit;
    }
    // XPending sends what we asked for and reads what has arrived, without blocking.
    while (!m_connection->Lost() && XPending(dpy) > 0) {
      if (auto event = DispatchNextEvent()) return event;
    }
    // Every event that came before the errors received so far has been read now.
    m_connection->ReportErrors();
    if (m_connection->Lost()) continue;
    // Requests that came over the session bus, after the X events that came before them.
    if (auto event = m_tray->TakeEvent()) return event;
    const std::uint64_t now = NowMs();
    if (deadlineMs && now >= *deadlineMs) return std::nullopt;
    // The program's deadline, or the tray's bus work if that comes first; the tray never makes us return.
    std::optional<std::uint64_t> wakeMs = deadlineMs;
    if (auto busMs = m_tray->DeadlineMs()) wakeMs = wakeMs ? std::min(*wakeMs, *busMs) : *busMs;
    int timeout = -1;
    if (wakeMs)
      timeout = static_cast<int>(std::min<std::uint64_t>(*wakeMs > now ? *wakeMs - now : 0, INT_MAX));
    std::vector<pollfd> fds{{ConnectionNumber(dpy), POLLIN, 0}};
    m_tray->AddPollFds(fds);
    // A server that goes away wakes the poll too; the next XPending then finds the connection lost.
    if (poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) {
      InputEvent quit;
      quit.type = EventType::Quit;
      quit.reason = "cannot wait on the X connection";
      return quit;
    }
    m_tray->ProcessBus(fds);
  }
}

std::optional<InputEvent> CX11Backend::DispatchNextEvent() {
  Display* dpy = m_connection->Dpy();
  XEvent event;
  XNextEvent(dpy, &event);
  // Any client can forge an event with any time; only the server's own say what time it is.
  if (!event.xany.send_event) m_connection->NoteEventTime(TimeOf(event));

  if (m_connection->NoteMonitorChange(event)) return std::nullopt;
  // Any client may send any client message to any window. Every one the backend understands carries 32-bit
  // data, so one of another format is not read at all: its bytes could otherwise pass for an atom.
  if (event.type == ClientMessage && event.xclient.format != 32) return std::nullopt;

  std::optional<InputEvent> out;
  if (m_tray->HandleEvent(event, out)) return out;
  if (event.type == MappingNotify) {
    XRefreshKeyboardMapping(&event.xmapping);
    return std::nullopt;
  }

  SurfaceId id = 0;
  x11::CX11Surface* surface = nullptr;
  // A DestroyNotify names the destroyed window in its own field; xany.window is the one it was reported on.
  const Window window = event.type == DestroyNotify ? event.xdestroywindow.window : event.xany.window;
  for (auto& [surfaceId, candidate] : m_surfaces)
    if (candidate->Handle() == window && !candidate->DestroyedElsewhere()) {
      id = surfaceId;
      surface = candidate.get();
      break;
    }
  if (!surface) return std::nullopt;

  if ((event.type == ButtonPress || event.type == KeyPress) && !event.xany.send_event)
    surface->SetUserTime(TimeOf(event));
  if (auto placed = surface->OnStructureEvent(event)) {
    m_placements[id] = *placed;
    return std::nullopt;
  }

  InputEvent input;
  input.surface = id;
  switch (event.type) {
    case Expose:
      // Answered from our own copy: the program is not asked to paint again.
      surface->OnExpose(event.xexpose);
      return std::nullopt;
    case ButtonPress:
    case ButtonRelease: {
      const XButtonEvent& button = event.xbutton;
      if (!x11::IsMouseButton(button.button)) return std::nullopt;  // the wheel
      const bool pressed = event.type == ButtonPress;
      input.type = pressed ? EventType::MouseDown : EventType::MouseUp;
      input.root = {button.x_root, button.y_root};
      input.local = {button.x, button.y};
      input.button = static_cast<int>(button.button);
      input.keys = x11::MouseKeysAfterButton(button.state, button.button, pressed);
      return input;
    }
    case MotionNotify:
      SkipToLastMove(dpy, event);
      input.type = EventType::MouseMove;
      input.root = {event.xmotion.x_root, event.xmotion.y_root};
      input.local = {event.xmotion.x, event.xmotion.y};
      input.keys = x11::MouseKeysFromState(event.xmotion.state);
      return input;
    case KeyPress: {
      // Level 0 of the key: the code names the key, not the character Shift would make of it.
      input.vk = x11::VirtualKeyFromKeysym(XLookupKeysym(&event.xkey, 0));
      if (!input.vk) return std::nullopt;
      input.type = EventType::KeyDown;
      input.root = {event.xkey.x_root, event.xkey.y_root};
      input.local = {event.xkey.x, event.xkey.y};
      input.keys = x11::MouseKeysFromState(event.xkey.state);
      return input;
    }
    case DestroyNotify: {
      // Ours are destroyed only after they have left m_surfaces, so this one went at another client's hand.
      surface->OnDestroyedElsewhere();
      m_connection->NoteDestroyedElsewhere(window);
      char reason[96];
      std::snprintf(reason, sizeof reason, "another X client destroyed window 0x%lx", window);
      input.type = EventType::Destroyed;
      input.reason = reason;
      return input;
    }
    case ClientMessage: {
      const x11::X11Atoms& atoms = m_connection->Atoms();
      if (event.xclient.message_type != atoms.wmProtocols) return std::nullopt;
      const auto protocol = static_cast<Atom>(event.xclient.data.l[0]);
      if (protocol == atoms.wmDeleteWindow) {
        input.type = EventType::Close;
        return input;
      }
      if (protocol == atoms.netWmPing) {
        // Answering the window manager's ping tells it we are alive and keeps it from offering to kill us.
        event.xclient.window = m_connection->Root();
        XSendEvent(dpy, m_connection->Root(), False, SubstructureNotifyMask | SubstructureRedirectMask,
                   &event);
      }
      return std::nullopt;
    }
    default: return std::nullopt;
  }
}

std::uint64_t CX11Backend::NowMs() {
  return x11::MonotonicMs();
}

void CX11Backend::Sleep(std::uint32_t ms) {
  Flush();
  timespec remaining{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1'000'000L};
  while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
  // A loop that sleeps between moves reads no events, but must learn where the window manager put its
  // window meanwhile.
  TakeQueuedPlacements();
}

void CX11Backend::TakeQueuedPlacements() {
  if (m_connection->Lost()) return;
  Display* dpy = m_connection->Dpy();
  XPending(dpy);  // reads what has arrived, without blocking
  auto isPlacement = [](Display*, XEvent* event, XPointer self) -> Bool {
    if (event->type != ConfigureNotify && event->type != ReparentNotify && event->type != MapNotify)
      return False;
    for (const auto& [id, surface] : reinterpret_cast<CX11Backend*>(self)->m_surfaces)
      if (surface->Handle() == event->xany.window) return True;
    return False;
  };
  XEvent event;
  while (!m_connection->Lost() && XCheckIfEvent(dpy, &event, isPlacement, reinterpret_cast<XPointer>(this))) {
    for (auto& [id, surface] : m_surfaces) {
      if (surface->Handle() != event.xany.window) continue;
      if (auto placed = surface->OnStructureEvent(event)) m_placements[id] = *placed;
      break;
    }
  }
}

// Only sends what is queued: a round trip here would wake the server every time the program goes idle.
void CX11Backend::Flush() {
  if (m_connection->Lost()) return;
  // A surface that was shown but painted nothing appears now, as it is.
  for (auto& [id, surface] : m_surfaces) surface->MapIfPending();
  XFlush(m_connection->Dpy());
}

std::string CX11Backend::DisplayLost() {
  // A round trip is the only way to learn that the server has gone; it marks the connection lost if so.
  Flush();
  if (!m_connection->Lost()) XSync(m_connection->Dpy(), False);
  return m_connection->Lost() ? m_connection->LostReason() : std::string{};
}

}  // namespace platform
