// Docks icon windows into the tray host, paints them at the size it gives and reports the mouse over them.
#include "platform/linux/x11/X11Tray.h"

#include <X11/Xatom.h>

#include <algorithm>

#include "platform/api/IconPictures.h"
#include "platform/linux/x11/X11Input.h"

namespace platform::x11 {

namespace {

// The size an icon window asks for before the tray host decides; hosts that honour size hints (trayer)
// keep it, others (icewm) impose their own.
constexpr int kIconSize = 22;
constexpr long kSystemTrayRequestDock = 0;
constexpr long kXembedMapped = 1;
// What shows through transparent pixels when the tray's background cannot be read back.
constexpr std::uint32_t kFallbackBackground = 0xD4D0C8;
// The largest square the icon is painted in, whatever size the host gives its window: a host may say
// 32767 × 32767, and a picture of that size would take gigabytes. The rest shows the window's background.
constexpr int kMaxPaintedSide = 256;

std::uint32_t Over(std::uint32_t premultiplied, std::uint32_t background) {
  const std::uint32_t inverse = 255 - (premultiplied >> 24);
  auto channel = [&](int shift) {
    const std::uint32_t top = (premultiplied >> shift) & 0xFF;
    const std::uint32_t bottom = (background >> shift) & 0xFF;
    return std::min<std::uint32_t>(255, top + (bottom * inverse + 127) / 255) << shift;
  };
  return 0xFF000000u | channel(16) | channel(8) | channel(0);
}

}  // namespace

CX11Tray::~CX11Tray() {
  for (auto& [id, icon] : m_icons) DropWindow(icon, false);
  if (m_ownColormap) XFreeColormap(m_connection.Dpy(), m_colormap);
}

TrayId CX11Tray::Add(const std::vector<PixelImage>& images) {
  if (!m_watchingRoot) {
    // Watch for MANAGER announcements before asking for the host, so that one starting in between is
    // not missed.
    XSelectInput(m_connection.Dpy(), m_connection.Root(), StructureNotifyMask);
    m_watchingRoot = true;
  }
  const TrayId id = m_nextId++;
  Icon& icon = m_icons[id];
  icon.images = images;
  if (m_manager != None || FindManager()) Dock(icon);
  return id;
}

void CX11Tray::Remove(TrayId id) {
  auto found = m_icons.find(id);
  if (found == m_icons.end()) return;
  DropWindow(found->second, false);
  m_icons.erase(found);
}

bool CX11Tray::FindManager() {
  Display* dpy = m_connection.Dpy();
  const X11Atoms& atoms = m_connection.Atoms();
  m_manager = None;
  const Window owner = XGetSelectionOwner(dpy, atoms.netSystemTray);
  if (owner == None) return false;

  VisualID visualId = 0;
  {
    // The host may vanish at any moment; then these requests fail and we wait for the next one.
    CX11ErrorTrap trap(m_connection);
    XSelectInput(dpy, owner, StructureNotifyMask);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, owner, atoms.netSystemTrayVisual, 0, 1, False, XA_VISUALID, &type, &format,
                           &count, &after, &data) == Success &&
        data) {
      if (type == XA_VISUALID && format == 32 && count == 1)
        visualId = *reinterpret_cast<unsigned long*>(data);
      XFree(data);
    }
    if (trap.Failed()) return false;
  }
  m_manager = owner;

  if (m_ownColormap) XFreeColormap(dpy, m_colormap);
  m_visual = m_connection.SurfaceVisual();
  m_depth = m_connection.SurfaceDepth();
  m_colormap = m_connection.SurfaceColormap();
  m_ownColormap = false;
  m_argb = false;
  if (visualId != 0 && visualId != XVisualIDFromVisual(m_visual)) {
    XVisualInfo pattern{};
    pattern.visualid = visualId;
    pattern.screen = m_connection.ScreenNumber();
    int found = 0;
    XVisualInfo* info = XGetVisualInfo(dpy, VisualIDMask | VisualScreenMask, &pattern, &found);
    if (info && found > 0 && info->c_class == TrueColor) {
      m_visual = info->visual;
      m_depth = info->depth;
      m_colormap = XCreateColormap(dpy, m_connection.Root(), m_visual, AllocNone);
      m_ownColormap = true;
      m_argb = m_depth == 32;
    }
    if (info) XFree(info);
  }
  return true;
}

bool CX11Tray::ManagerChanged() {
  const Window owner = XGetSelectionOwner(m_connection.Dpy(), m_connection.Atoms().netSystemTray);
  return owner != None && owner != m_manager;
}

void CX11Tray::DockAll() {
  for (auto& [id, icon] : m_icons) {
    DropWindow(icon, false);
    Dock(icon);
  }
}

void CX11Tray::Dock(Icon& icon) {
  if (m_manager == None) return;
  Display* dpy = m_connection.Dpy();
  const X11Atoms& atoms = m_connection.Atoms();

  XSetWindowAttributes attributes{};
  unsigned long mask = CWBorderPixel | CWColormap | CWEventMask;
  attributes.border_pixel = 0;
  attributes.colormap = m_colormap;
  attributes.event_mask =
      ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | StructureNotifyMask;
  if (m_argb) {
    // A compositing tray blends our alpha itself; the window starts fully transparent.
    attributes.background_pixel = 0;
    mask |= CWBackPixel;
  } else {
    // Otherwise the tray's own background shows behind the icon and we blend over it ourselves.
    attributes.background_pixmap = ParentRelative;
    mask |= CWBackPixmap;
  }
  icon.window = XCreateWindow(dpy, m_connection.Root(), 0, 0, kIconSize, kIconSize, 0, m_depth, InputOutput,
                              m_visual, mask, &attributes);
  icon.width = kIconSize;
  icon.height = kIconSize;
  XGCValues values{};
  values.graphics_exposures = False;
  icon.gc = XCreateGC(dpy, icon.window, GCGraphicsExposures, &values);

  m_connection.SetClassHint(icon.window);
  m_connection.SetText(icon.window, XA_WM_NAME, m_connection.ProgramName() + " tray icon");
  // Without size hints trayer shrinks the icon to one pixel wide.
  XSizeHints* hints = XAllocSizeHints();
  if (hints) {
    hints->flags = PSize | PMinSize | PBaseSize;
    hints->width = hints->min_width = hints->base_width = kIconSize;
    hints->height = hints->min_height = hints->base_height = kIconSize;
    XSetWMNormalHints(dpy, icon.window, hints);
    XFree(hints);
  }
  // XEmbed version 0, and the host should map the icon once it has embedded it.
  m_connection.SetCardinals(icon.window, atoms.xembedInfo, atoms.xembedInfo, {0, kXembedMapped});

  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.window = m_manager;
  request.xclient.message_type = atoms.netSystemTrayOpcode;
  request.xclient.format = 32;
  request.xclient.data.l[0] = static_cast<long>(m_connection.UserTime());
  request.xclient.data.l[1] = kSystemTrayRequestDock;
  request.xclient.data.l[2] = static_cast<long>(icon.window);
  CX11ErrorTrap trap(m_connection);
  XSendEvent(dpy, m_manager, False, NoEventMask, &request);
  if (trap.Failed()) {
    // The host went away between finding it and asking it; the next MANAGER announcement docks again.
    DropWindow(icon, false);
    ForgetManager();
  }
}

void CX11Tray::DropWindow(Icon& icon, bool destroyed) {
  if (icon.window == None) return;
  Display* dpy = m_connection.Dpy();
  icon.image.reset();
  XFreeGC(dpy, icon.gc);
  icon.gc = nullptr;
  if (!destroyed) {
    // Inside a host that is going away the window may be gone already; that is no error of ours.
    CX11ErrorTrap trap(m_connection);
    XDestroyWindow(dpy, icon.window);
  }
  icon.window = None;
}

void CX11Tray::ForgetManager() {
  if (m_manager == None) return;
  m_manager = None;
  // A host that dies hands our icon windows back to the root window, where they would show as stray
  // squares in the corner; they go quietly instead and come back when a host appears.
  for (auto& [id, icon] : m_icons) DropWindow(icon, false);
}

std::pair<TrayId, CX11Tray::Icon*> CX11Tray::FindByWindow(Window window) {
  if (window == None) return {0, nullptr};
  for (auto& [id, icon] : m_icons)
    if (icon.window == window) return {id, &icon};
  return {0, nullptr};
}

bool CX11Tray::HandleEvent(const XEvent& event, std::optional<InputEvent>& out) {
  const X11Atoms& atoms = m_connection.Atoms();
  if (event.type == ClientMessage && event.xclient.window == m_connection.Root()) {
    if (event.xclient.message_type != atoms.manager || event.xclient.format != 32 ||
        static_cast<Atom>(event.xclient.data.l[1]) != atoms.netSystemTray)
      return false;
    // Anyone can send MANAGER; only the selection's owner, asked of the server, says whether a new host
    // really started (or replaced the old one). Then every icon docks into it.
    if (!m_icons.empty() && ManagerChanged() && FindManager()) DockAll();
    return true;
  }
  if (event.type == DestroyNotify && m_manager != None && event.xdestroywindow.window == m_manager) {
    ForgetManager();
    return true;
  }

  auto [id, icon] = FindByWindow(event.xany.window);
  if (!icon) return false;
  switch (event.type) {
    case DestroyNotify: DropWindow(*icon, true); break;
    case ReparentNotify:
      // Back on the root window means the host let go of it: leave quietly.
      if (event.xreparent.parent == m_connection.Root()) DropWindow(*icon, false);
      break;
    case ConfigureNotify:
      // A new size needs no paint here: a resize exposes the whole window (its contents are forgotten).
      icon->width = event.xconfigure.width;
      icon->height = event.xconfigure.height;
      break;
    case Expose:
      if (event.xexpose.count == 0) Paint(*icon);
      break;
    case ButtonPress:
    case ButtonRelease:
    case MotionNotify: {
      const unsigned button = event.type == MotionNotify ? 0 : event.xbutton.button;
      const UINT message = TrayMessage(event.type, button);
      if (!message) break;
      InputEvent input;
      input.type = EventType::TrayMouse;
      input.tray = id;
      input.trayMessage = message;
      if (event.type == MotionNotify) {
        input.root = {event.xmotion.x_root, event.xmotion.y_root};
        input.keys = MouseKeysFromState(event.xmotion.state);
      } else {
        input.root = {event.xbutton.x_root, event.xbutton.y_root};
        input.button = static_cast<int>(button);
        input.keys = MouseKeysAfterButton(event.xbutton.state, button, event.type == ButtonPress);
      }
      out = input;
      break;
    }
    default: break;
  }
  return true;
}

std::vector<std::uint32_t> CX11Tray::Background(const Icon& icon, const RECT& square) {
  const int side = square.right - square.left;
  std::vector<std::uint32_t> pixels(static_cast<size_t>(side) * static_cast<size_t>(side),
                                    kFallbackBackground);
  Display* dpy = m_connection.Dpy();
  // Clearing paints the host's background (our background is its own); reading it back lets the
  // icon's soft edges blend into whatever the tray looks like.
  XClearArea(dpy, icon.window, square.left, square.top, static_cast<unsigned>(side),
             static_cast<unsigned>(side), False);
  CX11ErrorTrap trap(m_connection);
  XImage* shot = XGetImage(dpy, icon.window, square.left, square.top, static_cast<unsigned>(side),
                           static_cast<unsigned>(side), AllPlanes, ZPixmap);
  if (trap.Failed() || !shot) {
    if (shot) XDestroyImage(shot);
    return pixels;
  }
  const X11PixelFormat format = X11PixelFormat::FromVisual(m_visual, m_depth);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x)
      pixels[static_cast<size_t>(y) * static_cast<size_t>(side) + static_cast<size_t>(x)] =
          format.Unpack(XGetPixel(shot, x, y));
  XDestroyImage(shot);
  return pixels;
}

void CX11Tray::Paint(Icon& icon) {
  if (icon.window == None || icon.width <= 0 || icon.height <= 0) return;
  const int side = std::min({icon.width, icon.height, kMaxPaintedSide});
  const RECT square{(icon.width - side) / 2, (icon.height - side) / 2, (icon.width - side) / 2 + side,
                    (icon.height - side) / 2 + side};
  const PixelImage* picture = PickIconPicture(icon.images, side, IconFit::ScaleDown);
  std::vector<std::uint32_t> pixels =
      picture ? ScaleIconAveraged(*picture, side)
              : std::vector<std::uint32_t>(static_cast<size_t>(side) * static_cast<size_t>(side), 0);
  if (!m_argb) {
    // Without alpha in the window, the icon is blended over the tray's own background here.
    const std::vector<std::uint32_t> background = Background(icon, square);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = Over(pixels[i], background[i]);
  }
  if (!icon.image || icon.image->Width() != side || icon.image->Height() != side)
    icon.image = std::make_unique<CX11Image>(m_connection, m_visual, m_depth, side, side);
  icon.image->StoreArgb(pixels.data());
  icon.image->Put(icon.window, icon.gc, {0, 0, side, side}, square.left, square.top);
}

}  // namespace platform::x11
