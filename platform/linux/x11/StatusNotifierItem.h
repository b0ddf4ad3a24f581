// One tray icon as a StatusNotifierItem on the session bus (sd-bus): its own connection, its object with the
// item's properties and methods, and its registration with the desktop's StatusNotifierWatcher.
#pragma once

#include <systemd/sd-bus.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/Backend.h"
#include "platform/linux/x11/DBusMenu.h"
#include "platform/linux/x11/StatusNotifierPixmaps.h"

namespace platform::x11 {

// How the item introduces itself; both come from the program, not from the backend.
struct StatusNotifierIdentity {
  std::string id;     // a stable name for the desktop's settings ("tilvane")
  std::string title;  // the program's name as the user reads it ("Tilvane")
};

// What the desktop asked of the icon: a click at a point on the screen, or a command chosen in the menu it
// drew, at the host's own time (0 when it gave none).
struct StatusNotifierRequest {
  enum class Kind { Activate, ContextMenu, Command };
  Kind kind = Kind::Activate;
  POINT point{};
  UINT command = 0;
  std::uint32_t timestamp = 0;
};

// Each item has a connection of its own, as the protocol's one object path per bus name asks. The owner
// watches Fd() for Events() until DeadlineMs() and calls Process() when it is ready; nothing here blocks.
//
// Whatever the bus or its peers send (wrong types, unknown members, a flood of calls) gets an error
// reply or is dropped, and costs bounded work: at most a few messages per Process() and a few requests
// a second reach the program.
class CStatusNotifierItem {
 public:
  enum class State {
    Starting,      // asking for the watcher, or registering with it
    Registered,    // the watcher lists the item and has a host (or a host read it): the desktop shows it
    Unregistered,  // no watcher, it refused, or nothing hosts its items: show the icon another way
    Lost,          // the session bus went away; the item is dead
  };

  // Connects to the session bus and starts registering. Null when there is no session bus, with the
  // reason in `error`.
  static std::unique_ptr<CStatusNotifierItem> Connect(const StatusNotifierIdentity& identity,
                                                      const std::vector<PixelImage>& images,
                                                      std::string* error);
  // Closing the connection takes the item off the bus; the watcher sees its name go.
  ~CStatusNotifierItem();
  CStatusNotifierItem(const CStatusNotifierItem&) = delete;
  CStatusNotifierItem& operator=(const CStatusNotifierItem&) = delete;

  State GetState() const { return m_state; }
  // The screen's rectangle: a point outside it is taken as the nearest point on it.
  void SetScreen(const RECT& screen) { m_screen = screen; }
  // The menu hosts draw for the item; see CDBusMenu.
  void SetMenu(const TrayMenu& menu) { m_menu.Set(menu); }
  // Why the bus was lost, once the state is Lost.
  const std::string& LostReason() const { return m_lostReason; }

  // What to wait for: the connection's descriptor (-1 once lost), the poll events, and the monotonic
  // millisecond by which Process() must run even if the descriptor stays quiet.
  int Fd() const;
  short Events() const;
  std::optional<std::uint64_t> DeadlineMs() const;
  // Handles a bounded number of messages; true when more are waiting already.
  bool Process();
  // The oldest request the desktop made that the program has not taken yet.
  std::optional<StatusNotifierRequest> TakeRequest();

 private:
  CStatusNotifierItem(sd_bus* bus, const StatusNotifierIdentity& identity,
                      const std::vector<PixelImage>& images);
  static const sd_bus_vtable* Vtable();
  int Start();
  void AskForWatcher();
  void Register();
  void AskForHost();
  void AskForListing();
  // A host has shown that it shows the item, by reading what only a host reads.
  void NoteRead();
  bool Backlogged() const;
  void MarkLost(int error);
  bool TakeToken();
  int Accept(StatusNotifierRequest::Kind kind, sd_bus_message* call, sd_bus_error* error);

  static int OnNameAcquired(sd_bus_message* reply, void* self, sd_bus_error* error);
  static int OnWatcherOwner(sd_bus_message* reply, void* self, sd_bus_error* error);
  static int OnWatcherOwnerChanged(sd_bus_message* signal, void* self, sd_bus_error* error);
  static int OnRegistered(sd_bus_message* reply, void* self, sd_bus_error* error);
  static int OnHostAnswer(sd_bus_message* reply, void* self, sd_bus_error* error);
  static int OnListing(sd_bus_message* reply, void* self, sd_bus_error* error);
  static int OnWatcherNews(sd_bus_message* signal, void* self, sd_bus_error* error);
  static int OnActivate(sd_bus_message* call, void* self, sd_bus_error* error);
  static int OnContextMenu(sd_bus_message* call, void* self, sd_bus_error* error);
  static int OnIgnoredCall(sd_bus_message* call, void* self, sd_bus_error* error);
  static int GetText(sd_bus* bus, const char* path, const char* iface, const char* property,
                     sd_bus_message* reply, void* self, sd_bus_error* error);
  static int GetMenuPath(sd_bus* bus, const char* path, const char* iface, const char* property,
                         sd_bus_message* reply, void* self, sd_bus_error* error);
  static int GetItemIsMenu(sd_bus* bus, const char* path, const char* iface, const char* property,
                           sd_bus_message* reply, void* self, sd_bus_error* error);
  static int GetIconPixmap(sd_bus* bus, const char* path, const char* iface, const char* property,
                           sd_bus_message* reply, void* self, sd_bus_error* error);

  struct SlotDeleter {
    void operator()(sd_bus_slot* slot) const;
  };
  using Slot = std::unique_ptr<sd_bus_slot, SlotDeleter>;

  sd_bus* m_bus = nullptr;
  StatusNotifierIdentity m_identity;
  std::vector<StatusNotifierPixmap> m_pixmaps;
  std::string m_wantedName;
  // The name the item is registered under: its own well-known name, or its unique name when another
  // client holds that one.
  std::string m_service;
  State m_state = State::Starting;
  std::string m_lostReason;
  Slot m_object;
  Slot m_watcherMatch;
  Slot m_hostMatch;
  // The current watcher took the item (whether or not a host shows it).
  bool m_accepted = false;
  // The current watcher has listed the item among its items since it took it.
  bool m_listed = false;
  CDBusMenu m_menu;
  // The one call in flight (our name, the watcher's owner, the registration, its host); a new one cancels it.
  Slot m_pendingCall;
  std::deque<StatusNotifierRequest> m_requests;
  RECT m_screen{0, 0, 0, 0};
  // A token bucket: each request to the program takes a token; tokens come back at a steady rate.
  double m_tokens = 0;
  std::uint64_t m_tokensAtMs = 0;
};

}  // namespace platform::x11
