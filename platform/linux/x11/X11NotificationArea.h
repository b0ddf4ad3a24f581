// The program's tray icons on an X desktop: each one a StatusNotifierItem where the session bus has a
// watcher, and an XEmbed icon in the system tray otherwise, switching as watchers come and go.
#pragma once

#include <X11/Xlib.h>
#include <poll.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/Backend.h"
#include "platform/linux/x11/StatusNotifierItem.h"
#include "platform/linux/x11/X11Connection.h"
#include "platform/linux/x11/X11Tray.h"

namespace platform::x11 {

class CX11NotificationArea {
 public:
  explicit CX11NotificationArea(CX11Connection& connection);
  ~CX11NotificationArea();
  CX11NotificationArea(const CX11NotificationArea&) = delete;
  CX11NotificationArea& operator=(const CX11NotificationArea&) = delete;

  // Names the icons added from now on: the program's name, as the desktop lists it.
  void SetProgramName(const std::string& name);

  TrayId Add(const std::vector<PixelImage>& images);
  void Remove(TrayId id);
  // The menu the desktop's hosts draw for the icon (see IBackend::SetTrayMenu).
  void SetMenu(TrayId id, const TrayMenu& menu);

  // Takes the X events of the XEmbed icons (see CX11Tray::HandleEvent).
  bool HandleEvent(const XEvent& event, std::optional<InputEvent>& out);

  // The bus side of the backend's wait: the descriptors to watch, the time by which to come back even if
  // they stay quiet, and the work once the wait is over (`fds` as the wait left them).
  void AddPollFds(std::vector<pollfd>& fds) const;
  std::optional<std::uint64_t> DeadlineMs() const;
  void ProcessBus(const std::vector<pollfd>& fds);
  // What the desktop asked through the bus, as mouse activity over the icon.
  std::optional<InputEvent> TakeEvent();

  // The pointer as the program should see it: where the desktop asked for the icon's menu, as long as
  // the real pointer has not moved since, so that the menu opens at that point.
  POINT PointerSeenAs(POINT real);

 private:
  struct Icon {
    std::vector<PixelImage> images;
    std::unique_ptr<CStatusNotifierItem> item;
    TrayId xembed = 0;                 // the XEmbed icon while it stands in for the item
    std::uint64_t patientUntilMs = 0;  // when a watcher that has not answered yet counts as absent
    bool busy = false;                 // the item has more messages waiting
  };
  // Shows the XEmbed icon exactly when the item cannot be shown.
  void Reconcile(Icon& icon);
  void DropLostItem(Icon& icon);
  void QueueRequests(TrayId id, Icon& icon);
  // Takes the time of a request that came over the bus as the time of the user's last action, so that the
  // window it raises gets the focus as after a click: the host's own time where it gave a plausible one,
  // else the server's now.
  void NoteRequestTime(std::uint32_t hostTime);
  // The whole X screen (all monitors), where the desktop's points must lie.
  RECT Screen() const;

  CX11Connection& m_connection;
  CX11Tray m_xembed;
  StatusNotifierIdentity m_identity;
  std::map<TrayId, Icon> m_icons;
  TrayId m_nextId = 1;
  std::deque<InputEvent> m_events;
  bool m_busLossReported = false;
  std::optional<POINT> m_anchor;
  POINT m_pointerAtAnchor{};
};

}  // namespace platform::x11
