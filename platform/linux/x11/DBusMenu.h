// A tray icon's menu on the session bus as com.canonical.dbusmenu, for the panels that draw an item's menu
// themselves (GNOME's AppIndicator extension, the Xfce and LXQt panels, ...). It lives on the connection of
// the StatusNotifierItem it belongs to, whose Menu property names its path.
#pragma once

#include <systemd/sd-bus.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/linux/Backend.h"
#include "platform/linux/x11/DBusMenuModel.h"

namespace platform::x11 {

class CDBusMenu {
 public:
  static constexpr const char* kPath = "/MenuBar";

  // What the menu needs of the item it belongs to.
  struct Owner {
    // Whether one more choice may reach the program now (its share of the item's request budget).
    std::function<bool()> admitChoice;
    // Whether the peers have left so many answers unread that no more are written for now.
    std::function<bool()> backlogged;
    // A host clicked an item that runs `command`, at its own `timestamp` (0 when it gave none).
    std::function<void(UINT command, std::uint32_t timestamp)> chosen;
    // A host read the menu: it shows the item.
    std::function<void()> read;
  };

  CDBusMenu(sd_bus* bus, Owner owner);
  ~CDBusMenu();
  CDBusMenu(const CDBusMenu&) = delete;
  CDBusMenu& operator=(const CDBusMenu&) = delete;

  // Exports the object; a negative errno when the bus refuses.
  int Start();
  // Takes the object off the bus, before the connection closes.
  void Withdraw() { m_object.reset(); }
  // Takes the program's menu as it is now and tells the hosts what changed.
  void Set(const TrayMenu& menu);

 private:
  static const sd_bus_vtable* Vtable();
  static int OnGetLayout(sd_bus_message* call, void* self, sd_bus_error* error);
  static int OnGetGroupProperties(sd_bus_message* call, void* self, sd_bus_error* error);
  static int OnGetProperty(sd_bus_message* call, void* self, sd_bus_error* error);
  static int OnEvent(sd_bus_message* call, void* self, sd_bus_error* error);
  static int OnEventGroup(sd_bus_message* call, void* self, sd_bus_error* error);
  static int OnAboutToShow(sd_bus_message* call, void* self, sd_bus_error* error);
  static int OnAboutToShowGroup(sd_bus_message* call, void* self, sd_bus_error* error);
  static int GetMenuProperty(sd_bus* bus, const char* path, const char* iface, const char* property,
                             sd_bus_message* reply, void* self, sd_bus_error* error);

  // A host's event on an item: 0 when it was taken, else the error that refused it.
  int TakeEvent(std::int32_t id, const char* name, std::uint32_t timestamp, sd_bus_error* error);
  void EmitLayoutUpdated();
  void EmitItemsUpdated(const DBusMenuChange& change);

  struct SlotDeleter {
    void operator()(sd_bus_slot* slot) const { sd_bus_slot_unref(slot); }
  };

  sd_bus* m_bus;
  Owner m_owner;
  CDBusMenuModel m_model;
  std::unique_ptr<sd_bus_slot, SlotDeleter> m_object;
};

}  // namespace platform::x11
