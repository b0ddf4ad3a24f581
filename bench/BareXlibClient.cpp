// The floor of the start-up measurement: the least an Xlib client does to show a painted window.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

int main() {
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) return 1;
  int screen = DefaultScreen(dpy);
  int width = DisplayWidth(dpy, screen);
  Window window =
      XCreateSimpleWindow(dpy, RootWindow(dpy, screen), (width - 210) / 2, 0, 210, 245, 0, 0, 0xFF0000);
  XSelectInput(dpy, window, ExposureMask);
  XMapWindow(dpy, window);
  XEvent event;
  for (;;) {
    XNextEvent(dpy, &event);
    if (event.type == Expose) {
      XSetWindowBackground(dpy, window, 0xFF0000);
      XClearWindow(dpy, window);
      XSync(dpy, False);
    }
  }
}
