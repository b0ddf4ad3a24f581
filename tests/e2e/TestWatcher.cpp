// A StatusNotifierWatcher for the end-to-end tests: it records the items that register on the session bus
// and, on commands read from stdin, reads their properties and calls them, politely or not.
//
// Lines on stdout:
//   ready                              the watcher's name is ours
//   registered <service> <sender>      an item registered (by its path: the service is the sender)
//   unregistered <service>             its name left the bus
//   prop <name> <value>                after "props": one line per property of the item, then "props done"
//   pixmap <w> <h> <hex bytes>         after "props": one line per IconPixmap picture, its bytes as sent
//   reply <method> ok|<error name>     after "call"
//   hostile <case> ok|<error name>     after "hostile": each malformed call and the item's answer
//   flood ok <n> refused <m>           after "flood N"
//   node <id> <parent> <k=v;...>       after "layout": the item's D-Bus menu, one line per item, then
//                                      "layout done <revision>"
//   menu-signal <name> <details>       the item's menu said it changed (LayoutUpdated <revision>, or
//                                      ItemsPropertiesUpdated <id>{k=v;...} ...)
//   menuhostile <case> ok|<error name> after "menuhostile": each malformed menu request and its answer
//   greedy sent <n>                    after "greedy N": N IconPixmap reads sent, none of their answers read
//   greedy ok <n> refused <m>          after "greedy-read": the answers, read at last
//   failed <what>                      a command could not be carried out
// Commands on stdin: props | call Activate|ContextMenu|SecondaryActivate X Y | hostile | flood N | host |
// layout | event ID NAME TIMESTAMP | menuhostile | greedy N | greedy-read | unlist | quit. "unlist" drops the
// items from the watcher's list while it keeps them, as a watcher does that could not read an item. "host" announces that a host (a panel that shows the items) has come. Options: --refuse answers every
// registration with an error, as a broken watcher would; --no-host starts with no host, as a watcher left
// running outside its desktop has; --unlisted takes items but lists none.
#include <poll.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "PrintLine.h"

namespace {

constexpr const char* kItemInterface = "org.kde.StatusNotifierItem";
constexpr const char* kItemPath = "/StatusNotifierItem";
constexpr const char* kMenuInterface = "com.canonical.dbusmenu";
constexpr std::uint64_t kCallTimeoutUs = 5'000'000;

struct MessageDeleter {
  void operator()(sd_bus_message* m) const { sd_bus_message_unref(m); }
};
using Message = std::unique_ptr<sd_bus_message, MessageDeleter>;

struct Registration {
  std::string service;
  sd_bus_slot* nameWatch = nullptr;
};

class CWatcher {
 public:
  CWatcher(sd_bus* bus, bool refuse, bool hostless, bool unlisted)
      : m_bus(bus), m_refuse(refuse), m_hasHost(!hostless), m_unlisted(unlisted) {}

  bool Start() {
    static const sd_bus_vtable vtable[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("RegisterStatusNotifierItem", "s", "", OnRegisterItem, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("RegisterStatusNotifierHost", "s", "", OnRegisterHost, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_PROPERTY("RegisteredStatusNotifierItems", "as", GetItems, 0, 0),
        SD_BUS_PROPERTY("IsStatusNotifierHostRegistered", "b", GetHasHost, 0, 0),
        SD_BUS_PROPERTY("ProtocolVersion", "i", GetZero, 0, SD_BUS_VTABLE_PROPERTY_CONST),
        SD_BUS_SIGNAL("StatusNotifierItemRegistered", "s", 0),
        SD_BUS_SIGNAL("StatusNotifierItemUnregistered", "s", 0),
        SD_BUS_SIGNAL("StatusNotifierHostRegistered", "", 0),
        SD_BUS_VTABLE_END,
    };
    if (sd_bus_add_object_vtable(m_bus, nullptr, "/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher",
                                 vtable, this) < 0)
      return false;
    if (sd_bus_add_match(m_bus, nullptr, "type='signal',interface='com.canonical.dbusmenu'", OnMenuSignal, this) < 0)
      return false;
    return sd_bus_request_name(m_bus, "org.kde.StatusNotifierWatcher", 0) >= 0;
  }

  void Command(const std::string& line) {
    std::istringstream words(line);
    std::string verb;
    words >> verb;
    if (verb == "props") {
      Properties();
    } else if (verb == "call") {
      std::string method;
      int x = 0;
      int y = 0;
      words >> method >> x >> y;
      PrintLine("reply %s %s", method.c_str(), Outcome(Call(method.c_str(), "ii", x, y)).c_str());
    } else if (verb == "host") {
      m_hasHost = true;
      sd_bus_emit_signal(m_bus, "/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher",
                         "StatusNotifierHostRegistered", "");
      PrintLine("host registered");
    } else if (verb == "hostile") {
      Hostile();
    } else if (verb == "flood") {
      int count = 0;
      words >> count;
      Flood(count);
    } else if (verb == "unlist") {
      m_unlisted = true;
      for (const Registration& registration : m_registrations)
        sd_bus_emit_signal(m_bus, "/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher",
                           "StatusNotifierItemUnregistered", "s", registration.service.c_str());
      PrintLine("unlisted");
    } else if (verb == "layout") {
      Layout();
    } else if (verb == "event") {
      int id = 0;
      std::string name;
      unsigned timestamp = 0;
      words >> id >> name >> timestamp;
      PrintLine("reply Event %s", Outcome(CallMenu("Event", "isvu", id, name.c_str(), "i", 0, timestamp)).c_str());
    } else if (verb == "menuhostile") {
      MenuHostile();
    } else if (verb == "greedy") {
      int count = 0;
      words >> count;
      Greedy(count);
    } else if (verb == "greedy-read") {
      ReadGreedy();
    } else if (!verb.empty()) {
      PrintLine("failed unknown command %s", verb.c_str());
    }
  }

 public:
  // While a greedy peer's answers wait unread, the bus is left alone.
  bool Stalled() const { return !m_greedy.empty(); }

 private:
  // The last item that registered, where the commands go.
  const char* Item() const { return m_registrations.empty() ? "" : m_registrations.back().service.c_str(); }

  static std::string Outcome(const std::string& error) { return error.empty() ? "ok" : error; }

  // Calls a method of the item; returns the error's name, or nothing when it succeeded.
  std::string Call(const char* method, const char* types, ...) {
    Message call;
    sd_bus_message* m = nullptr;
    if (sd_bus_message_new_method_call(m_bus, &m, Item(), kItemPath, kItemInterface, method) < 0)
      return "local-failure";
    call.reset(m);
    va_list args;
    va_start(args, types);
    const int r = sd_bus_message_appendv(call.get(), types, args);
    va_end(args);
    if (r < 0) return "local-failure";
    return Send(call.get());
  }

  std::string Send(sd_bus_message* call) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const int r = sd_bus_call(m_bus, call, kCallTimeoutUs, &error, &reply);
    std::string name = r < 0 ? (error.name ? error.name : "no-reply") : "";
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
    return name;
  }

  void Properties() {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    if (sd_bus_call_method(m_bus, Item(), kItemPath, "org.freedesktop.DBus.Properties", "GetAll", &error,
                           &reply, "s", kItemInterface) < 0) {
      PrintLine("failed GetAll %s", error.name ? error.name : "");
      sd_bus_error_free(&error);
      return;
    }
    Message owned(reply);
    if (sd_bus_message_enter_container(reply, 'a', "{sv}") < 0) return PrintLine("failed not a{sv}");
    while (sd_bus_message_enter_container(reply, 'e', "sv") > 0) {
      const char* name = nullptr;
      const char* type = nullptr;
      sd_bus_message_read(reply, "s", &name);
      sd_bus_message_peek_type(reply, nullptr, &type);
      sd_bus_message_enter_container(reply, 'v', type);
      PrintValue(reply, name, type);
      sd_bus_message_exit_container(reply);
      sd_bus_message_exit_container(reply);
    }
    PrintLine("props done");
  }

  void PrintValue(sd_bus_message* reply, const char* name, const char* type) {
    if (std::strcmp(type, "s") == 0 || std::strcmp(type, "o") == 0) {
      const char* text = nullptr;
      sd_bus_message_read_basic(reply, type[0], &text);
      PrintLine("prop %s %s", name, text);
    } else if (std::strcmp(type, "b") == 0) {
      int value = 0;
      sd_bus_message_read(reply, "b", &value);
      PrintLine("prop %s %s", name, value ? "true" : "false");
    } else if (std::strcmp(type, "a(iiay)") == 0) {
      PrintLine("prop %s %s", name, type);
      sd_bus_message_enter_container(reply, 'a', "(iiay)");
      while (sd_bus_message_enter_container(reply, 'r', "iiay") > 0) {
        int width = 0;
        int height = 0;
        const void* bytes = nullptr;
        size_t size = 0;
        sd_bus_message_read(reply, "ii", &width, &height);
        sd_bus_message_read_array(reply, 'y', &bytes, &size);
        std::string hex;
        hex.reserve(size * 2);
        for (size_t i = 0; i < size; ++i) {
          char digits[3];
          std::snprintf(digits, sizeof digits, "%02x", static_cast<const unsigned char*>(bytes)[i]);
          hex += digits;
        }
        PrintLine("pixmap %d %d %s", width, height, hex.c_str());
        sd_bus_message_exit_container(reply);
      }
      sd_bus_message_exit_container(reply);
    } else {
      PrintLine("prop %s of type %s", name, type);
      sd_bus_message_skip(reply, type);
    }
  }

  // Each case is a call no well-behaved host makes; the item must answer every one with an error.
  void Hostile() {
    PrintLine("hostile activate-with-text %s", Outcome(Call("Activate", "s", "12")).c_str());
    PrintLine("hostile context-menu-three-numbers %s", Outcome(Call("ContextMenu", "iii", 1, 2, 3)).c_str());
    PrintLine("hostile scroll-with-numbers %s", Outcome(Call("Scroll", "ii", 1, 2)).c_str());
    PrintLine("hostile activate-no-arguments %s", Outcome(Call("Activate", "")).c_str());
    PrintLine("hostile unknown-method %s", Outcome(Call("Explode", "")).c_str());
    PrintLine("hostile set-title %s", Outcome(SetTitle()).c_str());
    PrintLine("hostile unknown-property %s", Outcome(GetProperty("NoSuchProperty")).c_str());
    PrintLine("hostile wrong-path %s", Outcome(CallAt("/Elsewhere", "Activate", 1, 2)).c_str());
    PrintLine("hostile done");
  }

  std::string SetTitle() {
    sd_bus_message* m = nullptr;
    if (sd_bus_message_new_method_call(m_bus, &m, Item(), kItemPath, "org.freedesktop.DBus.Properties",
                                       "Set") < 0)
      return "local-failure";
    Message call(m);
    sd_bus_message_append(m, "ssv", kItemInterface, "Title", "s", "Hijacked");
    return Send(m);
  }

  std::string GetProperty(const char* property) {
    sd_bus_message* m = nullptr;
    if (sd_bus_message_new_method_call(m_bus, &m, Item(), kItemPath, "org.freedesktop.DBus.Properties",
                                       "Get") < 0)
      return "local-failure";
    Message call(m);
    sd_bus_message_append(m, "ss", kItemInterface, property);
    return Send(m);
  }

  std::string CallAt(const char* path, const char* method, int x, int y) {
    sd_bus_message* m = nullptr;
    if (sd_bus_message_new_method_call(m_bus, &m, Item(), path, kItemInterface, method) < 0)
      return "local-failure";
    Message call(m);
    sd_bus_message_append(m, "ii", x, y);
    return Send(m);
  }

  // Sends `count` activations at once, then waits for every answer.
  void Flood(int count) {
    m_floodOk = 0;
    m_floodRefused = 0;
    std::vector<sd_bus_slot*> slots;
    for (int i = 0; i < count; ++i) {
      sd_bus_slot* slot = nullptr;
      if (sd_bus_call_method_async(m_bus, &slot, Item(), kItemPath, kItemInterface, "Activate", OnFloodReply,
                                   this, "ii", 5, 5) >= 0)
        slots.push_back(slot);
    }
    while (m_floodOk + m_floodRefused < static_cast<int>(slots.size())) {
      const int r = sd_bus_process(m_bus, nullptr);
      if (r < 0) break;
      if (r == 0 && sd_bus_wait(m_bus, kCallTimeoutUs) <= 0) break;
    }
    for (sd_bus_slot* slot : slots) sd_bus_slot_unref(slot);
    PrintLine("flood ok %d refused %d", m_floodOk, m_floodRefused);
  }

  // Reads the properties dictionary at the message's position as k=v;k=v.
  static std::string Properties(sd_bus_message* m) {
    std::string text;
    if (sd_bus_message_enter_container(m, 'a', "{sv}") < 0) return "?";
    while (sd_bus_message_enter_container(m, 'e', "sv") > 0) {
      const char* name = nullptr;
      const char* type = nullptr;
      sd_bus_message_read(m, "s", &name);
      sd_bus_message_peek_type(m, nullptr, &type);
      sd_bus_message_enter_container(m, 'v', type);
      std::string value;
      if (type[0] == 's') {
        const char* s = nullptr;
        sd_bus_message_read_basic(m, 's', &s);
        value = s;
      } else if (type[0] == 'b' || type[0] == 'i') {
        int number = 0;
        sd_bus_message_read_basic(m, type[0], &number);
        value = type[0] == 'b' ? (number ? "true" : "false") : std::to_string(number);
      } else {
        value = std::string("<") + type + ">";
        sd_bus_message_skip(m, type);
      }
      sd_bus_message_exit_container(m);
      sd_bus_message_exit_container(m);
      text += std::string(name) + "=" + value + ";";
    }
    sd_bus_message_exit_container(m);
    return text;
  }

  static void PrintNode(sd_bus_message* m, int parent) {
    if (sd_bus_message_enter_container(m, 'r', "ia{sv}av") <= 0) return;
    int id = 0;
    sd_bus_message_read(m, "i", &id);
    PrintLine("node %d %d %s", id, parent, Properties(m).c_str());
    sd_bus_message_enter_container(m, 'a', "v");
    while (sd_bus_message_enter_container(m, 'v', "(ia{sv}av)") > 0) {
      PrintNode(m, id);
      sd_bus_message_exit_container(m);
    }
    sd_bus_message_exit_container(m);
    sd_bus_message_exit_container(m);
  }

  void Layout() {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    if (sd_bus_call_method(m_bus, Item(), "/MenuBar", kMenuInterface, "GetLayout", &error, &reply, "iias", 0, -1,
                           0) < 0) {
      PrintLine("failed GetLayout %s", error.name ? error.name : "");
      sd_bus_error_free(&error);
      return;
    }
    Message owned(reply);
    unsigned revision = 0;
    sd_bus_message_read(reply, "u", &revision);
    PrintNode(reply, -1);
    PrintLine("layout done %u", revision);
  }

  static int OnMenuSignal(sd_bus_message* m, void*, sd_bus_error*) {
    if (sd_bus_message_is_signal(m, kMenuInterface, "LayoutUpdated") > 0) {
      unsigned revision = 0;
      int parent = 0;
      sd_bus_message_read(m, "ui", &revision, &parent);
      PrintLine("menu-signal LayoutUpdated %u", revision);
    } else if (sd_bus_message_is_signal(m, kMenuInterface, "ItemsPropertiesUpdated") > 0) {
      std::string items;
      sd_bus_message_enter_container(m, 'a', "(ia{sv})");
      while (sd_bus_message_enter_container(m, 'r', "ia{sv}") > 0) {
        int id = 0;
        sd_bus_message_read(m, "i", &id);
        items += " " + std::to_string(id) + "{" + Properties(m) + "}";
        sd_bus_message_exit_container(m);
      }
      PrintLine("menu-signal ItemsPropertiesUpdated%s", items.c_str());
    }
    return 0;
  }

  std::string CallMenu(const char* method, const char* types, ...) {
    sd_bus_message* m = nullptr;
    if (sd_bus_message_new_method_call(m_bus, &m, Item(), "/MenuBar", kMenuInterface, method) < 0)
      return "local-failure";
    Message call(m);
    va_list args;
    va_start(args, types);
    const int r = sd_bus_message_appendv(m, types, args);
    va_end(args);
    if (r < 0) return "local-failure";
    return Send(m);
  }

  // A call with a long array of one type: `count` ids, names or events.
  std::string CallMenuWithList(const char* method, const char* prefix, char kind, int count, const char* suffix) {
    sd_bus_message* m = nullptr;
    if (sd_bus_message_new_method_call(m_bus, &m, Item(), "/MenuBar", kMenuInterface, method) < 0)
      return "local-failure";
    Message call(m);
    if (*prefix) sd_bus_message_append(m, prefix, 0, -1);
    const char* contents = kind == 'i' ? "i" : kind == 's' ? "s" : "(isvu)";
    sd_bus_message_open_container(m, 'a', contents);
    for (int i = 0; i < count; ++i) {
      if (kind == 'i') sd_bus_message_append(m, "i", i);
      if (kind == 's') sd_bus_message_append(m, "s", "label");
      if (kind == 'e') sd_bus_message_append(m, "(isvu)", 1, "hovered", "i", 0, 0u);
    }
    sd_bus_message_close_container(m);
    if (*suffix) sd_bus_message_append(m, suffix, 0);
    return Send(m);
  }

  // Each case is a menu request no well-behaved host makes; every one must be answered with an error.
  void MenuHostile() {
    auto say = [this](const char* name, const std::string& error) { PrintLine("menuhostile %s %s", name, Outcome(error).c_str()); };
    say("layout-unknown-id", CallMenu("GetLayout", "iias", 9999, -1, 0));
    say("layout-wrong-types", CallMenu("GetLayout", "s", "0"));
    say("layout-too-many-names", CallMenuWithList("GetLayout", "ii", 's', 1000, ""));
    say("properties-too-many-ids", CallMenuWithList("GetGroupProperties", "", 'i', 100000, "as"));
    say("property-unknown-name", CallMenu("GetProperty", "is", 1, "no-such-property"));
    say("property-unknown-id", CallMenu("GetProperty", "is", -7, "label"));
    say("event-unknown-id", CallMenu("Event", "isvu", 9999, "clicked", "i", 0, 0u));
    say("event-without-data", CallMenu("Event", "is", 1, "clicked"));
    say("event-group-unknown-ids", CallMenu("EventGroup", "a(isvu)", 2, 9998, "clicked", "i", 0, 0u, 9999,
                                            "clicked", "i", 0, 0u));
    say("event-group-too-long", CallMenuWithList("EventGroup", "", 'e', 1000, ""));
    say("about-to-show-unknown-id", CallMenu("AboutToShow", "i", -1));
    say("about-to-show-group-too-long", CallMenuWithList("AboutToShowGroup", "", 'i', 100000, ""));
    PrintLine("menuhostile done");
  }

  // Asks for the item's pictures `count` times and reads none of the answers until greedy-read: a peer
  // that never empties its socket.
  void Greedy(int count) {
    for (int i = 0; i < count; ++i) {
      sd_bus_slot* slot = nullptr;
      if (sd_bus_call_method_async(m_bus, &slot, Item(), kItemPath, "org.freedesktop.DBus.Properties", "Get",
                                   OnFloodReply, this, "ss", kItemInterface, "IconPixmap") >= 0)
        m_greedy.push_back(slot);
    }
    sd_bus_flush(m_bus);
    PrintLine("greedy sent %zu", m_greedy.size());
  }

  void ReadGreedy() {
    m_floodOk = 0;
    m_floodRefused = 0;
    while (m_floodOk + m_floodRefused < static_cast<int>(m_greedy.size())) {
      const int r = sd_bus_process(m_bus, nullptr);
      if (r < 0) break;
      if (r == 0 && sd_bus_wait(m_bus, kCallTimeoutUs) <= 0) break;
    }
    for (sd_bus_slot* slot : m_greedy) sd_bus_slot_unref(slot);
    m_greedy.clear();
    PrintLine("greedy ok %d refused %d", m_floodOk, m_floodRefused);
  }

  static int OnFloodReply(sd_bus_message* reply, void* userdata, sd_bus_error*) {
    auto* self = static_cast<CWatcher*>(userdata);
    (sd_bus_message_is_method_error(reply, nullptr) ? self->m_floodRefused : self->m_floodOk)++;
    return 0;
  }

  static int OnRegisterItem(sd_bus_message* call, void* userdata, sd_bus_error* error) {
    auto* self = static_cast<CWatcher*>(userdata);
    const char* service = nullptr;
    if (sd_bus_message_read(call, "s", &service) < 0) return -EINVAL;
    // An object path stands for the caller's own item at that path: the caller is the service.
    if (service[0] == '/' && sd_bus_message_get_sender(call)) service = sd_bus_message_get_sender(call);
    if (self->m_refuse) {
      PrintLine("refused %s", service);
      return sd_bus_error_set_const(error, "org.kde.StatusNotifierWatcher.Error.Refused",
                                    "Refused by the test");
    }
    const char* sender = sd_bus_message_get_sender(call);
    Registration registration{service};
    // The item is gone when its name leaves the bus.
    const std::string match = std::string(
                                  "type='signal',sender='org.freedesktop.DBus',member='NameOwnerChanged',"
                                  "arg0='") +
                              service + "',arg2=''";
    sd_bus_add_match(self->m_bus, &registration.nameWatch, match.c_str(), OnNameGone, self);
    self->m_registrations.push_back(registration);
    PrintLine("registered %s %s", service, sender ? sender : "?");
    sd_bus_emit_signal(self->m_bus, "/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher",
                       "StatusNotifierItemRegistered", "s", service);
    return sd_bus_reply_method_return(call, "");
  }

  static int OnNameGone(sd_bus_message* signal, void* userdata, sd_bus_error*) {
    auto* self = static_cast<CWatcher*>(userdata);
    const char* name = nullptr;
    if (sd_bus_message_read(signal, "s", &name) < 0) return 0;
    for (auto it = self->m_registrations.begin(); it != self->m_registrations.end(); ++it) {
      if (it->service != name) continue;
      PrintLine("unregistered %s", name);
      sd_bus_slot_unref(it->nameWatch);
      self->m_registrations.erase(it);
      break;
    }
    return 0;
  }

  static int OnRegisterHost(sd_bus_message* call, void*, sd_bus_error*) {
    return sd_bus_reply_method_return(call, "");
  }

  static int GetItems(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* userdata,
                      sd_bus_error*) {
    auto* self = static_cast<CWatcher*>(userdata);
    sd_bus_message_open_container(reply, 'a', "s");
    for (const Registration& registration : self->m_registrations) {
      if (!self->m_unlisted) sd_bus_message_append(reply, "s", registration.service.c_str());
    }
    return sd_bus_message_close_container(reply);
  }

  static int GetHasHost(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* userdata,
                        sd_bus_error*) {
    return sd_bus_message_append(reply, "b", static_cast<CWatcher*>(userdata)->m_hasHost ? 1 : 0);
  }

  static int GetZero(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
                     sd_bus_error*) {
    return sd_bus_message_append(reply, "i", 0);
  }

  sd_bus* m_bus;
  bool m_refuse;
  bool m_hasHost;
  bool m_unlisted;
  std::vector<Registration> m_registrations;
  int m_floodOk = 0;
  int m_floodRefused = 0;
  std::vector<sd_bus_slot*> m_greedy;
};

}  // namespace

int main(int argc, char** argv) {
  bool refuse = false;
  bool hostless = false;
  bool unlisted = false;
  for (int i = 1; i < argc; ++i) {
    unlisted = unlisted || std::strcmp(argv[i], "--unlisted") == 0;
    refuse = refuse || std::strcmp(argv[i], "--refuse") == 0;
    hostless = hostless || std::strcmp(argv[i], "--no-host") == 0;
  }
  sd_bus* bus = nullptr;
  if (sd_bus_open_user(&bus) < 0) {
    std::fprintf(stderr, "sni_test_watcher: no session bus\n");
    return 2;
  }
  CWatcher watcher(bus, refuse, hostless, unlisted);
  if (!watcher.Start()) {
    std::fprintf(stderr, "sni_test_watcher: cannot own org.kde.StatusNotifierWatcher\n");
    return 2;
  }
  PrintLine("ready");
  std::string pending;
  for (;;) {
    int r = 0;
    while (!watcher.Stalled() && (r = sd_bus_process(bus, nullptr)) > 0) {
    }
    if (r < 0) return 1;
    pollfd fds[2] = {{0, POLLIN, 0}, {sd_bus_get_fd(bus), static_cast<short>(sd_bus_get_events(bus)), 0}};
    std::uint64_t until = 0;
    int timeout = -1;
    if (sd_bus_get_timeout(bus, &until) > 0 && until != UINT64_MAX) timeout = 10;
    if (poll(fds, watcher.Stalled() ? 1 : 2, watcher.Stalled() ? -1 : timeout) < 0) return 1;
    if (!(fds[0].revents & (POLLIN | POLLHUP))) continue;
    char chunk[256];
    const ssize_t got = read(0, chunk, sizeof chunk);
    if (got <= 0) break;
    pending.append(chunk, static_cast<size_t>(got));
    for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
      const std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      if (line == "quit") {
        sd_bus_flush_close_unref(bus);
        return 0;
      }
      watcher.Command(line);
    }
  }
  sd_bus_flush_close_unref(bus);
  return 0;
}
