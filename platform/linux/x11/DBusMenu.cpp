// com.canonical.dbusmenu over sd-bus: reads a host's requests into typed values, answers them from the
// menu's model, and tells the hosts of every change. Whatever a peer sends (unknown ids, wrong types, long
// lists, floods) is refused with an error and changes nothing.
#include "platform/linux/x11/DBusMenu.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace platform::x11 {

namespace {

constexpr const char* kInterface = "com.canonical.dbusmenu";
// The longest lists a request may carry: far more than the menu has items or properties.
constexpr std::size_t kMaxNames = 32;
constexpr std::size_t kMaxIds = 256;
constexpr std::size_t kMaxEvents = 64;

CDBusMenu* Self(void* userdata) {
  return static_cast<CDBusMenu*>(userdata);
}

int NoSuchItem(sd_bus_error* error) {
  return sd_bus_error_set_const(error, SD_BUS_ERROR_INVALID_ARGS, "No such menu item");
}

int TooLong(sd_bus_error* error) {
  return sd_bus_error_set_const(error, SD_BUS_ERROR_LIMITS_EXCEEDED, "Too many entries in one request");
}

int Busy(sd_bus_error* error) {
  return sd_bus_error_set_const(error, SD_BUS_ERROR_LIMITS_EXCEEDED, "Too many requests; try again later");
}

// Reads an array of strings of at most kMaxNames; -E2BIG when it holds more.
int ReadNames(sd_bus_message* m, std::vector<std::string>& names) {
  int r = sd_bus_message_enter_container(m, 'a', "s");
  if (r < 0) return r;
  const char* name = nullptr;
  while ((r = sd_bus_message_read_basic(m, 's', &name)) > 0) {
    if (names.size() == kMaxNames) return -E2BIG;
    names.emplace_back(name);
  }
  if (r < 0) return r;
  return sd_bus_message_exit_container(m);
}

int ReadIds(sd_bus_message* m, std::vector<std::int32_t>& ids) {
  const void* data = nullptr;
  std::size_t size = 0;
  const int r = sd_bus_message_read_array(m, 'i', &data, &size);
  if (r < 0) return r;
  if (size / sizeof(std::int32_t) > kMaxIds) return -E2BIG;
  const auto* first = static_cast<const std::int32_t*>(data);
  ids.assign(first, first + size / sizeof(std::int32_t));
  return 0;
}

int ReadFailure(int r, sd_bus_error* error) {
  return r == -E2BIG ? TooLong(error) : r;
}

int AppendValue(sd_bus_message* m, const DBusMenuValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return sd_bus_message_append(m, "v", "s", text->c_str());
  if (const auto* flag = std::get_if<bool>(&value)) return sd_bus_message_append(m, "v", "b", *flag ? 1 : 0);
  return sd_bus_message_append(m, "v", "i", std::get<std::int32_t>(value));
}

int AppendProperties(sd_bus_message* m, const DBusMenuProperties& properties) {
  int r = sd_bus_message_open_container(m, 'a', "{sv}");
  for (const auto& [name, value] : properties) {
    if (r >= 0) r = sd_bus_message_open_container(m, 'e', "sv");
    if (r >= 0) r = sd_bus_message_append(m, "s", name.c_str());
    if (r >= 0) r = AppendValue(m, value);
    if (r >= 0) r = sd_bus_message_close_container(m);
  }
  if (r >= 0) r = sd_bus_message_close_container(m);
  return r;
}

int AppendNode(sd_bus_message* m, const DBusMenuNode& node) {
  int r = sd_bus_message_open_container(m, 'r', "ia{sv}av");
  if (r >= 0) r = sd_bus_message_append(m, "i", node.id);
  if (r >= 0) r = AppendProperties(m, node.properties);
  if (r >= 0) r = sd_bus_message_open_container(m, 'a', "v");
  for (const DBusMenuNode& child : node.children) {
    if (r >= 0) r = sd_bus_message_open_container(m, 'v', "(ia{sv}av)");
    if (r >= 0) r = AppendNode(m, child);
    if (r >= 0) r = sd_bus_message_close_container(m);
  }
  if (r >= 0) r = sd_bus_message_close_container(m);
  if (r >= 0) r = sd_bus_message_close_container(m);
  return r;
}

int AppendIds(sd_bus_message* m, const std::vector<std::int32_t>& ids) {
  return sd_bus_message_append_array(m, 'i', ids.data(), ids.size() * sizeof(std::int32_t));
}

}  // namespace

CDBusMenu::CDBusMenu(sd_bus* bus, Owner owner) : m_bus(bus), m_owner(std::move(owner)) {}

CDBusMenu::~CDBusMenu() = default;

const sd_bus_vtable* CDBusMenu::Vtable() {
  static const sd_bus_vtable vtable[] = {
      SD_BUS_VTABLE_START(0),
      SD_BUS_PROPERTY("Version", "u", GetMenuProperty, 0, SD_BUS_VTABLE_PROPERTY_CONST),
      SD_BUS_PROPERTY("TextDirection", "s", GetMenuProperty, 0, SD_BUS_VTABLE_PROPERTY_CONST),
      SD_BUS_PROPERTY("Status", "s", GetMenuProperty, 0, SD_BUS_VTABLE_PROPERTY_CONST),
      SD_BUS_PROPERTY("IconThemePath", "as", GetMenuProperty, 0, SD_BUS_VTABLE_PROPERTY_CONST),
      SD_BUS_METHOD("GetLayout", "iias", "u(ia{sv}av)", OnGetLayout, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_METHOD("GetGroupProperties", "aias", "a(ia{sv})", OnGetGroupProperties,
                    SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_METHOD("GetProperty", "is", "v", OnGetProperty, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_METHOD("Event", "isvu", "", OnEvent, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_METHOD("EventGroup", "a(isvu)", "ai", OnEventGroup, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_METHOD("AboutToShow", "i", "b", OnAboutToShow, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_METHOD("AboutToShowGroup", "ai", "aiai", OnAboutToShowGroup, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_SIGNAL("ItemsPropertiesUpdated", "a(ia{sv})a(ias)", 0),
      SD_BUS_SIGNAL("LayoutUpdated", "ui", 0),
      SD_BUS_SIGNAL("ItemActivationRequested", "iu", 0),
      SD_BUS_VTABLE_END,
  };
  return vtable;
}

int CDBusMenu::Start() {
  sd_bus_slot* slot = nullptr;
  const int r = sd_bus_add_object_vtable(m_bus, &slot, kPath, kInterface, Vtable(), this);
  if (r >= 0) m_object.reset(slot);
  return r;
}

void CDBusMenu::Set(const TrayMenu& menu) {
  const DBusMenuChange change = m_model.Set(menu);
  if (change.layout)
    EmitLayoutUpdated();
  else if (!change.updated.empty())
    EmitItemsUpdated(change);
}

void CDBusMenu::EmitLayoutUpdated() {
  sd_bus_emit_signal(m_bus, kPath, kInterface, "LayoutUpdated", "ui", m_model.Revision(), 0);
}

void CDBusMenu::EmitItemsUpdated(const DBusMenuChange& change) {
  sd_bus_message* signal = nullptr;
  int r = sd_bus_message_new_signal(m_bus, &signal, kPath, kInterface, "ItemsPropertiesUpdated");
  if (r >= 0) r = sd_bus_message_open_container(signal, 'a', "(ia{sv})");
  for (std::int32_t id : change.updated) {
    if (r >= 0) r = sd_bus_message_open_container(signal, 'r', "ia{sv}");
    if (r >= 0) r = sd_bus_message_append(signal, "i", id);
    if (r >= 0) r = AppendProperties(signal, *m_model.Properties(id, {}));
    if (r >= 0) r = sd_bus_message_close_container(signal);
  }
  if (r >= 0) r = sd_bus_message_close_container(signal);
  if (r >= 0) r = sd_bus_message_open_container(signal, 'a', "(ias)");
  for (const auto& [id, names] : change.removed) {
    if (r >= 0) r = sd_bus_message_open_container(signal, 'r', "ias");
    if (r >= 0) r = sd_bus_message_append(signal, "i", id);
    if (r >= 0) r = sd_bus_message_open_container(signal, 'a', "s");
    for (const std::string& name : names) {
      if (r >= 0) r = sd_bus_message_append(signal, "s", name.c_str());
    }
    if (r >= 0) r = sd_bus_message_close_container(signal);
    if (r >= 0) r = sd_bus_message_close_container(signal);
  }
  if (r >= 0) r = sd_bus_message_close_container(signal);
  if (r >= 0) sd_bus_send(m_bus, signal, nullptr);
  sd_bus_message_unref(signal);
}

int CDBusMenu::OnGetLayout(sd_bus_message* call, void* userdata, sd_bus_error* error) {
  CDBusMenu* self = Self(userdata);
  std::int32_t parent = 0;
  std::int32_t depth = 0;
  std::vector<std::string> names;
  int r = sd_bus_message_read(call, "ii", &parent, &depth);
  if (r >= 0) r = ReadNames(call, names);
  if (r < 0) return ReadFailure(r, error);
  if (self->m_owner.backlogged()) return Busy(error);
  const auto layout = self->m_model.Layout(parent, depth, names);
  if (!layout) return NoSuchItem(error);
  self->m_owner.read();
  sd_bus_message* reply = nullptr;
  r = sd_bus_message_new_method_return(call, &reply);
  if (r >= 0) r = sd_bus_message_append(reply, "u", self->m_model.Revision());
  if (r >= 0) r = AppendNode(reply, *layout);
  if (r >= 0) r = sd_bus_send(nullptr, reply, nullptr);
  sd_bus_message_unref(reply);
  return r;
}

// Unknown ids are left out of the answer, as hosts that ask for items they knew a layout ago expect.
int CDBusMenu::OnGetGroupProperties(sd_bus_message* call, void* userdata, sd_bus_error* error) {
  CDBusMenu* self = Self(userdata);
  std::vector<std::int32_t> ids;
  std::vector<std::string> names;
  int r = ReadIds(call, ids);
  if (r >= 0) r = ReadNames(call, names);
  if (r < 0) return ReadFailure(r, error);
  if (self->m_owner.backlogged()) return Busy(error);
  sd_bus_message* reply = nullptr;
  r = sd_bus_message_new_method_return(call, &reply);
  if (r >= 0) r = sd_bus_message_open_container(reply, 'a', "(ia{sv})");
  for (std::int32_t id : ids) {
    const auto properties = self->m_model.Properties(id, names);
    if (!properties) continue;
    if (r >= 0) r = sd_bus_message_open_container(reply, 'r', "ia{sv}");
    if (r >= 0) r = sd_bus_message_append(reply, "i", id);
    if (r >= 0) r = AppendProperties(reply, *properties);
    if (r >= 0) r = sd_bus_message_close_container(reply);
  }
  if (r >= 0) r = sd_bus_message_close_container(reply);
  if (r >= 0) r = sd_bus_send(nullptr, reply, nullptr);
  sd_bus_message_unref(reply);
  return r;
}

int CDBusMenu::OnGetProperty(sd_bus_message* call, void* userdata, sd_bus_error* error) {
  CDBusMenu* self = Self(userdata);
  std::int32_t id = 0;
  const char* name = nullptr;
  const int r = sd_bus_message_read(call, "is", &id, &name);
  if (r < 0) return r;
  const auto properties = self->m_model.Properties(id, {name});
  if (!properties) return NoSuchItem(error);
  if (properties->empty())
    return sd_bus_error_set_const(error, SD_BUS_ERROR_UNKNOWN_PROPERTY, "The item has no such property");
  sd_bus_message* reply = nullptr;
  int w = sd_bus_message_new_method_return(call, &reply);
  if (w >= 0) w = AppendValue(reply, properties->front().second);
  if (w >= 0) w = sd_bus_send(nullptr, reply, nullptr);
  sd_bus_message_unref(reply);
  return w;
}

int CDBusMenu::TakeEvent(std::int32_t id, const char* name, std::uint32_t timestamp, sd_bus_error* error) {
  const auto command = m_model.CommandOf(id);
  if (!command) return NoSuchItem(error);
  // Hovering, opening and closing mean nothing to the program, nor does a click on a submenu's caption.
  if (std::strcmp(name, "clicked") != 0 || *command == 0) return 0;
  if (!m_owner.admitChoice()) return Busy(error);
  m_owner.chosen(*command, timestamp);
  return 0;
}

int CDBusMenu::OnEvent(sd_bus_message* call, void* userdata, sd_bus_error* error) {
  CDBusMenu* self = Self(userdata);
  std::int32_t id = 0;
  const char* name = nullptr;
  std::uint32_t timestamp = 0;
  int r = sd_bus_message_read(call, "is", &id, &name);
  if (r >= 0) r = sd_bus_message_skip(call, "v");
  if (r >= 0) r = sd_bus_message_read(call, "u", &timestamp);
  if (r < 0) return r;
  r = self->TakeEvent(id, name, timestamp, error);
  if (r < 0) return r;
  return sd_bus_reply_method_return(call, "");
}

// Answers with the ids of the events that were refused; when every one was, the call fails. The whole
// request is read before any of it is taken, so that one too long changes nothing.
int CDBusMenu::OnEventGroup(sd_bus_message* call, void* userdata, sd_bus_error* error) {
  CDBusMenu* self = Self(userdata);
  struct Event {
    std::int32_t id = 0;
    std::string name;
    std::uint32_t timestamp = 0;
  };
  std::vector<Event> events;
  int r = sd_bus_message_enter_container(call, 'a', "(isvu)");
  while (r >= 0 && (r = sd_bus_message_enter_container(call, 'r', "isvu")) > 0) {
    if (events.size() == kMaxEvents) return TooLong(error);
    Event event;
    const char* name = nullptr;
    r = sd_bus_message_read(call, "is", &event.id, &name);
    if (r >= 0) r = sd_bus_message_skip(call, "v");
    if (r >= 0) r = sd_bus_message_read(call, "u", &event.timestamp);
    if (r >= 0) r = sd_bus_message_exit_container(call);
    if (r < 0) return r;
    event.name = name;
    events.push_back(std::move(event));
  }
  if (r >= 0) r = sd_bus_message_exit_container(call);
  if (r < 0) return r;
  std::vector<std::int32_t> refused;
  for (const Event& event : events) {
    sd_bus_error one = SD_BUS_ERROR_NULL;
    if (self->TakeEvent(event.id, event.name.c_str(), event.timestamp, &one) < 0) refused.push_back(event.id);
    sd_bus_error_free(&one);
  }
  if (!events.empty() && refused.size() == events.size()) return NoSuchItem(error);
  sd_bus_message* reply = nullptr;
  r = sd_bus_message_new_method_return(call, &reply);
  if (r >= 0) r = AppendIds(reply, refused);
  if (r >= 0) r = sd_bus_send(nullptr, reply, nullptr);
  sd_bus_message_unref(reply);
  return r;
}

// The menu is always up to date by the time a host shows it: it never needs a fresh layout.
int CDBusMenu::OnAboutToShow(sd_bus_message* call, void* userdata, sd_bus_error* error) {
  CDBusMenu* self = Self(userdata);
  std::int32_t id = 0;
  const int r = sd_bus_message_read(call, "i", &id);
  if (r < 0) return r;
  if (!self->m_model.Contains(id)) return NoSuchItem(error);
  return sd_bus_reply_method_return(call, "b", 0);
}

int CDBusMenu::OnAboutToShowGroup(sd_bus_message* call, void* userdata, sd_bus_error* error) {
  CDBusMenu* self = Self(userdata);
  std::vector<std::int32_t> ids;
  int r = ReadIds(call, ids);
  if (r < 0) return ReadFailure(r, error);
  std::vector<std::int32_t> unknown;
  for (std::int32_t id : ids) {
    if (!self->m_model.Contains(id)) unknown.push_back(id);
  }
  sd_bus_message* reply = nullptr;
  r = sd_bus_message_new_method_return(call, &reply);
  if (r >= 0) r = AppendIds(reply, {});
  if (r >= 0) r = AppendIds(reply, unknown);
  if (r >= 0) r = sd_bus_send(nullptr, reply, nullptr);
  sd_bus_message_unref(reply);
  return r;
}

int CDBusMenu::GetMenuProperty(sd_bus*, const char*, const char*, const char* property, sd_bus_message* reply,
                               void*, sd_bus_error*) {
  if (std::strcmp(property, "Version") == 0) return sd_bus_message_append(reply, "u", 3u);
  if (std::strcmp(property, "TextDirection") == 0) return sd_bus_message_append(reply, "s", "ltr");
  if (std::strcmp(property, "Status") == 0) return sd_bus_message_append(reply, "s", "normal");
  return sd_bus_message_append(reply, "as", 0);
}

}  // namespace platform::x11
