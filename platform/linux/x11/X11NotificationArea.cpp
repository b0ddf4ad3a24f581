// Chooses, for each tray icon, between the StatusNotifierItem and the XEmbed icon, and turns the desktop's
// requests over the bus into the mouse activity the program knows from the XEmbed icon.
#include "platform/linux/x11/X11NotificationArea.h"
#include "platform/linux/x11/MonotonicClock.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <ctime>

namespace platform::x11 {

namespace {

// How long a watcher that has not listed the item yet keeps the icon from the system tray.
constexpr std::uint64_t kPatienceMs = 2000;

// The item's Id: the name in lower case, with dashes for anything but letters and digits ("Tilvane" →
// "tilvane"), as desktop files and settings keys have it.
std::string IdFromName(const std::string& name) {
  std::string id;
  for (unsigned char c : name) id += std::isalnum(c) ? static_cast<char>(std::tolower(c)) : '-';
  return id;
}

InputEvent TrayEvent(TrayId id, UINT message, POINT root, int button) {
  InputEvent event;
  event.type = EventType::TrayMouse;
  event.tray = id;
  event.trayMessage = message;
  event.root = root;
  event.button = button;
  return event;
}

}  // namespace

CX11NotificationArea::CX11NotificationArea(CX11Connection& connection)
    : m_connection(connection), m_xembed(connection) {
  // Until the program names itself the executable's name stands in, as it does in a process list.
  SetProgramName(program_invocation_short_name);
}

CX11NotificationArea::~CX11NotificationArea() = default;

void CX11NotificationArea::SetProgramName(const std::string& name) {
  m_identity = {IdFromName(name), name};
}

TrayId CX11NotificationArea::Add(const std::vector<PixelImage>& images) {
  const TrayId id = m_nextId++;
  Icon& icon = m_icons[id];
  icon.images = images;
  icon.item = CStatusNotifierItem::Connect(m_identity, images, nullptr);
  icon.patientUntilMs = MonotonicMs() + kPatienceMs;
  Reconcile(icon);
  return id;
}

void CX11NotificationArea::SetMenu(TrayId id, const TrayMenu& menu) {
  auto found = m_icons.find(id);
  if (found == m_icons.end()) return;
  if (found->second.item) found->second.item->SetMenu(menu);
}

void CX11NotificationArea::Remove(TrayId id) {
  auto found = m_icons.find(id);
  if (found == m_icons.end()) return;
  if (found->second.xembed) m_xembed.Remove(found->second.xembed);
  m_icons.erase(found);
  std::erase_if(m_events, [id](const InputEvent& event) { return event.tray == id; });
}

bool CX11NotificationArea::HandleEvent(const XEvent& event, std::optional<InputEvent>& out) {
  if (!m_xembed.HandleEvent(event, out)) return false;
  if (out && out->type == EventType::TrayMouse) {
    // The XEmbed side numbers its icons itself; the program knows ours.
    auto owner = std::find_if(m_icons.begin(), m_icons.end(),
                              [&](const auto& entry) { return entry.second.xembed == out->tray; });
    if (owner == m_icons.end())
      out.reset();
    else
      out->tray = owner->first;
  }
  return true;
}

void CX11NotificationArea::Reconcile(Icon& icon) {
  bool wantXembed = true;
  if (icon.item) {
    switch (icon.item->GetState()) {
      case CStatusNotifierItem::State::Registered: wantXembed = false; break;
      case CStatusNotifierItem::State::Starting:
        // While a watcher is being asked, whatever shows now stays; at first nothing, for a moment.
        wantXembed = icon.xembed != 0 || MonotonicMs() >= icon.patientUntilMs;
        break;
      case CStatusNotifierItem::State::Unregistered:
      case CStatusNotifierItem::State::Lost: break;
    }
  }
  if (wantXembed && !icon.xembed) icon.xembed = m_xembed.Add(icon.images);
  if (!wantXembed && icon.xembed) {
    m_xembed.Remove(icon.xembed);
    icon.xembed = 0;
  }
}

void CX11NotificationArea::DropLostItem(Icon& icon) {
  if (!m_busLossReported) {
    // Said once, however many icons there are: the program goes on, with its icon in the system tray.
    std::fprintf(stderr, "%s: lost the session bus (%s); the tray icon moves to the system tray\n",
                 m_identity.id.c_str(), icon.item->LostReason().c_str());
    m_busLossReported = true;
  }
  icon.item.reset();
}

void CX11NotificationArea::AddPollFds(std::vector<pollfd>& fds) const {
  for (const auto& [id, icon] : m_icons) {
    if (!icon.item) continue;
    const int fd = icon.item->Fd();
    if (fd >= 0) fds.push_back({fd, icon.item->Events(), 0});
  }
}

std::optional<std::uint64_t> CX11NotificationArea::DeadlineMs() const {
  std::optional<std::uint64_t> deadline;
  auto consider = [&](std::uint64_t when) { deadline = deadline ? std::min(*deadline, when) : when; };
  if (!m_events.empty()) consider(0);
  for (const auto& [id, icon] : m_icons) {
    if (!icon.item) continue;
    if (icon.busy) consider(0);
    if (auto when = icon.item->DeadlineMs()) consider(*when);
    if (icon.item->GetState() == CStatusNotifierItem::State::Starting && !icon.xembed)
      consider(icon.patientUntilMs);
  }
  return deadline;
}

void CX11NotificationArea::ProcessBus(const std::vector<pollfd>& fds) {
  const std::uint64_t now = MonotonicMs();
  for (auto& [id, icon] : m_icons) {
    if (!icon.item) continue;
    const int fd = icon.item->Fd();
    icon.item->SetScreen(Screen());
    const bool ready =
        std::any_of(fds.begin(), fds.end(), [fd](const pollfd& p) { return p.fd == fd && p.revents; });
    const auto deadline = icon.item->DeadlineMs();
    if (ready || icon.busy || (deadline && *deadline <= now)) icon.busy = icon.item->Process();
    QueueRequests(id, icon);
    if (icon.item->GetState() == CStatusNotifierItem::State::Lost) DropLostItem(icon);
    Reconcile(icon);
  }
}

void CX11NotificationArea::QueueRequests(TrayId id, Icon& icon) {
  while (auto request = icon.item->TakeRequest()) {
    NoteRequestTime(request->timestamp);
    if (request->kind == StatusNotifierRequest::Kind::Command) {
      InputEvent event;
      event.type = EventType::TrayCommand;
      event.tray = id;
      event.command = request->command;
      m_events.push_back(event);
      continue;
    }
    // A press and its release, as over the XEmbed icon: the program acts on the press.
    if (request->kind == StatusNotifierRequest::Kind::Activate) {
      const POINT root = request->point;
      m_events.push_back(TrayEvent(id, WM_LBUTTONDOWN, root, 1));
      m_events.push_back(TrayEvent(id, WM_LBUTTONUP, root, 1));
      continue;
    }
    // (0, 0) is what hosts send that do not know where the icon is: then the pointer stays the truth.
    const bool placed = request->point.x != 0 || request->point.y != 0;
    const POINT root = placed ? request->point : m_connection.PointerPosition();
    if (placed) {
      m_anchor = root;
      m_pointerAtAnchor = m_connection.PointerPosition();
    }
    m_events.push_back(TrayEvent(id, WM_RBUTTONDOWN, root, 3));
    m_events.push_back(TrayEvent(id, WM_RBUTTONUP, root, 3));
  }
}

std::optional<InputEvent> CX11NotificationArea::TakeEvent() {
  if (m_events.empty()) return std::nullopt;
  InputEvent event = m_events.front();
  m_events.pop_front();
  return event;
}

POINT CX11NotificationArea::PointerSeenAs(POINT real) {
  if (m_anchor && real.x == m_pointerAtAnchor.x && real.y == m_pointerAtAnchor.y) return *m_anchor;
  m_anchor.reset();
  return real;
}

RECT CX11NotificationArea::Screen() const {
  if (m_connection.Lost()) return {};
  Display* dpy = m_connection.Dpy();
  const int screen = m_connection.ScreenNumber();
  return {0, 0, DisplayWidth(dpy, screen), DisplayHeight(dpy, screen)};
}

void CX11NotificationArea::NoteRequestTime(std::uint32_t hostTime) {
  const Time now = m_connection.FetchServerTime();
  // A host on this X server stamps its events with the server's clock, so its time is never later than
  // now; one that is comes from another clock (a Wayland panel's) and means nothing here.
  if (hostTime != 0 && hostTime <= now) m_connection.NoteEventTime(hostTime);
}

}  // namespace platform::x11
