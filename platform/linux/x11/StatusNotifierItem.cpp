// A StatusNotifierItem on the session bus: the connection, the exported item, and its registration with
// the watcher, which follows the watcher's name as it comes and goes.
#include "platform/linux/x11/StatusNotifierItem.h"
#include "platform/linux/x11/MonotonicClock.h"

#include <poll.h>
#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <ctime>

namespace platform::x11 {

namespace {

constexpr const char* kWatcher = "org.kde.StatusNotifierWatcher";
constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
constexpr const char* kItemInterface = "org.kde.StatusNotifierItem";
constexpr const char* kItemPath = "/StatusNotifierItem";
// The watcher's news of hosts (the panels that show items) coming and going.
constexpr const char* kWatcherHostMatch =
    "type='signal',sender='org.kde.StatusNotifierWatcher',path='/StatusNotifierWatcher',"
    "interface='org.kde.StatusNotifierWatcher'";
constexpr const char* kWatcherOwnerMatch =
    "type='signal',sender='org.freedesktop.DBus',path='/org/freedesktop/DBus',"
    "interface='org.freedesktop.DBus',member='NameOwnerChanged',arg0='org.kde.StatusNotifierWatcher'";

// A call the bus or the watcher leaves unanswered this long counts as refused.
constexpr std::uint64_t kCallTimeoutUs = 10'000'000;
// Messages handled per Process(): the X connection gets its turn even while the bus floods us.
constexpr int kMessagesPerTurn = 32;
// Requests reach the program at most this many at once, and this many a second after that.
constexpr double kRequestBurst = 8;
constexpr double kRequestsPerSecond = 4;
// Replies not yet written to the bus; a peer that asks for pictures faster than the bus takes them is
// refused rather than buffered without end.
constexpr std::uint64_t kMaxQueuedWrites = 64;
// Bytes in the socket that the bus has not read yet. sd-bus asks the kernel for an 8 MiB send buffer, so
// a stalled bus could otherwise leave hundreds of pictures in flight before the queue above grows at all.
constexpr int kMaxUnreadBytes = 1 << 20;
// The entries of a watcher's list of items that are looked at.
constexpr int kMaxListedItems = 4096;
// RequestName's answers that leave the name with us.
constexpr std::uint32_t kPrimaryOwner = 1;
constexpr std::uint32_t kAlreadyOwner = 4;

// The well-known name of the process's next item: several backends in one process must not collide.
std::string NextItemName() {
  static std::atomic<unsigned> serial{0};
  return "org.kde.StatusNotifierItem-" + std::to_string(getpid()) + "-" + std::to_string(++serial);
}

// Whether a watcher's list of items names this one.
bool ListsService(sd_bus_message* reply, const std::string& service, const char* unique) {
  if (sd_bus_message_enter_container(reply, 'v', "as") < 0 || sd_bus_message_enter_container(reply, 'a', "s") < 0)
    return false;
  // Watchers list an item by the name it registered, or by its unique name, either alone or followed by its
  // path (KDE's ":1.5/StatusNotifierItem", GNOME's ":1.5@/StatusNotifierItem").
  auto names = [&](const std::string& entry, const std::string& name) {
    return !name.empty() && entry.compare(0, name.size(), name) == 0 &&
           (entry.size() == name.size() || entry[name.size()] == '/' || entry[name.size()] == '@');
  };
  const char* entry = nullptr;
  // However long a list a watcher sends, only so much of it is read.
  for (int read = 0; read < kMaxListedItems && sd_bus_message_read_basic(reply, 's', &entry) > 0; ++read) {
    if (names(entry, service) || names(entry, unique ? unique : "")) return true;
  }
  return false;
}

CStatusNotifierItem* Self(void* userdata) {
  return static_cast<CStatusNotifierItem*>(userdata);
}

}  // namespace

void CStatusNotifierItem::SlotDeleter::operator()(sd_bus_slot* slot) const {
  sd_bus_slot_unref(slot);
}

const sd_bus_vtable* CStatusNotifierItem::Vtable() {
  static const sd_bus_vtable vtable[] = {
      SD_BUS_VTABLE_START(0),
      SD_BUS_PROPERTY("Category", "s", GetText, 0, SD_BUS_VTABLE_PROPERTY_CONST),
      SD_BUS_PROPERTY("Id", "s", GetText, 0, SD_BUS_VTABLE_PROPERTY_CONST),
      SD_BUS_PROPERTY("Title", "s", GetText, 0, SD_BUS_VTABLE_PROPERTY_CONST),
      SD_BUS_PROPERTY("Status", "s", GetText, 0, SD_BUS_VTABLE_PROPERTY_CONST),
      SD_BUS_PROPERTY("IconPixmap", "a(iiay)", GetIconPixmap, 0, SD_BUS_VTABLE_PROPERTY_CONST),
      SD_BUS_PROPERTY("ItemIsMenu", "b", GetItemIsMenu, 0, SD_BUS_VTABLE_PROPERTY_CONST),
      SD_BUS_PROPERTY("Menu", "o", GetMenuPath, 0, SD_BUS_VTABLE_PROPERTY_CONST),
      SD_BUS_METHOD("Activate", "ii", "", OnActivate, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_METHOD("ContextMenu", "ii", "", OnContextMenu, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_METHOD("SecondaryActivate", "ii", "", OnIgnoredCall, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_METHOD("Scroll", "is", "", OnIgnoredCall, SD_BUS_VTABLE_UNPRIVILEGED),
      // Wayland's activation token: the program raises its windows through X, with the time of the request.
      SD_BUS_METHOD("ProvideXdgActivationToken", "s", "", OnIgnoredCall, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_VTABLE_END,
  };
  return vtable;
}

std::unique_ptr<CStatusNotifierItem> CStatusNotifierItem::Connect(const StatusNotifierIdentity& identity,
                                                                  const std::vector<PixelImage>& images,
                                                                  std::string* error) {
  sd_bus* bus = nullptr;
  int r = sd_bus_open_user(&bus);
  if (r < 0) {
    if (error) *error = std::string("no session bus: ") + std::strerror(-r);
    return nullptr;
  }
  std::unique_ptr<CStatusNotifierItem> item(new CStatusNotifierItem(bus, identity, images));
  r = item->Start();
  if (r < 0) {
    if (error) *error = std::string("cannot offer the tray icon on the session bus: ") + std::strerror(-r);
    return nullptr;
  }
  return item;
}

CStatusNotifierItem::CStatusNotifierItem(sd_bus* bus, const StatusNotifierIdentity& identity,
                                         const std::vector<PixelImage>& images)
    : m_bus(bus),
      m_identity(identity),
      m_pixmaps(MakeStatusNotifierPixmaps(images)),
      m_menu(bus, CDBusMenu::Owner{[this] { return m_requests.size() < static_cast<size_t>(kRequestBurst) && TakeToken(); },
                                   [this] { return Backlogged(); },
                                   [this](UINT command, std::uint32_t timestamp) {
                                     StatusNotifierRequest request;
                                     request.kind = StatusNotifierRequest::Kind::Command;
                                     request.command = command;
                                     request.timestamp = timestamp;
                                     m_requests.push_back(request);
                                   },
                                   [this] { NoteRead(); }}),
      m_tokens(kRequestBurst),
      m_tokensAtMs(MonotonicMs()) {}

CStatusNotifierItem::~CStatusNotifierItem() {
  m_pendingCall.reset();
  m_hostMatch.reset();
  m_watcherMatch.reset();
  m_menu.Withdraw();
  m_object.reset();
  // No flush: a bus that stopped reading must not hold the program up, and the names go with the socket.
  sd_bus_close_unref(m_bus);
}

int CStatusNotifierItem::Start() {
  sd_bus_set_method_call_timeout(m_bus, kCallTimeoutUs);
  sd_bus_slot* slot = nullptr;
  int r = sd_bus_add_object_vtable(m_bus, &slot, kItemPath, kItemInterface, Vtable(), this);
  if (r < 0) return r;
  m_object.reset(slot);
  r = m_menu.Start();
  if (r < 0) return r;
  // Watch the watcher's name before asking who owns it, so that a change in between is not missed.
  slot = nullptr;
  r = sd_bus_add_match_async(m_bus, &slot, kWatcherOwnerMatch, OnWatcherOwnerChanged, nullptr, this);
  if (r < 0) return r;
  m_watcherMatch.reset(slot);
  slot = nullptr;
  r = sd_bus_add_match_async(m_bus, &slot, kWatcherHostMatch, OnWatcherNews, nullptr, this);
  if (r < 0) return r;
  m_hostMatch.reset(slot);
  m_wantedName = NextItemName();
  slot = nullptr;
  r = sd_bus_request_name_async(m_bus, &slot, m_wantedName.c_str(), 0, OnNameAcquired, this);
  if (r < 0) return r;
  m_pendingCall.reset(slot);
  return 0;
}

int CStatusNotifierItem::OnNameAcquired(sd_bus_message* reply, void* userdata, sd_bus_error*) {
  CStatusNotifierItem* self = Self(userdata);
  self->m_pendingCall.reset();
  std::uint32_t answer = 0;
  const char* unique = nullptr;
  if (!sd_bus_message_is_method_error(reply, nullptr) && sd_bus_message_read(reply, "u", &answer) >= 0 &&
      (answer == kPrimaryOwner || answer == kAlreadyOwner)) {
    self->m_service = self->m_wantedName;
  } else if (sd_bus_get_unique_name(self->m_bus, &unique) >= 0) {
    // Another client holds the name; the unique name serves as well, every watcher takes a bus name.
    self->m_service = unique;
  } else {
    self->m_state = State::Unregistered;
    return 0;
  }
  self->AskForWatcher();
  return 0;
}

void CStatusNotifierItem::AskForWatcher() {
  sd_bus_slot* slot = nullptr;
  const int r =
      sd_bus_call_method_async(m_bus, &slot, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                               "org.freedesktop.DBus", "GetNameOwner", OnWatcherOwner, this, "s", kWatcher);
  m_pendingCall.reset(r < 0 ? nullptr : slot);
  if (r < 0) m_state = State::Unregistered;
}

int CStatusNotifierItem::OnWatcherOwner(sd_bus_message* reply, void* userdata, sd_bus_error*) {
  CStatusNotifierItem* self = Self(userdata);
  self->m_pendingCall.reset();
  const char* owner = nullptr;
  // NameHasNoOwner: no watcher runs now; its arrival comes as NameOwnerChanged.
  if (sd_bus_message_is_method_error(reply, nullptr) || sd_bus_message_read(reply, "s", &owner) < 0 ||
      !owner || !*owner) {
    self->m_state = State::Unregistered;
    return 0;
  }
  self->Register();
  return 0;
}

int CStatusNotifierItem::OnWatcherOwnerChanged(sd_bus_message* signal, void* userdata, sd_bus_error*) {
  CStatusNotifierItem* self = Self(userdata);
  const char* name = nullptr;
  const char* oldOwner = nullptr;
  const char* newOwner = nullptr;
  if (sd_bus_message_read(signal, "sss", &name, &oldOwner, &newOwner) < 0 || std::strcmp(name, kWatcher) != 0)
    return 0;
  // Until our own name is settled, the question to the bus that follows it will find the watcher.
  if (self->m_service.empty()) return 0;
  self->m_accepted = false;
  self->m_listed = false;
  if (!*newOwner) {
    self->m_pendingCall.reset();
    self->m_state = State::Unregistered;
    return 0;
  }
  // A new watcher (or a restarted one) knows nothing of us.
  self->Register();
  return 0;
}

void CStatusNotifierItem::Register() {
  m_state = State::Starting;
  m_accepted = false;
  m_listed = false;
  sd_bus_message* call = nullptr;
  int r = sd_bus_message_new_method_call(m_bus, &call, kWatcher, kWatcherPath, kWatcher,
                                         "RegisterStatusNotifierItem");
  if (r >= 0) {
    // Should the watcher have gone meanwhile, the bus must not start one for us.
    sd_bus_message_set_auto_start(call, 0);
    // By its object path, so that the watcher takes the caller's unique name: GNOME's, given a well-known
    // name, watches that name and now and then loses the item in a race of its own.
    r = sd_bus_message_append(call, "s", kItemPath);
  }
  sd_bus_slot* slot = nullptr;
  if (r >= 0) r = sd_bus_call_async(m_bus, &slot, call, OnRegistered, this, 0);
  sd_bus_message_unref(call);
  m_pendingCall.reset(r < 0 ? nullptr : slot);
  if (r < 0) m_state = State::Unregistered;
}

int CStatusNotifierItem::OnRegistered(sd_bus_message* reply, void* userdata, sd_bus_error*) {
  CStatusNotifierItem* self = Self(userdata);
  self->m_pendingCall.reset();
  if (sd_bus_message_is_method_error(reply, nullptr)) {
    self->m_state = State::Unregistered;
    return 0;
  }
  self->m_accepted = true;
  self->AskForHost();
  return 0;
}

// A watcher without a host (a desktop service left running outside its desktop) takes items that nobody
// shows; then the icon belongs in the X tray until a host comes.
void CStatusNotifierItem::AskForHost() {
  AskWatcher("IsStatusNotifierHostRegistered", OnHostAnswer);
}

// A question the bus cannot even send leaves the item taken at the watcher's word.
void CStatusNotifierItem::AskWatcher(const char* property, sd_bus_message_handler_t onAnswer) {
  sd_bus_slot* slot = nullptr;
  const int r = sd_bus_call_method_async(m_bus, &slot, kWatcher, kWatcherPath, "org.freedesktop.DBus.Properties",
                                         "Get", onAnswer, this, "ss", kWatcher, property);
  m_pendingCall.reset(r < 0 ? nullptr : slot);
  if (r < 0) m_state = State::Registered;
}

int CStatusNotifierItem::OnHostAnswer(sd_bus_message* reply, void* userdata, sd_bus_error*) {
  CStatusNotifierItem* self = Self(userdata);
  self->m_pendingCall.reset();
  int hostRegistered = 1;
  // A watcher that cannot say is taken at its word that the item will show.
  if (!sd_bus_message_is_method_error(reply, nullptr) && sd_bus_message_enter_container(reply, 'v', "b") >= 0)
    sd_bus_message_read(reply, "b", &hostRegistered);
  if (!hostRegistered) {
    self->m_state = State::Unregistered;
    return 0;
  }
  self->AskForListing();
  return 0;
}

// A watcher may take an item and still not show it (GNOME's drops an item whose properties it cannot
// read); only its list says that it did.
void CStatusNotifierItem::AskForListing() {
  AskWatcher("RegisteredStatusNotifierItems", OnListing);
}

int CStatusNotifierItem::OnListing(sd_bus_message* reply, void* userdata, sd_bus_error*) {
  CStatusNotifierItem* self = Self(userdata);
  self->m_pendingCall.reset();
  const char* unique = nullptr;
  sd_bus_get_unique_name(self->m_bus, &unique);
  // A watcher that cannot say is taken at its word, as for its hosts.
  const bool listed =
      sd_bus_message_is_method_error(reply, nullptr) || ListsService(reply, self->m_service, unique);
  if (listed) {
    self->m_listed = true;
    self->m_state = State::Registered;
  } else if (self->m_listed) {
    // It dropped the item: the icon goes back to the system tray.
    self->m_state = State::Unregistered;
  }
  // Not listed yet: the watcher may still be reading the item, and says so when it is done.
  return 0;
}

void CStatusNotifierItem::NoteRead() {
  if (m_accepted && m_state == State::Starting) m_state = State::Registered;
}

bool CStatusNotifierItem::Backlogged() const {
  std::uint64_t queued = 0;
  if (sd_bus_get_n_queued_write(m_bus, &queued) >= 0 && queued > kMaxQueuedWrites) return true;
  int unread = 0;
  const int fd = sd_bus_get_fd(m_bus);
  return fd >= 0 && ioctl(fd, SIOCOUTQ, &unread) == 0 && unread > kMaxUnreadBytes;
}

int CStatusNotifierItem::OnWatcherNews(sd_bus_message* signal, void* userdata, sd_bus_error*) {
  CStatusNotifierItem* self = Self(userdata);
  // Only a watcher that took the item has hosts that matter; a newer answer replaces one still on its way.
  if (!self->m_accepted) return 0;
  if (sd_bus_message_is_signal(signal, kWatcher, "StatusNotifierHostRegistered") > 0 ||
      sd_bus_message_is_signal(signal, kWatcher, "StatusNotifierHostUnregistered") > 0 ||
      sd_bus_message_is_signal(signal, kWatcher, "StatusNotifierItemRegistered") > 0 ||
      sd_bus_message_is_signal(signal, kWatcher, "StatusNotifierItemUnregistered") > 0)
    self->AskForHost();
  return 0;
}

bool CStatusNotifierItem::TakeToken() {
  const std::uint64_t now = MonotonicMs();
  m_tokens = std::min(kRequestBurst,
                      m_tokens + static_cast<double>(now - m_tokensAtMs) * kRequestsPerSecond / 1000.0);
  m_tokensAtMs = now;
  if (m_tokens < 1) return false;
  m_tokens -= 1;
  return true;
}

int CStatusNotifierItem::Accept(StatusNotifierRequest::Kind kind, sd_bus_message* call, sd_bus_error* error) {
  std::int32_t x = 0;
  std::int32_t y = 0;
  int r = sd_bus_message_read(call, "ii", &x, &y);
  if (r < 0) return r;
  // Panels on scaled screens and under Wayland send points off the screen; the nearest point on it serves.
  if (m_screen.right > m_screen.left && m_screen.bottom > m_screen.top) {
    x = std::clamp(x, static_cast<std::int32_t>(m_screen.left), static_cast<std::int32_t>(m_screen.right - 1));
    y = std::clamp(y, static_cast<std::int32_t>(m_screen.top), static_cast<std::int32_t>(m_screen.bottom - 1));
  }
  if (m_requests.size() >= static_cast<size_t>(kRequestBurst) || !TakeToken())
    return sd_bus_error_set_const(error, SD_BUS_ERROR_LIMITS_EXCEEDED, "Too many requests; try again later");
  m_requests.push_back({kind, {x, y}});
  return sd_bus_reply_method_return(call, "");
}

int CStatusNotifierItem::OnActivate(sd_bus_message* call, void* userdata, sd_bus_error* error) {
  return Self(userdata)->Accept(StatusNotifierRequest::Kind::Activate, call, error);
}

int CStatusNotifierItem::OnContextMenu(sd_bus_message* call, void* userdata, sd_bus_error* error) {
  return Self(userdata)->Accept(StatusNotifierRequest::Kind::ContextMenu, call, error);
}

// The middle button and the wheel mean nothing to the program; they are answered and forgotten.
int CStatusNotifierItem::OnIgnoredCall(sd_bus_message* call, void*, sd_bus_error*) {
  return sd_bus_reply_method_return(call, "");
}

int CStatusNotifierItem::GetText(sd_bus*, const char*, const char*, const char* property,
                                 sd_bus_message* reply, void* userdata, sd_bus_error*) {
  const CStatusNotifierItem* self = Self(userdata);
  const char* text = "";
  if (std::strcmp(property, "Category") == 0)
    text = "ApplicationStatus";
  else if (std::strcmp(property, "Status") == 0)
    text = "Active";
  else if (std::strcmp(property, "Id") == 0)
    text = self->m_identity.id.c_str();
  else if (std::strcmp(property, "Title") == 0)
    text = self->m_identity.title.c_str();
  return sd_bus_message_append(reply, "s", text);
}

int CStatusNotifierItem::GetMenuPath(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply,
                                     void*, sd_bus_error*) {
  return sd_bus_message_append(reply, "o", CDBusMenu::kPath);
}

int CStatusNotifierItem::GetItemIsMenu(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply,
                                       void*, sd_bus_error*) {
  // A click shows the window; the menu is for the other button (ContextMenu, or the D-Bus menu).
  return sd_bus_message_append(reply, "b", 0);
}

int CStatusNotifierItem::GetIconPixmap(sd_bus*, const char*, const char*, const char*,
                                       sd_bus_message* reply, void* userdata, sd_bus_error* error) {
  CStatusNotifierItem* self = Self(userdata);
  if (self->Backlogged())
    return sd_bus_error_set_const(error, SD_BUS_ERROR_LIMITS_EXCEEDED, "Too many requests; try again later");
  self->NoteRead();
  int r = sd_bus_message_open_container(reply, 'a', "(iiay)");
  for (const StatusNotifierPixmap& pixmap : self->m_pixmaps) {
    if (r >= 0) r = sd_bus_message_open_container(reply, 'r', "iiay");
    if (r >= 0) r = sd_bus_message_append(reply, "ii", pixmap.width, pixmap.height);
    if (r >= 0) r = sd_bus_message_append_array(reply, 'y', pixmap.argb.data(), pixmap.argb.size());
    if (r >= 0) r = sd_bus_message_close_container(reply);
  }
  if (r >= 0) r = sd_bus_message_close_container(reply);
  return r;
}

void CStatusNotifierItem::MarkLost(int error) {
  if (m_state == State::Lost) return;
  m_state = State::Lost;
  m_lostReason = error < 0 ? std::strerror(-error) : "the connection was closed";
  m_requests.clear();
}

int CStatusNotifierItem::Fd() const {
  return m_state == State::Lost ? -1 : sd_bus_get_fd(m_bus);
}

short CStatusNotifierItem::Events() const {
  const int events = m_state == State::Lost ? 0 : sd_bus_get_events(m_bus);
  return static_cast<short>(std::max(events, 0));
}

std::optional<std::uint64_t> CStatusNotifierItem::DeadlineMs() const {
  std::uint64_t usec = 0;
  if (m_state == State::Lost || sd_bus_get_timeout(m_bus, &usec) <= 0 || usec == UINT64_MAX)
    return std::nullopt;
  // Rounded up: waking a moment before sd-bus's own deadline would only spin.
  return (usec + 999) / 1000;
}

bool CStatusNotifierItem::Process() {
  if (m_state == State::Lost) return false;
  for (int i = 0; i < kMessagesPerTurn; ++i) {
    const int r = sd_bus_process(m_bus, nullptr);
    if (r < 0 || sd_bus_is_open(m_bus) <= 0) {
      MarkLost(r);
      return false;
    }
    if (r == 0) return false;
  }
  return true;
}

std::optional<StatusNotifierRequest> CStatusNotifierItem::TakeRequest() {
  if (m_requests.empty()) return std::nullopt;
  StatusNotifierRequest request = m_requests.front();
  m_requests.pop_front();
  return request;
}

}  // namespace platform::x11
