// A tray icon's menu as the com.canonical.dbusmenu protocol numbers and describes it, made from the plain
// menu the window system hands the backend. No bus in here: every question a host may ask is answered from
// typed values, so it can be tried without one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/linux/Backend.h"

namespace platform::x11 {

// dbusmenu's item properties are strings, booleans and integers.
using DBusMenuValue = std::variant<std::string, bool, std::int32_t>;
using DBusMenuProperties = std::vector<std::pair<std::string, DBusMenuValue>>;

// An item with its properties and, as deep as asked, its children: one node of GetLayout's answer.
struct DBusMenuNode {
  std::int32_t id = 0;
  DBusMenuProperties properties;
  std::vector<DBusMenuNode> children;
};

// What a new menu changed, for the hosts that keep a copy.
struct DBusMenuChange {
  bool layout = false;                // items came, went or changed kind: LayoutUpdated
  std::vector<std::int32_t> updated;  // otherwise, the items whose properties changed
  std::vector<std::pair<std::int32_t, std::vector<std::string>>> removed;  // and the properties they lost
};

class CDBusMenuModel {
 public:
  CDBusMenuModel();

  DBusMenuChange Set(const TrayMenu& menu);
  // Goes up with every change of the layout.
  std::uint32_t Revision() const { return m_revision; }
  bool Contains(std::int32_t id) const;

  // The item and its descendants down to `depth` levels (-1: all), with the properties named (none: all);
  // nothing for an unknown id.
  std::optional<DBusMenuNode> Layout(std::int32_t id, std::int32_t depth,
                                     const std::vector<std::string>& names) const;
  std::optional<DBusMenuProperties> Properties(std::int32_t id, const std::vector<std::string>& names) const;
  // The command a click on the item runs: 0 for the root, a separator or a submenu; nothing for an unknown id.
  std::optional<UINT> CommandOf(std::int32_t id) const;

 private:
  struct Entry {
    std::int32_t parent = -1;
    UINT command = 0;
    DBusMenuProperties properties;
    std::vector<std::int32_t> children;
  };
  void Add(const TrayMenu& items, std::int32_t parent, std::vector<Entry>& entries) const;

  // Indexed by id; 0 is the root, the others follow the menu in reading order.
  std::vector<Entry> m_entries;
  std::uint32_t m_revision = 1;
};

}  // namespace platform::x11
