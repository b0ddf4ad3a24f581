// Opens and closes the X connection, interns the atoms, picks the visual and traps protocol errors.
#include "platform/linux/x11/X11Connection.h"

#include <X11/Xatom.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <utility>

namespace platform::x11 {

namespace {

// Xlib has one error handler per process, so the traps of every connection on this thread form one
// chain, innermost first. This pointer and the errors waiting to be reported are the only process-wide
// state of the backend.
thread_local CX11ErrorTrap* t_innermostTrap = nullptr;

struct UntrappedError {
  Display* dpy;
  XErrorEvent event;
};
thread_local std::vector<UntrappedError> t_untrapped;

int ShiftOf(unsigned long mask) {
  return mask ? std::countr_zero(mask) : 0;
}
int WidthOf(unsigned long mask) {
  return std::popcount(mask);
}

unsigned long PackComponent(std::uint32_t value8, unsigned long mask) {
  if (!mask) return 0;
  const int width = WidthOf(mask);
  const unsigned long max = (1ul << width) - 1;
  const unsigned long scaled = width == 8 ? value8 : (value8 * max + 127) / 255;
  return (scaled << ShiftOf(mask)) & mask;
}

std::uint32_t UnpackComponent(unsigned long pixel, unsigned long mask) {
  if (!mask) return 0;
  const int width = WidthOf(mask);
  const unsigned long max = (1ul << width) - 1;
  const unsigned long value = (pixel & mask) >> ShiftOf(mask);
  return static_cast<std::uint32_t>(width == 8 ? value : (value * 255 + max / 2) / max);
}

}  // namespace

X11PixelFormat X11PixelFormat::FromVisual(const Visual* visual, int depth) {
  X11PixelFormat format;
  format.redMask = visual->red_mask;
  format.greenMask = visual->green_mask;
  format.blueMask = visual->blue_mask;
  format.depth = depth;
  const unsigned long all = depth >= 32 ? 0xFFFFFFFFul : (1ul << depth) - 1;
  format.alphaMask = all & ~(format.redMask | format.greenMask | format.blueMask);
  return format;
}

unsigned long X11PixelFormat::Pack(std::uint32_t argb) const {
  return PackComponent((argb >> 16) & 0xFF, redMask) | PackComponent((argb >> 8) & 0xFF, greenMask) |
         PackComponent(argb & 0xFF, blueMask) | PackComponent(argb >> 24, alphaMask);
}

std::uint32_t X11PixelFormat::Unpack(unsigned long pixel) const {
  return (UnpackComponent(pixel, redMask) << 16) | (UnpackComponent(pixel, greenMask) << 8) |
         UnpackComponent(pixel, blueMask);
}

std::unique_ptr<CX11Connection> CX11Connection::Open(const char* display, std::string* error) {
  CX11ErrorTrap::InstallHandlers();
  // XDisplayName answers with $DISPLAY when no name is given, so the message names what was tried.
  const std::string name = XDisplayName(display);
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return nullptr;
  };
  if (name.empty()) return fail("cannot open the X display: DISPLAY is not set");

  std::unique_ptr<CX11Connection> self(new CX11Connection());
  self->m_dpy = XOpenDisplay(name.c_str());
  if (!self->m_dpy) return fail("cannot open X display \"" + name + "\"");
  self->m_name = name;
  Display* dpy = self->m_dpy;
  // A server that goes away must end the program with a message, not through Xlib's exit(1); the
  // handler only marks the connection lost, and the event loop turns that into a Quit.
  XSetIOErrorExitHandler(dpy, &CX11Connection::OnConnectionLost, self.get());

  self->m_screen = DefaultScreen(dpy);
  self->m_root = RootWindow(dpy, self->m_screen);

  Visual* visual = DefaultVisual(dpy, self->m_screen);
  if (visual->c_class == TrueColor) {
    self->m_visual = visual;
    self->m_depth = DefaultDepth(dpy, self->m_screen);
    self->m_colormap = DefaultColormap(dpy, self->m_screen);
  } else {
    XVisualInfo info{};
    if (!XMatchVisualInfo(dpy, self->m_screen, 24, TrueColor, &info))
      return fail("X display \"" + name + "\" offers no TrueColor visual");
    self->m_visual = info.visual;
    self->m_depth = info.depth;
    self->m_colormap = XCreateColormap(dpy, self->m_root, info.visual, AllocNone);
    self->m_ownColormap = true;
  }

  const std::string traySelection = "_NET_SYSTEM_TRAY_S" + std::to_string(self->m_screen);
  const std::string compositorSelection = "_NET_WM_CM_S" + std::to_string(self->m_screen);
  X11Atoms& a = self->m_atoms;
  const struct {
    const char* name;
    Atom* atom;
  } table[] = {
      {"WM_PROTOCOLS", &a.wmProtocols},
      {"WM_DELETE_WINDOW", &a.wmDeleteWindow},
      {"WM_CLIENT_MACHINE", &a.wmClientMachine},
      {"UTF8_STRING", &a.utf8String},
      {"_NET_WM_NAME", &a.netWmName},
      {"_NET_WM_ICON_NAME", &a.netWmIconName},
      {"_NET_WM_ICON", &a.netWmIcon},
      {"_NET_WM_PID", &a.netWmPid},
      {"_NET_WM_PING", &a.netWmPing},
      {"_NET_WM_STATE", &a.netWmState},
      {"_NET_WM_STATE_SKIP_TASKBAR", &a.netWmStateSkipTaskbar},
      {"_NET_WM_STATE_SKIP_PAGER", &a.netWmStateSkipPager},
      {"_NET_WM_STATE_MODAL", &a.netWmStateModal},
      {"_NET_WM_WINDOW_TYPE", &a.netWmWindowType},
      {"_NET_WM_WINDOW_TYPE_NORMAL", &a.netWmWindowTypeNormal},
      {"_NET_WM_WINDOW_TYPE_DIALOG", &a.netWmWindowTypeDialog},
      {"_NET_WM_WINDOW_TYPE_POPUP_MENU", &a.netWmWindowTypePopupMenu},
      {"_NET_ACTIVE_WINDOW", &a.netActiveWindow},
      {"_NET_WM_USER_TIME", &a.netWmUserTime},
      {"_NET_SUPPORTING_WM_CHECK", &a.netSupportingWmCheck},
      {"_MOTIF_WM_HINTS", &a.motifWmHints},
      {"MANAGER", &a.manager},
      {traySelection.c_str(), &a.netSystemTray},
      {compositorSelection.c_str(), &a.netWmCm},
      {"_NET_SYSTEM_TRAY_OPCODE", &a.netSystemTrayOpcode},
      {"_NET_SYSTEM_TRAY_VISUAL", &a.netSystemTrayVisual},
      {"_XEMBED_INFO", &a.xembedInfo},
  };
  constexpr int count = static_cast<int>(std::size(table));
  char* names[count];
  Atom atoms[count];
  for (int i = 0; i < count; ++i) names[i] = const_cast<char*>(table[i].name);
  XInternAtoms(dpy, names, count, False, atoms);
  for (int i = 0; i < count; ++i) *table[i].atom = atoms[i];

  int eventBase = 0;
  int errorBase = 0;
  self->m_hasShape = XShapeQueryExtension(dpy, &eventBase, &errorBase);
  // The monitors are kept, not asked for at every animation step: RandR says when they change (monitors
  // arrived in RandR 1.5), and the root window's configure notification says when the screen did.
  int major = 0;
  int minor = 0;
  if (XRRQueryExtension(dpy, &self->m_randrEventBase, &errorBase) && XRRQueryVersion(dpy, &major, &minor)) {
    self->m_hasMonitors = major > 1 || (major == 1 && minor >= 5);
    XRRSelectInput(dpy, self->m_root,
                   RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
  } else {
    self->m_randrEventBase = -1;
  }
  XSelectInput(dpy, self->m_root, StructureNotifyMask);
  // TILVANE_NO_SHM lets the tests drive the plain XPutImage path on a server that has MIT-SHM.
  const char* noShm = std::getenv("TILVANE_NO_SHM");
  self->m_shmUsable = !(noShm && *noShm && *noShm != '0') && XShmQueryExtension(dpy);
  return self;
}

CX11Connection::~CX11Connection() {
  if (!m_dpy) return;
  if (m_ownColormap) XFreeColormap(m_dpy, m_colormap);
  if (m_translucent.colormap != None) XFreeColormap(m_dpy, m_translucent.colormap);
  if (m_timeWindow != None && !m_lost) XDestroyWindow(m_dpy, m_timeWindow);
  if (!m_lost) XSync(m_dpy, False);
  ReportErrors();
  XCloseDisplay(m_dpy);
  // Whatever the close itself brought cannot be put into words any more: the display is gone.
  CX11ErrorTrap::ReportUntrapped(m_dpy, {}, false);
}

const X11Visual* CX11Connection::TranslucentVisual() {
  if (!std::exchange(m_translucentSought, true)) {
    XVisualInfo info{};
    // A 32-bit visual's colours never take the whole depth; compositors read the byte left over as alpha.
    if (XMatchVisualInfo(m_dpy, m_screen, 32, TrueColor, &info))
      m_translucent = {info.visual, info.depth, XCreateColormap(m_dpy, m_root, info.visual, AllocNone)};
  }
  return m_translucent.visual ? &m_translucent : nullptr;
}

bool CX11Connection::CompositorRunning() {
  return !m_lost && XGetSelectionOwner(m_dpy, m_atoms.netWmCm) != None;
}

Time CX11Connection::UserTime() {
  return m_lastEventTime != CurrentTime ? m_lastEventTime : FetchServerTime();
}

Time CX11Connection::FetchServerTime() {
  if (m_lost) return CurrentTime;
  if (m_timeWindow == None) {
    XSetWindowAttributes attributes{};
    attributes.event_mask = PropertyChangeMask;
    m_timeWindow = XCreateWindow(m_dpy, m_root, -1, -1, 1, 1, 0, 0, InputOnly, CopyFromParent, CWEventMask,
                                 &attributes);
    m_timeAtom = XInternAtom(m_dpy, "_X11_BACKEND_TIMESTAMP", False);
  }
  // An empty append changes nothing but still reports the change, stamped with the server's time.
  XChangeProperty(m_dpy, m_timeWindow, m_timeAtom, XA_INTEGER, 32, PropModeAppend, nullptr, 0);
  XSync(m_dpy, False);
  XEvent event;
  if (XCheckTypedWindowEvent(m_dpy, m_timeWindow, PropertyNotify, &event)) NoteEventTime(event.xproperty.time);
  return m_lastEventTime;
}

POINT CX11Connection::PointerPosition() {
  if (m_lost) return {};
  Window root = None;
  Window child = None;
  int rootX = 0;
  int rootY = 0;
  int x = 0;
  int y = 0;
  unsigned int state = 0;
  XQueryPointer(m_dpy, m_root, &root, &child, &rootX, &rootY, &x, &y, &state);
  return {rootX, rootY};
}

void CX11Connection::ReportErrors() {
  CX11ErrorTrap::ReportUntrapped(m_dpy, m_destroyedElsewhere, true);
}

void CX11Connection::OnConnectionLost(Display*, void* self) {
  static_cast<CX11Connection*>(self)->m_lost = true;
}

std::string CX11Connection::LostReason() const {
  return "lost the connection to X display \"" + m_name + "\"";
}

bool CX11Connection::HasWindowManager() {
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  Window check = None;
  if (XGetWindowProperty(m_dpy, m_root, m_atoms.netSupportingWmCheck, 0, 1, False, XA_WINDOW, &type, &format,
                         &count, &after, &data) == Success &&
      data) {
    if (type == XA_WINDOW && format == 32 && count == 1) check = *reinterpret_cast<Window*>(data);
    XFree(data);
  }
  if (check == None) return false;
  // A window manager that died leaves the property behind; its check window is gone with it.
  CX11ErrorTrap trap(*this);
  XWindowAttributes attributes;
  XGetWindowAttributes(m_dpy, check, &attributes);
  return !trap.Failed();
}

const std::vector<RECT>& CX11Connection::Monitors() {
  if ((m_monitorsStale && !m_lost) || m_monitors.empty()) {
    m_monitorsStale = false;
    ReadMonitors();
  }
  return m_monitors;
}

bool CX11Connection::NoteMonitorChange(XEvent& event) {
  const bool screenChanged = m_randrEventBase >= 0 && event.type == m_randrEventBase + RRScreenChangeNotify;
  const bool randrChanged = m_randrEventBase >= 0 && event.type == m_randrEventBase + RRNotify;
  const bool rootChanged = event.type == ConfigureNotify && event.xconfigure.window == m_root;
  if (!screenChanged && !randrChanged && !rootChanged) return false;
  // Xlib's idea of the screen's size follows only when it is told.
  if (screenChanged) XRRUpdateConfiguration(&event);
  m_monitorsStale = true;
  return true;
}

void CX11Connection::ReadMonitors() {
  m_monitors.clear();
  if (m_hasMonitors) {
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(m_dpy, m_root, True, &count);
    if (monitors) {
      for (int i = 0; i < count; ++i) {
        const XRRMonitorInfo& m = monitors[i];
        if (m.width <= 0 || m.height <= 0) continue;
        const RECT rect{m.x, m.y, m.x + m.width, m.y + m.height};
        if (m.primary)
          m_monitors.insert(m_monitors.begin(), rect);
        else
          m_monitors.push_back(rect);
      }
      XRRFreeMonitors(monitors);
    }
  }
  if (!m_monitors.empty()) return;
  // The root window's current size; DisplayWidth would keep the size the server had at connection.
  Window rootReturn = None;
  int x = 0;
  int y = 0;
  unsigned int width = 0;
  unsigned int height = 0;
  unsigned int border = 0;
  unsigned int depth = 0;
  if (!XGetGeometry(m_dpy, m_root, &rootReturn, &x, &y, &width, &height, &border, &depth))
    m_monitors.push_back({0, 0, DisplayWidth(m_dpy, m_screen), DisplayHeight(m_dpy, m_screen)});
  else
    m_monitors.push_back({0, 0, static_cast<LONG>(width), static_cast<LONG>(height)});
}

void CX11Connection::SetCardinals(Window window, Atom property, Atom type, const std::vector<long>& values) {
  // Xlib wants format-32 property data as an array of long, whatever the size of long.
  XChangeProperty(m_dpy, window, property, type, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(values.data()), static_cast<int>(values.size()));
}

void CX11Connection::SetAtomList(Window window, Atom property, const std::vector<Atom>& atoms) {
  XChangeProperty(m_dpy, window, property, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(atoms.data()), static_cast<int>(atoms.size()));
}

void CX11Connection::SetClassHint(Window window) {
  if (m_programName.empty()) return;
  std::string resName = m_programName;
  std::string resClass = m_programName;
  for (char& c : resName) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  XClassHint hint{resName.data(), resClass.data()};
  XSetClassHint(m_dpy, window, &hint);
}

void CX11Connection::SetText(Window window, Atom property, const std::string& utf8) {
  bool ascii = true;
  for (unsigned char c : utf8) ascii = ascii && c < 0x80;
  XChangeProperty(m_dpy, window, property, ascii ? XA_STRING : m_atoms.utf8String, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
}

CX11ErrorTrap::CX11ErrorTrap(CX11Connection& connection)
    : m_connection(connection), m_firstSerial(NextRequest(connection.Dpy())), m_outer(t_innermostTrap) {
  t_innermostTrap = this;
}

CX11ErrorTrap::~CX11ErrorTrap() {
  Failed();
  t_innermostTrap = m_outer;
}

bool CX11ErrorTrap::Failed() {
  // Errors come back asynchronously; only a round trip makes sure every one of ours has arrived. It is
  // needed only if something was sent since the last one.
  Display* dpy = m_connection.Dpy();
  if (!m_connection.Lost() && NextRequest(dpy) != m_syncedSerial) {
    XSync(dpy, False);
    m_syncedSerial = NextRequest(dpy);
  }
  return m_errorCode != 0;
}

void CX11ErrorTrap::InstallHandlers() {
  XSetErrorHandler(&CX11ErrorTrap::OnError);
  XSetIOErrorHandler(&CX11ErrorTrap::OnIOError);
}

int CX11ErrorTrap::OnError(Display* dpy, XErrorEvent* event) {
  for (CX11ErrorTrap* trap = t_innermostTrap; trap; trap = trap->m_outer) {
    if (trap->m_connection.Dpy() == dpy && event->serial >= trap->m_firstSerial) {
      if (!trap->m_errorCode) trap->m_errorCode = event->error_code;
      return 0;
    }
  }
  t_untrapped.push_back(UntrappedError{dpy, *event});
  return 0;
}

void CX11ErrorTrap::ReportUntrapped(Display* dpy, const std::vector<XID>& forgiven, bool print) {
  std::erase_if(t_untrapped, [&](const UntrappedError& error) {
    if (error.dpy != dpy) return false;
    const XErrorEvent& event = error.event;
    if (!print || std::find(forgiven.begin(), forgiven.end(), event.resourceid) != forgiven.end())
      return true;
    char text[128] = {};
    XGetErrorText(dpy, event.error_code, text, sizeof text);
    std::fprintf(stderr, "X11 backend: X error %s (request %d.%d, resource 0x%lx)\n", text,
                 event.request_code, event.minor_code, event.resourceid);
    return true;
  });
}

int CX11ErrorTrap::OnIOError(Display*) {
  // Xlib's own handler prints a cryptic "XIO" line; the exit handler of the connection records the
  // loss and the program says it in its own words.
  return 0;
}

}  // namespace platform::x11
