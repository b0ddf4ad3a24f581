// Tray icons in the desktop's notification area, through the freedesktop system tray protocol (XEmbed).
#pragma once

#include <X11/Xlib.h>

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/linux/Backend.h"
#include "platform/linux/x11/X11Connection.h"
#include "platform/linux/x11/X11Image.h"

namespace platform::x11 {

class CX11Tray {
 public:
  explicit CX11Tray(CX11Connection& connection) : m_connection(connection) {}
  ~CX11Tray();
  CX11Tray(const CX11Tray&) = delete;
  CX11Tray& operator=(const CX11Tray&) = delete;

  // Adds an icon; it docks now if a tray host runs, or as soon as one starts.
  TrayId Add(const std::vector<PixelImage>& images);
  void Remove(TrayId id);

  // Takes the events that concern the tray: its icon windows, the tray host's window and the root
  // window's MANAGER announcements. Returns false for any other event. `out` receives what the program
  // should hear of, if anything.
  bool HandleEvent(const XEvent& event, std::optional<InputEvent>& out);

 private:
  struct Icon {
    std::vector<PixelImage> images;
    Window window = None;
    GC gc = nullptr;
    int width = 0;
    int height = 0;
    std::unique_ptr<CX11Image> image;
  };

  // Looks up the tray host and the visual it wants its icons in; false when there is none.
  bool FindManager();
  // Whether the tray selection has an owner other than the host the icons are docked in.
  bool ManagerChanged();
  void DockAll();
  void Dock(Icon& icon);
  // Forgets the icon's window; destroys it unless the server already has.
  void DropWindow(Icon& icon, bool destroyed);
  void ForgetManager();
  void Paint(Icon& icon);
  // The pixels behind a square of the icon, for blending its transparent parts over the tray's own
  // background.
  std::vector<std::uint32_t> Background(const Icon& icon, const RECT& square);
  std::pair<TrayId, Icon*> FindByWindow(Window window);

  CX11Connection& m_connection;
  std::map<TrayId, Icon> m_icons;
  TrayId m_nextId = 1;
  bool m_watchingRoot = false;
  Window m_manager = None;
  // The visual the tray host asked for (_NET_SYSTEM_TRAY_VISUAL); a 32-bit one carries alpha.
  Visual* m_visual = nullptr;
  int m_depth = 0;
  Colormap m_colormap = None;
  bool m_ownColormap = false;
  bool m_argb = false;
};

}  // namespace platform::x11
