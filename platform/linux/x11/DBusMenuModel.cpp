// Numbers the menu's items as dbusmenu ids, describes each with dbusmenu's properties, and answers the
// layout and property questions of a host from that.
#include "platform/linux/x11/DBusMenuModel.h"

#include <algorithm>

namespace platform::x11 {

namespace {

// Hosts take an underscore for the mark of an access key; the program's captions have none.
std::string Label(const std::string& caption) {
  std::string label;
  for (char c : caption) {
    if (c == '_') label += '_';
    label += c;
  }
  return label;
}

// The properties in the order hosts usually ask for them; those that hold their default are left out,
// but "enabled", which some hosts read without a default.
DBusMenuProperties PropertiesOf(const TrayMenuItem& item) {
  if (item.separator) return {{"type", std::string("separator")}, {"enabled", item.enabled}};
  DBusMenuProperties properties{{"label", Label(item.label)}, {"enabled", item.enabled}};
  if (!item.children.empty()) properties.emplace_back("children-display", std::string("submenu"));
  if (item.checkable) {
    properties.emplace_back("toggle-type", std::string("checkmark"));
    properties.emplace_back("toggle-state", std::int32_t{item.checked ? 1 : 0});
  }
  return properties;
}

DBusMenuProperties RootProperties() {
  return {{"children-display", std::string("submenu")}};
}

bool Named(const std::vector<std::string>& names, const std::string& name) {
  return names.empty() || std::find(names.begin(), names.end(), name) != names.end();
}

DBusMenuProperties Filtered(const DBusMenuProperties& all, const std::vector<std::string>& names) {
  DBusMenuProperties chosen;
  for (const auto& property : all) {
    if (Named(names, property.first)) chosen.push_back(property);
  }
  return chosen;
}

// What makes an item the kind it is: a change of any of these is a change of the layout.
bool SameKind(const DBusMenuProperties& a, const DBusMenuProperties& b) {
  auto kind = [](const DBusMenuProperties& properties) {
    std::string text;
    for (const auto& [name, value] : properties) {
      if (name == "type" || name == "children-display") text += name + '=' + std::get<std::string>(value) + ';';
    }
    return text;
  };
  return kind(a) == kind(b);
}

}  // namespace

CDBusMenuModel::CDBusMenuModel() {
  m_entries.push_back(Entry{-1, 0, RootProperties(), {}});
}

void CDBusMenuModel::Add(const TrayMenu& items, std::int32_t parent, std::vector<Entry>& entries) const {
  for (const TrayMenuItem& item : items) {
    const auto id = static_cast<std::int32_t>(entries.size());
    entries[static_cast<std::size_t>(parent)].children.push_back(id);
    entries.push_back(Entry{parent, item.separator ? 0 : item.command, PropertiesOf(item), {}});
    Add(item.children, id, entries);
  }
}

DBusMenuChange CDBusMenuModel::Set(const TrayMenu& menu) {
  std::vector<Entry> entries;
  entries.push_back(Entry{-1, 0, RootProperties(), {}});
  Add(menu, 0, entries);
  DBusMenuChange change;
  change.layout = entries.size() != m_entries.size();
  for (std::size_t id = 0; id < entries.size() && !change.layout; ++id) {
    const Entry& now = entries[id];
    const Entry& before = m_entries[id];
    change.layout = now.parent != before.parent || now.command != before.command ||
                    !SameKind(now.properties, before.properties);
    if (now.properties == before.properties) continue;
    change.updated.push_back(static_cast<std::int32_t>(id));
    std::vector<std::string> gone;
    for (const auto& property : before.properties) {
      const bool kept = std::any_of(now.properties.begin(), now.properties.end(),
                                    [&](const auto& p) { return p.first == property.first; });
      if (!kept) gone.push_back(property.first);
    }
    if (!gone.empty()) change.removed.emplace_back(static_cast<std::int32_t>(id), std::move(gone));
  }
  if (change.layout) {
    change.updated.clear();
    change.removed.clear();
    ++m_revision;
  }
  m_entries = std::move(entries);
  return change;
}

bool CDBusMenuModel::Contains(std::int32_t id) const {
  return id >= 0 && static_cast<std::size_t>(id) < m_entries.size();
}

std::optional<DBusMenuNode> CDBusMenuModel::Layout(std::int32_t id, std::int32_t depth,
                                                   const std::vector<std::string>& names) const {
  if (!Contains(id)) return std::nullopt;
  const Entry& entry = m_entries[static_cast<std::size_t>(id)];
  DBusMenuNode node{id, Filtered(entry.properties, names), {}};
  // The tree is only a few levels deep, so however deep a host asks, the work is bounded by its size.
  if (depth != 0) {
    const std::int32_t below = depth < 0 ? -1 : depth - 1;
    for (std::int32_t child : entry.children) node.children.push_back(*Layout(child, below, names));
  }
  return node;
}

std::optional<DBusMenuProperties> CDBusMenuModel::Properties(std::int32_t id,
                                                             const std::vector<std::string>& names) const {
  if (!Contains(id)) return std::nullopt;
  return Filtered(m_entries[static_cast<std::size_t>(id)].properties, names);
}

std::optional<UINT> CDBusMenuModel::CommandOf(std::int32_t id) const {
  if (!Contains(id)) return std::nullopt;
  return m_entries[static_cast<std::size_t>(id)].command;
}

}  // namespace platform::x11
