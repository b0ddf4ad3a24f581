"""What a hostile tray host or X client can do to the tray icon: a host of our own resizes it to the largest
sizes X allows, or a client floods the root window with forged MANAGER announcements while trayer runs. The client must stay small and responsive, and
its icon must stay where it is, visible in the real host.

Usage: test_tray_hostile.py CLIENT SCENE, where SCENE is one of the functions named in SCENES below."""
import ctypes
import subprocess
import sys
import time

from e2e import PATIENCE, XDisplay, Failure, check, docked_tray_icon, main, main_window
from e2e import start_ready_client, windows, xdotool

# Far above what the client needs (about 30 MiB), far below what a picture of the huge sizes would take.
MEMORY_LIMIT_KIB = 200 * 1024


def memory_kib(pid, field):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    return 0


def responsive_and_small(client, left):
    """A click reaches the client promptly, and its peak memory stayed bounded; fails at once when the
    client grows past the limit or ends, instead of waiting for it to finish a huge paint."""
    xdotool("mousemove", left + 100, 120, "click", 1)
    give_up = time.monotonic() + PATIENCE
    while True:
        check(client.proc.poll() is None, f"the client ended: {client.stderr()[-300:]!r}")
        rss = memory_kib(client.pid, "VmRSS")
        check(rss < MEMORY_LIMIT_KIB, f"the client holds {rss} KiB after the resize")
        try:
            client.expect(rf"up 1 {left + 100} 120 .*", timeout=0.1)
            break
        except Failure:
            if time.monotonic() > give_up:
                raise
    peak = memory_kib(client.pid, "VmHWM")
    check(peak < MEMORY_LIMIT_KIB, f"the client's memory peaked at {peak} KiB")


class HostileTrayHost(XDisplay):
    """A tray host of our own that docks the icon and then resizes it as it likes."""

    def __init__(self):
        super().__init__()
        x = self.x
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XCreateSimpleWindow.restype = ctypes.c_ulong
        x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_int] * 2 + \
            [ctypes.c_uint] * 3 + [ctypes.c_ulong] * 2
        for name, argtypes in (("XMapWindow", [ctypes.c_ulong]), ("XSetSelectionOwner", [ctypes.c_ulong] * 3),
                               ("XReparentWindow", [ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int, ctypes.c_int]),
                               ("XResizeWindow", [ctypes.c_ulong, ctypes.c_uint, ctypes.c_uint]),
                               ("XPending", []), ("XNextEvent", [ctypes.c_void_p])):
            getattr(x, name).argtypes = [ctypes.c_void_p] + argtypes
        self.root = x.XDefaultRootWindow(self.dpy)
        self.window = x.XCreateSimpleWindow(self.dpy, self.root, 0, 0, 200, 40, 0, 0, 0)
        x.XMapWindow(self.dpy, self.window)
        tray = self.atom("_NET_SYSTEM_TRAY_S0")
        x.XSetSelectionOwner(self.dpy, tray, self.window, 0)
        announce(self, tray, self.window, 1)

    def wait_for_dock_request(self):
        """The icon window of the first SYSTEM_TRAY_REQUEST_DOCK that reaches the host."""
        opcode = self.atom("_NET_SYSTEM_TRAY_OPCODE")
        event = (ctypes.c_long * 24)()
        give_up = time.monotonic() + PATIENCE
        while time.monotonic() < give_up:
            while self.x.XPending(self.dpy):
                self.x.XNextEvent(self.dpy, event)
                # XClientMessageEvent: type, serial, send_event, display, window, message_type, format, data.
                if event[0] & 0xFFFFFFFF == XDisplay.ClientMessage and event[5] == opcode and event[8] == 0:
                    return event[9]
            time.sleep(0.01)
        raise Failure("the icon never asked the hostile host to dock it")

    def dock_and_resize(self, icon, side):
        self.x.XReparentWindow(self.dpy, icon, self.window, 0, 0)
        self.x.XMapWindow(self.dpy, icon)
        self.x.XResizeWindow(self.dpy, icon, side, side)
        self.x.XSync(self.dpy, 0)


def huge():
    """The host gives the icon the largest sizes X allows."""
    with HostileTrayHost() as host, start_ready_client() as client:
        window, left = main_window()
        icon = host.wait_for_dock_request()
        for side in (16000, 32767):
            host.dock_and_resize(icon, side)
            responsive_and_small(client, left)


def window_exists(window):
    """Whether a window is in the tree; xwininfo fails when windows vanish while it walks, then it asks again."""
    for _ in range(20):
        try:
            return any(w == window for w, _, _ in windows())
        except subprocess.CalledProcessError:
            continue
    raise Failure("xwininfo kept failing while windows came and went")


def announce(display, tray, owner, count):
    """Broadcasts `count` MANAGER messages for the tray selection, as a starting tray host does once."""
    message = XDisplay._ClientMessage()
    message.type = XDisplay.ClientMessage
    message.window = display.x.XDefaultRootWindow(display.dpy)
    message.message_type = display.atom("MANAGER")
    message.format = 32
    message.data[1] = tray
    message.data[2] = owner
    event = (ctypes.c_long * 24)()
    ctypes.memmove(event, ctypes.byref(message), ctypes.sizeof(message))
    structure_notify = 1 << 17
    for _ in range(count):
        display.x.XSendEvent(display.dpy, message.window, 0, structure_notify, event)
    display.x.XSync(display.dpy, 0)


def forged_manager():
    with start_ready_client() as client:
        window, left = main_window()
        icon, before = docked_tray_icon()
        with XDisplay() as x:
            x.x.XDefaultRootWindow.restype = ctypes.c_ulong
            x.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
            owner = x.tray_owner()
            check(owner != 0, "trayer should own the tray selection")
            announce(x, x.atom("_NET_SYSTEM_TRAY_S0"), owner, 2000)
        # The click comes after every forged announcement: once it is reported, all of them were handled.
        # A re-dock shows sooner, as the icon window it destroys.
        xdotool("mousemove", left + 100, 120, "click", 1)
        give_up = time.monotonic() + PATIENCE
        while True:
            check(window_exists(icon), f"the icon re-docked: window 0x{icon:x} is gone")
            try:
                client.expect(rf"up 1 {left + 100} 120 .*", timeout=0.1)
                break
            except Failure:
                if time.monotonic() > give_up:
                    raise
        again, after = docked_tray_icon()
        check(again == icon, f"the icon re-docked (window 0x{icon:x} became 0x{again:x})")
        check(after["width"] >= 16 and after["viewable"], f"the icon should stay visible in trayer: {after}")


SCENES = {"huge": huge, "forged-manager": forged_manager}

if __name__ == "__main__":
    scene = SCENES.get(sys.argv[2] if len(sys.argv) > 2 else "")
    if not scene:
        print(f"usage: test_tray_hostile.py CLIENT {'|'.join(SCENES)}", file=sys.stderr)
        sys.exit(2)
    main(scene)
