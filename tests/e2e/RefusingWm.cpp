// A window manager that places every window itself and refuses every move, as sway does to X11 windows. It
// puts each window it maps at kPlace and keeps it there; a size change is carried out where the window stands.
// A refused move is answered with the synthetic ConfigureNotify that ICCCM asks for, or, with
// TILVANE_E2E_REFUSE=silent, with nothing at all (sway's way).
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

constexpr int kPlaceX = 300;
constexpr int kPlaceY = 150;

// Windows go away while we look at them; nothing a client does ends the manager.
int IgnoreErrors(Display*, XErrorEvent*) {
  return 0;
}

void AnnounceManager(Display* dpy, Window root) {
  const Window check = XCreateSimpleWindow(dpy, root, -1, -1, 1, 1, 0, 0, 0);
  const Atom supporting = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False);
  for (Window on : {root, check})
    XChangeProperty(dpy, on, supporting, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&check), 1);
}

void TellWhereItStands(Display* dpy, Window window, const XWindowAttributes& now) {
  XEvent answer{};
  answer.xconfigure.type = ConfigureNotify;
  answer.xconfigure.event = window;
  answer.xconfigure.window = window;
  answer.xconfigure.x = now.x;
  answer.xconfigure.y = now.y;
  answer.xconfigure.width = now.width;
  answer.xconfigure.height = now.height;
  answer.xconfigure.border_width = now.border_width;
  XSendEvent(dpy, window, False, StructureNotifyMask, &answer);
}

void Refuse(Display* dpy, const XConfigureRequestEvent& request, bool silent) {
  XWindowAttributes now;
  if (!XGetWindowAttributes(dpy, request.window, &now)) return;
  const int width = (request.value_mask & CWWidth) ? request.width : now.width;
  const int height = (request.value_mask & CWHeight) ? request.height : now.height;
  if (width != now.width || height != now.height) {
    XResizeWindow(dpy, request.window, static_cast<unsigned>(width), static_cast<unsigned>(height));
  } else if (!silent) {
    TellWhereItStands(dpy, request.window, now);
  }
}

}  // namespace

int main() {
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) return 1;
  XSetErrorHandler(IgnoreErrors);
  const char* mode = std::getenv("TILVANE_E2E_REFUSE");
  const bool silent = mode && std::strcmp(mode, "silent") == 0;
  const Window root = DefaultRootWindow(dpy);
  XSelectInput(dpy, root, SubstructureRedirectMask);
  AnnounceManager(dpy, root);
  for (;;) {
    XEvent event;
    XNextEvent(dpy, &event);
    if (event.type == MapRequest) {
      XMoveWindow(dpy, event.xmaprequest.window, kPlaceX, kPlaceY);
      XMapWindow(dpy, event.xmaprequest.window);
    } else if (event.type == ConfigureRequest) {
      Refuse(dpy, event.xconfigurerequest, silent);
    }
  }
}
