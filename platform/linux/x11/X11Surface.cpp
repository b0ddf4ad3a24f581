// Creates a top-level X window of one kind, keeps the window manager to its exact geometry and shows its
// pixels.
#include "platform/linux/x11/X11Surface.h"

#include <X11/Xatom.h>
#include <X11/extensions/shape.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <ctime>
#include <utility>

#include "platform/linux/x11/X11ShapeOutside.h"

namespace platform::x11 {

namespace {

// The largest side a window manager may give the window beyond the screen's own.
constexpr int kMaxSide = 4096;
// The _MOTIF_WM_HINTS fields window managers read to decide on decorations and frame functions.
constexpr long kMwmHintsFunctions = 1;
constexpr long kMwmHintsDecorations = 2;
constexpr long kMwmFuncMove = 4;
constexpr long kMwmFuncClose = 32;
constexpr long kMwmDecorBorder = 2;
constexpr long kMwmDecorTitle = 8;
constexpr long kMwmDecorMenu = 16;

constexpr long kSurfaceEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                                KeyPressMask | StructureNotifyMask;

RECT AtLeastOnePixel(RECT rect) {
  rect.right = std::max(rect.right, rect.left + 1);
  rect.bottom = std::max(rect.bottom, rect.top + 1);
  return rect;
}

short ClampShort(long value) {
  return static_cast<short>(std::clamp<long>(value, SHRT_MIN, SHRT_MAX));
}

// Whether a surface of `kind` shows its shape through alpha: only the main window's kind has a shape,
// and only a compositor blends alpha. Without one, a 32-bit window would show its transparent pixels black.
const X11Visual* TranslucentVisualFor(CX11Connection& connection, SurfaceKind kind) {
  if (kind != SurfaceKind::Plain || !connection.CompositorRunning()) return nullptr;
  return connection.TranslucentVisual();
}

}  // namespace

CX11Surface::CX11Surface(CX11Connection& connection, const SurfaceDesc& desc, Window owner)
    : m_connection(connection),
      m_kind(desc.kind),
      m_visual(connection.OpaqueVisual()),
      m_rect(AtLeastOnePixel(desc.rect)) {
  Display* dpy = connection.Dpy();
  XSetWindowAttributes attributes{};
  unsigned long mask = CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask | CWBitGravity;
  // No background: every exposed pixel is answered from our own copy, and a background would flash first.
  attributes.background_pixmap = None;
  if (const X11Visual* translucent = TranslucentVisualFor(connection, m_kind)) {
    m_translucent = true;
    m_visual = *translucent;
    // A window of another depth than the root cannot take the root's border (XCreateWindow fails), so it
    // gets a border pixel. Until its first picture is there it shows transparent, where no background
    // would show whatever the compositor's copy of it happened to hold.
    mask = (mask & ~CWBackPixmap) | CWBackPixel;
    attributes.background_pixel = 0;
  }
  attributes.border_pixel = 0;
  attributes.colormap = m_visual.colormap;
  attributes.event_mask = kSurfaceEvents;
  attributes.bit_gravity = NorthWestGravity;
  if (m_kind == SurfaceKind::PopupMenu) {
    // A menu must appear exactly at the cursor and above everything, without the window manager.
    attributes.override_redirect = True;
    attributes.save_under = True;
    mask |= CWOverrideRedirect | CWSaveUnder;
  }
  m_parent = connection.Root();
  m_window = XCreateWindow(dpy, connection.Root(), m_rect.left, m_rect.top, static_cast<unsigned>(Width()),
                           static_cast<unsigned>(Height()), 0, m_visual.depth, InputOutput, m_visual.visual,
                           mask, &attributes);
  XGCValues values{};
  values.graphics_exposures = False;
  m_gc = XCreateGC(dpy, m_window, GCGraphicsExposures, &values);
  SetKindProperties(owner);
  SetTitle(desc.title);
}

CX11Surface::~CX11Surface() {
  if (m_grabbed) Ungrab();
  m_image.reset();
  XFreeGC(m_connection.Dpy(), m_gc);
  if (!m_destroyed) XDestroyWindow(m_connection.Dpy(), m_window);
}

void CX11Surface::SetKindProperties(Window owner) {
  Display* dpy = m_connection.Dpy();
  const X11Atoms& atoms = m_connection.Atoms();

  m_connection.SetClassHint(m_window);

  XWMHints wmHints{};
  wmHints.flags = InputHint | StateHint;
  wmHints.input = True;
  wmHints.initial_state = NormalState;
  XSetWMHints(dpy, m_window, &wmHints);

  Atom protocols[] = {atoms.wmDeleteWindow, atoms.netWmPing};
  XSetWMProtocols(dpy, m_window, protocols, 2);

  // _NET_WM_PID means something only together with the machine the process runs on.
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) == 0) m_connection.SetText(m_window, atoms.wmClientMachine, host);
  m_connection.SetCardinals(m_window, atoms.netWmPid, XA_CARDINAL, {static_cast<long>(getpid())});
  SetSizeHints(m_rect);

  switch (m_kind) {
    case SurfaceKind::Plain:
      m_connection.SetCardinals(m_window, atoms.motifWmHints, atoms.motifWmHints,
                                {kMwmHintsDecorations, 0, 0, 0, 0});
      m_connection.SetAtomList(m_window, atoms.netWmState,
                               {atoms.netWmStateSkipTaskbar, atoms.netWmStateSkipPager});
      m_connection.SetAtomList(m_window, atoms.netWmWindowType, {atoms.netWmWindowTypeNormal});
      break;
    case SurfaceKind::PopupMenu:
      m_connection.SetAtomList(m_window, atoms.netWmWindowType, {atoms.netWmWindowTypePopupMenu});
      break;
    case SurfaceKind::Dialog:
      // A frame that can move and close the box but not resize or maximise it: the size is fixed.
      m_connection.SetCardinals(m_window, atoms.motifWmHints, atoms.motifWmHints,
                                {kMwmHintsFunctions | kMwmHintsDecorations, kMwmFuncMove | kMwmFuncClose,
                                 kMwmDecorBorder | kMwmDecorTitle | kMwmDecorMenu, 0, 0});
      // Like an owned window on Windows, the box has no taskbar entry of its own; it is modal for its
      // owner, which the window manager may show by keeping the owner from taking the focus.
      m_connection.SetAtomList(
          m_window, atoms.netWmState,
          {atoms.netWmStateModal, atoms.netWmStateSkipTaskbar, atoms.netWmStateSkipPager});
      m_connection.SetAtomList(m_window, atoms.netWmWindowType, {atoms.netWmWindowTypeDialog});
      if (owner != None) XSetTransientForHint(dpy, m_window, owner);
      break;
  }
}

void CX11Surface::SetSizeHints(const RECT& rect) {
  if (m_kind == SurfaceKind::PopupMenu) return;
  // Without a user-specified position and a fixed size, window managers place and clamp the window
  // themselves. Static gravity makes the position that of the window itself, not of the frame around it,
  // so that a decorated dialog's pixels land where the program put them.
  XSizeHints* hints = XAllocSizeHints();
  if (!hints) return;
  hints->flags = USPosition | PPosition | USSize | PSize | PMinSize | PMaxSize | PWinGravity;
  hints->x = rect.left;
  hints->y = rect.top;
  hints->width = hints->min_width = hints->max_width = rect.right - rect.left;
  hints->height = hints->min_height = hints->max_height = rect.bottom - rect.top;
  hints->win_gravity = StaticGravity;
  XSetWMNormalHints(m_connection.Dpy(), m_window, hints);
  XFree(hints);
}

void CX11Surface::Show(bool show) {
  if (show == m_shown) return;
  m_shown = show;
  Display* dpy = m_connection.Dpy();
  if (show) {
    SetSizeHints(m_rect);
    m_mapPending = true;
    return;
  }
  if (m_grabbed || m_grabPending) Ungrab();
  const bool wasMapped = !m_mapPending;
  m_mapPending = false;
  m_activatePending = false;
  if (!wasMapped) return;
  // Withdrawing (not just unmapping) makes the window manager forget the window, so that showing it
  // again places it by its hints once more.
  if (m_kind == SurfaceKind::PopupMenu)
    XUnmapWindow(dpy, m_window);
  else
    XWithdrawWindow(dpy, m_window, m_connection.ScreenNumber());
}

void CX11Surface::MapIfPending() {
  if (!m_mapPending) return;
  m_mapPending = false;
  ShowFirstPictureOnMap();
  // A window comes up with the time of the action that opened it (the click on 情報, the tray's request),
  // so that it gets the focus under focus-stealing prevention.
  if (m_kind != SurfaceKind::PopupMenu) SetUserTime(m_connection.UserTime());
  XMapRaised(m_connection.Dpy(), m_window);
  if (std::exchange(m_activatePending, false)) Activate();
  if (std::exchange(m_grabPending, false)) TryGrab();
}

// The server fills a newly mapped window with its background before it tells us to draw. Without one the
// window shows whatever was on the screen until our picture arrives; so for that moment the background is
// the picture itself, kept by the server, and it goes again once the window has been drawn.
void CX11Surface::ShowFirstPictureOnMap() {
  if (!m_image || m_connection.Lost()) return;
  Display* dpy = m_connection.Dpy();
  const Pixmap picture = XCreatePixmap(dpy, m_window, static_cast<unsigned>(Width()),
                                       static_cast<unsigned>(Height()), m_visual.depth);
  m_image->Put(picture, m_gc, RECT{0, 0, Width(), Height()});
  XSetWindowBackgroundPixmap(dpy, m_window, picture);
  // The window holds the pixmap as long as it is its background.
  XFreePixmap(dpy, picture);
  m_hasPictureBackground = true;
}

void CX11Surface::Move(const RECT& screenRect) {
  const RECT rect = AtLeastOnePixel(screenRect);
  const bool resized = rect.right - rect.left != Width() || rect.bottom - rect.top != Height();
  // The size is ours to choose; where the window stands is what the server says next, which may not be
  // where we asked for.
  m_rect.right = m_rect.left + (rect.right - rect.left);
  m_rect.bottom = m_rect.top + (rect.bottom - rect.top);
  // The hints go first: a window manager refuses a size outside the old minimum and maximum.
  SetSizeHints(rect);
  m_moveSerial = NextRequest(m_connection.Dpy());
  XMoveResizeWindow(m_connection.Dpy(), m_window, rect.left, rect.top, static_cast<unsigned>(Width()),
                    static_cast<unsigned>(Height()));
  if (resized && m_translucent) m_outside = OutsideOfShape(m_shape, Width(), Height());
  if (resized && m_image) {
    auto image = NewImage();
    image->CopyFrom(*m_image);
    m_image = std::move(image);
  }
}

std::unique_ptr<CX11Image> CX11Surface::NewImage() const {
  return std::make_unique<CX11Image>(m_connection, m_visual.visual, m_visual.depth, Width(), Height());
}

std::optional<RECT> CX11Surface::OnStructureEvent(const XEvent& event) {
  // Only the root's coordinates place the window: those of a real notification while no window manager has
  // taken the window in, and those of the synthetic one a window manager sends whenever it has placed or
  // moved its frame. Asking the server where a reparented window stands while the manager is still building
  // its frame gives the frame's passing place (its corner at 0, 0, say), and a drop-in would carry that on.
  std::optional<RECT> rect;
  switch (event.type) {
    case ConfigureNotify: {
      const XConfigureEvent& configure = event.xconfigure;
      // Any client may send a synthetic one: it is taken for where the window stands, as window managers
      // send it, but never for its size, which would have the program allocate whatever it claims. An
      // event tells the number of the last request of ours the server had processed when it came: one from
      // before the server saw our last move still says where the window stood, but not the size we have
      // asked for since.
      const bool keepOwnSize = configure.send_event || event.xany.serial < m_moveSerial;
      const int width = keepOwnSize ? Width() : CappedSide(configure.width, true);
      const int height = keepOwnSize ? Height() : CappedSide(configure.height, false);
      if (configure.send_event || m_parent == m_connection.Root())
        rect = RECT{configure.x, configure.y, configure.x + width, configure.y + height};
      else if (width != Width() || height != Height())
        rect = RECT{m_rect.left, m_rect.top, m_rect.left + width, m_rect.top + height};
      break;
    }
    case ReparentNotify: {
      // Never stale: whoever holds the window now decides what its later coordinates are relative to.
      const XReparentEvent& reparent = event.xreparent;
      m_parent = reparent.parent;
      // Given back to the root (the window manager went away): the event says where the window now stands.
      if (m_parent == m_connection.Root())
        rect = RECT{reparent.x, reparent.y, reparent.x + Width(), reparent.y + Height()};
      break;
    }
    default: break;
  }
  if (rect) m_rect = AtLeastOnePixel(*rect);
  return rect;
}

int CX11Surface::CappedSide(int side, bool horizontal) const {
  Display* dpy = m_connection.Dpy();
  const int screen = horizontal ? DisplayWidth(dpy, m_connection.ScreenNumber())
                                : DisplayHeight(dpy, m_connection.ScreenNumber());
  return std::clamp(side, 1, std::max(screen, kMaxSide));
}

void CX11Surface::SetShape(const std::vector<RECT>& rects) {
  if (m_translucent) {
    m_shape = rects;
    m_outside = OutsideOfShape(m_shape, Width(), Height());
    // What the new shape leaves out goes at once; what it takes in comes with the repaint that follows.
    ClearOutsideShape(RECT{0, 0, Width(), Height()});
    if (m_image) m_image->Put(m_window, m_gc, RECT{0, 0, Width(), Height()});
  }
  if (!m_connection.HasShape()) return;
  Display* dpy = m_connection.Dpy();
  // Under a compositor the shape is drawn through alpha; the input shape alone lets clicks in the corners
  // through. Without one, the bounding shape both cuts the corners away and clips input.
  const int kind = m_translucent ? ShapeInput : ShapeBounding;
  if (rects.empty()) {
    XShapeCombineMask(dpy, m_window, kind, 0, 0, None, ShapeSet);
    return;
  }
  std::vector<XRectangle> shape;
  shape.reserve(rects.size());
  for (const RECT& r : rects) {
    if (r.right <= r.left || r.bottom <= r.top) continue;
    shape.push_back({ClampShort(r.left), ClampShort(r.top),
                     static_cast<unsigned short>(std::min<long>(r.right - r.left, USHRT_MAX)),
                     static_cast<unsigned short>(std::min<long>(r.bottom - r.top, USHRT_MAX))});
  }
  XShapeCombineRectangles(dpy, m_window, kind, 0, 0, shape.data(), static_cast<int>(shape.size()), ShapeSet,
                          Unsorted);
}

void CX11Surface::ClearOutsideShape(const RECT& area) {
  if (!m_image) return;
  for (const RECT& gap : m_outside) {
    RECT part{std::max(gap.left, area.left), std::max(gap.top, area.top), std::min(gap.right, area.right),
              std::min(gap.bottom, area.bottom)};
    if (part.left < part.right && part.top < part.bottom) m_image->Clear(part);
  }
}

void CX11Surface::SetTitle(const std::string& utf8) {
  const X11Atoms& atoms = m_connection.Atoms();
  m_connection.SetText(m_window, XA_WM_NAME, utf8);
  m_connection.SetText(m_window, XA_WM_ICON_NAME, utf8);
  XChangeProperty(m_connection.Dpy(), m_window, atoms.netWmName, atoms.utf8String, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
  XChangeProperty(m_connection.Dpy(), m_window, atoms.netWmIconName, atoms.utf8String, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
}

void CX11Surface::SetIcons(const std::vector<PixelImage>& icons) {
  std::vector<long> data;
  for (const PixelImage& icon : icons) {
    const size_t count = static_cast<size_t>(icon.width) * static_cast<size_t>(icon.height);
    if (icon.width <= 0 || icon.height <= 0 || icon.argb.size() < count) continue;
    data.push_back(icon.width);
    data.push_back(icon.height);
    for (size_t i = 0; i < count; ++i) data.push_back(static_cast<long>(icon.argb[i]));
  }
  if (data.empty())
    XDeleteProperty(m_connection.Dpy(), m_window, m_connection.Atoms().netWmIcon);
  else
    m_connection.SetCardinals(m_window, m_connection.Atoms().netWmIcon, XA_CARDINAL, data);
}

void CX11Surface::Present(const PixelView& pixels, const RECT& damage) {
  if (!m_image || m_image->Width() != Width() || m_image->Height() != Height()) m_image = NewImage();
  RECT rect = damage;
  rect.right = std::min<LONG>(rect.right, pixels.width);
  rect.bottom = std::min<LONG>(rect.bottom, pixels.height);
  m_image->StoreRgb(pixels.data, pixels.stride, rect);
  if (m_translucent) ClearOutsideShape(rect);
  if (m_mapPending) {
    MapIfPending();
    return;
  }
  m_image->Put(m_window, m_gc, rect);
}

void CX11Surface::OnExpose(const XExposeEvent& event) {
  const RECT rect{event.x, event.y, event.x + event.width, event.y + event.height};
  if (m_exposed.right <= m_exposed.left) {
    m_exposed = rect;
  } else {
    m_exposed.left = std::min(m_exposed.left, rect.left);
    m_exposed.top = std::min(m_exposed.top, rect.top);
    m_exposed.right = std::max(m_exposed.right, rect.right);
    m_exposed.bottom = std::max(m_exposed.bottom, rect.bottom);
  }
  // A shaped window gets one Expose per shape rectangle; one put of their bounds answers them all.
  if (event.count > 0) return;
  if (m_image) m_image->Put(m_window, m_gc, m_exposed);
  m_exposed = {};
  if (m_hasPictureBackground) {
    // From now on every exposure is answered from our copy; an old picture must not flash first.
    XSetWindowBackgroundPixmap(m_connection.Dpy(), m_window, None);
    m_hasPictureBackground = false;
  }
}

void CX11Surface::SetCursor(Cursor cursor) {
  if (cursor == m_cursor) return;
  m_cursor = cursor;
  if (cursor == None)
    XUndefineCursor(m_connection.Dpy(), m_window);
  else
    XDefineCursor(m_connection.Dpy(), m_window, cursor);
}

void CX11Surface::SetUserTime(Time time) {
  if (time == CurrentTime) return;
  const long value = static_cast<long>(time);
  XChangeProperty(m_connection.Dpy(), m_window, m_connection.Atoms().netWmUserTime, XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&value), 1);
}

void CX11Surface::Activate() {
  if (m_mapPending) {
    m_activatePending = true;
    return;
  }
  Display* dpy = m_connection.Dpy();
  XRaiseWindow(dpy, m_window);
  if (m_connection.HasWindowManager()) {
    // A window manager owns the focus; asking it keeps its idea of the active window right.
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = m_window;
    event.xclient.message_type = m_connection.Atoms().netActiveWindow;
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1;  // the request comes from an application
    event.xclient.data.l[1] = static_cast<long>(m_connection.UserTime());
    XSendEvent(dpy, m_connection.Root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    return;
  }
  // Without a window manager the window is viewable at once after mapping; if it is not shown yet the
  // server refuses the focus, which is harmless.
  CX11ErrorTrap trap(m_connection);
  XSetInputFocus(dpy, m_window, RevertToParent, CurrentTime);
}

bool CX11Surface::Grab() {
  // An unmapped window cannot be grabbed; the grab comes with the map, a moment later.
  if (m_mapPending) {
    m_grabPending = true;
    return true;
  }
  return TryGrab();
}

bool CX11Surface::TryGrab() {
  Display* dpy = m_connection.Dpy();
  // Another client may hold a grab for a moment (a window manager finishing a key binding); retry
  // briefly before giving up.
  for (int attempt = 0; attempt < 20 && !m_connection.Lost(); ++attempt) {
    // Owner events: our own windows still get their input as usual, everything else comes to the menu.
    if (XGrabPointer(dpy, m_window, True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                     GrabModeAsync, GrabModeAsync, None, None, CurrentTime) == GrabSuccess) {
      if (XGrabKeyboard(dpy, m_window, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess) {
        m_grabbed = true;
        return true;
      }
      XUngrabPointer(dpy, CurrentTime);
    }
    const timespec pause{0, 5'000'000};
    nanosleep(&pause, nullptr);
  }
  return false;
}

void CX11Surface::Ungrab() {
  m_grabPending = false;
  if (!m_grabbed) return;
  Display* dpy = m_connection.Dpy();
  XUngrabPointer(dpy, CurrentTime);
  XUngrabKeyboard(dpy, CurrentTime);
  XFlush(dpy);
  m_grabbed = false;
}

}  // namespace platform::x11
