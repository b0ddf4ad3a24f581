"""Shared helpers of the end-to-end tests: the client under test, the X tools, screenshots and polling.

Every test script takes the client's path as its first argument and runs on the display the harness
made for it. Waiting is always "until a condition holds, or give up after a generous limit": the limit
only turns a hang into a failure, it never decides a pass.
"""

import ctypes
import ctypes.util
import os
import queue
import re
import signal
import subprocess
import sys
import threading
import time

CLIENT = sys.argv[1] if len(sys.argv) > 1 else os.environ.get("TILVANE_E2E_CLIENT", "")
PATIENCE = 15.0  # seconds before a wait counts as hung

# What the client draws: a 210 x 245 window centred at the top, red with a white inner area.
WIDTH, HEIGHT, INSET = 210, 245, 16


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(probe, what, timeout=PATIENCE):
    """Calls probe() until it returns something truthy and returns that; fails after `timeout`."""
    give_up = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > give_up:
            raise Failure(f"gave up waiting for {what}")
        time.sleep(0.02)


class Client:
    """The backend's test client, with its output read line by line in the background."""

    def __init__(self, *args, env=None):
        check(CLIENT and os.path.exists(CLIENT), f"client not found: {CLIENT!r}")
        self.proc = subprocess.Popen([CLIENT, *args], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                     text=True, env=env)
        self.pid = self.proc.pid
        self.seen = []
        self._lines = queue.Queue()
        self._stderr = []
        self._readers = [threading.Thread(target=self._pump, args=(self.proc.stdout, self._lines.put), daemon=True),
                         threading.Thread(target=self._pump, args=(self.proc.stderr, self._stderr.append), daemon=True)]
        for reader in self._readers:
            reader.start()

    @staticmethod
    def _pump(stream, sink):
        for line in stream:
            sink(line.rstrip("\n"))
        sink(None)

    def __enter__(self):
        return self

    def __exit__(self, kind, value, traceback):
        self.stop()
        # Errors outside the backend's traps are its own bugs, whatever the test looked at.
        if kind is None and "X error" in self.stderr():
            raise Failure(f"the client reported X errors: {self.stderr()}")

    def expect(self, pattern, timeout=PATIENCE):
        """Reads lines until one matches `pattern` (a regular expression) and returns the match."""
        give_up = time.monotonic() + timeout
        while True:
            left = give_up - time.monotonic()
            try:
                line = self._lines.get(timeout=max(left, 0.01))
            except queue.Empty:
                line = ""
            if line is None:
                raise Failure(f"client ended before printing /{pattern}/; it printed {self.seen[-20:]}"
                              f", stderr {self.stderr()!r}")
            if line:
                self.seen.append(line)
                found = re.fullmatch(pattern, line)
                if found:
                    return found
            if time.monotonic() > give_up:
                raise Failure(f"no line /{pattern}/; the client printed {self.seen[-20:]}")

    def wait_exit(self, timeout=PATIENCE):
        """Waits for the client to end and for the last of its output; returns its exit status."""
        try:
            status = self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"client {self.pid} still running after {timeout} s")
        for reader in self._readers:
            reader.join(timeout=timeout)
        return status

    def stderr(self):
        return "\n".join(line for line in self._stderr if line is not None)

    def stop(self):
        """Ends the client by its PID if it still runs."""
        if self.proc.poll() is None:
            os.kill(self.pid, signal.SIGTERM)
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                os.kill(self.pid, signal.SIGKILL)
                self.proc.wait()


def start_ready_client(*args, env=None):
    """Starts the client and waits until its first frame has reached the server."""
    client = Client(*args, env=env)
    try:
        client.expect(r"presented \d+")
    except BaseException:
        client.stop()
        raise
    return client


# The X tools print window names in the locale's encoding; the names hold Japanese text.
TOOL_ENV = dict(os.environ, LC_ALL="C.UTF-8")


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True, encoding="utf-8", timeout=30,
                          env=TOOL_ENV).stdout


def xdotool(*args):
    run("xdotool", *[str(a) for a in args])


KEY_PATIENCE = 5.0  # seconds for a key press to come back from the client


def press_key(client, key):
    """Presses a letter key that commands the client and waits for the client to report it. A key that never
    arrives, or arrives as another code, fails here at once and says which, instead of as a time-out later on
    in the test (one fault of the key translation would otherwise cost every test that uses a key)."""
    wanted = ord(key.upper())
    xdotool("key", key)
    try:
        found = client.expect(r"key (0x[0-9a-f]+) 0x[0-9a-f]+ \w+", timeout=KEY_PATIENCE)
    except Failure:
        raise Failure(f"the key {key!r} never reached the client (no focus, or the key translation dropped it); "
                      f"it printed {client.seen[-10:]}")
    got = int(found[1], 16)
    check(got == wanted, f"the key {key!r} reached the client as 0x{got:02x}, not 0x{wanted:02x}: "
                         f"the key translation is wrong")


def close_by_window_manager(client, pattern):
    """Presses Alt+F4 until the window manager turns it into a close request that the client reports. A window
    manager announces itself before it has grabbed its key bindings, so on a busy machine the first press can
    still reach the client as a plain key."""
    for _ in range(10):
        xdotool("key", "alt+F4")
        try:
            return client.expect(pattern, timeout=2)
        except Failure:
            continue
    raise Failure("the window manager never turned Alt+F4 into a close request")


def has_window_manager():
    return "window id" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK")


def windows():
    """Every window of the display as (id, name, class text) from xwininfo's tree."""
    found = []
    # xwininfo gives up when a window goes away while it walks the tree (a window manager drops a frame); the
    # next walk sees the tree as it is now.
    for attempt in range(10):
        try:
            tree = run("xwininfo", "-root", "-tree")
            break
        except subprocess.CalledProcessError:
            if attempt == 9:
                raise
            time.sleep(0.02)
    for line in tree.splitlines():
        match = re.match(r'\s*(0x[0-9a-f]+) (?:"(.*)"|\(has no name\)):\s*(\(.*?\))?', line)
        if match:
            found.append((int(match.group(1), 16), match.group(2) or "", match.group(3) or ""))
    return found


def find_window(name_pattern, timeout=PATIENCE):
    """The id of the window whose name matches `name_pattern`, waiting for it to appear."""
    def probe():
        for window, name, _ in windows():
            if re.search(name_pattern, name):
                return window
        return None
    return wait_until(probe, f"a window named /{name_pattern}/", timeout)


def window_info(window):
    """Position, size, map state, override-redirect state and parent of a window."""
    text = run("xwininfo", "-id", str(window))
    number = lambda label: int(re.search(label + r":\s+(-?\d+)", text).group(1))
    tree = run("xwininfo", "-id", str(window), "-children")
    parent = re.search(r"Parent window id: (0x[0-9a-f]+)", tree)
    return {
        "x": number("Absolute upper-left X"),
        "y": number("Absolute upper-left Y"),
        "width": number("Width"),
        "height": number("Height"),
        "viewable": "IsViewable" in text,
        "override_redirect": re.search(r"Override Redirect State: yes", text) is not None,
        "parent": int(parent.group(1), 16) if parent else None,
        "root_parent": bool(parent) and "(the root window)" in tree.split("Parent window id:")[1].splitlines()[0],
    }


def wait_for_geometry(window, x, y, width, height):
    """Waits until a window is viewable at exactly x, y with the given size (a window manager is asynchronous)."""
    def probe():
        info = window_info(window)
        return info if (info["viewable"] and (info["x"], info["y"], info["width"], info["height"]) ==
                        (x, y, width, height)) else None
    try:
        return wait_until(probe, f"window 0x{window:x} at {x},{y} size {width}x{height}")
    except Failure:
        raise Failure(f"window 0x{window:x} is {window_info(window)}, wanted {x},{y} {width}x{height}")


def screen_size():
    width, height = run("xdotool", "getdisplaygeometry").split()
    return int(width), int(height)


def main_window():
    """The client's main window, once it shows where it belongs: centred at the top of the screen."""
    window = find_window(r"^Tilvane client")
    left = (screen_size()[0] - WIDTH) // 2
    wait_for_geometry(window, left, 0, WIDTH, HEIGHT)
    return window, left


def click_main(client, left, x=100, y=120, button=1):
    """Clicks inside the main window, which also gives it the keyboard under a window manager."""
    xdotool("mousemove", left + x, y, "click", button)
    client.expect(rf"up {button} {left + x} {y} 0x[0-9a-f]+ main")


def wait_uncovered(window, x, y):
    """Puts the pointer at a screen point and waits until the window under it is `window`, or the frame a window
    manager put it in. A window another client destroys is gone from the server at once, and its own client is
    told so, but the window manager's frame around it stays on the screen, and takes the clicks there, until the
    manager gets round to it."""
    info = window_info(window)
    top = window if info["root_parent"] else info["parent"]
    xdotool("mousemove", x, y)

    seen = []

    def probe():
        under = re.search(r"^WINDOW=(\d+)$", run("xdotool", "getmouselocation", "--shell"), re.M)
        seen[:] = [int(under.group(1))] if under else []
        return seen == [top]
    try:
        wait_until(probe, f"window 0x{window:x} to be the one under {x},{y}")
    except Failure:
        found = f"0x{seen[0]:x}" if seen else "none"
        raise Failure(f"the window under {x},{y} stayed {found}, not 0x{top:x} (window 0x{window:x} or its frame); "
                      f"the screen's windows: {windows()}")


def docked_tray_icon():
    """The client's tray icon once a tray host has embedded and shown it, and where it is."""
    icon = find_window(r"^Tilvane tray icon$")

    def probe():
        info = window_info(icon)
        return info if info["viewable"] and not info["root_parent"] else None
    info = wait_until(probe, "the tray icon to dock")
    # Without size hints trayer would shrink the icon to one pixel wide.
    check(info["width"] >= 16 and info["height"] >= 16, f"the tray gave the icon {info['width']}x{info['height']}")
    return icon, info


def xprop(window, *properties):
    return run("xprop", "-id", str(window), *properties)


class Screenshot:
    """The whole screen, read once with ImageMagick's import, or an 8-bit PPM taken otherwise."""

    def __init__(self, data=None):
        if data is None:
            data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], check=True,
                                  capture_output=True, timeout=30).stdout
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
        check(header is not None and header.group(3) == b"255", "import did not give an 8-bit PPM")
        self.width, self.height = int(header.group(1)), int(header.group(2))
        self.pixels = data[header.end():]

    def at(self, x, y):
        offset = (y * self.width + x) * 3
        return tuple(self.pixels[offset:offset + 3])


def is_colour(pixel, wanted, tolerance=12):
    """Whether a pixel is the wanted colour, allowing what a 16-bit screen does to it."""
    return all(abs(a - b) <= tolerance for a, b in zip(pixel, wanted))


RED, WHITE, BLACK = (255, 0, 0), (255, 255, 255), (0, 0, 0)


class XDisplay:
    """A minimal Xlib connection through ctypes, for the requests no command-line tool makes."""

    ClientMessage = 33
    _ErrorHandler = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)

    class _ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                    ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

    def __init__(self):
        self.x = ctypes.CDLL(ctypes.util.find_library("X11"))
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x.XInternAtom.restype = ctypes.c_ulong
        self.x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
        self.x.XGetSelectionOwner.restype = ctypes.c_ulong
        self.x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.dpy = self.x.XOpenDisplay(None)
        check(self.dpy, "ctypes could not open the display")
        # Xlib's own handler would end the test at the first error (a window that went away meanwhile);
        # this one counts them, so that the test can say what happened.
        self.errors = []
        self._on_error = XDisplay._ErrorHandler(lambda dpy, event: self.errors.append(event) or 0)
        self.x.XSetErrorHandler.argtypes = [XDisplay._ErrorHandler]
        self.x.XSetErrorHandler(self._on_error)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.x.XCloseDisplay(self.dpy)

    def atom(self, name):
        return self.x.XInternAtom(self.dpy, name.encode(), 0)

    def send_client_message(self, window, message_type, data, format=32):
        """Sends a client message of any type and format to a window, as any client may. `data` holds up to
        five longs, ten shorts or twenty bytes, by format."""
        message = XDisplay._ClientMessage()
        message.type = XDisplay.ClientMessage
        message.window = window
        message.message_type = self.atom(message_type) if isinstance(message_type, str) else message_type
        message.format = format
        kind = {32: ctypes.c_long, 16: ctypes.c_short, 8: ctypes.c_char}[format]
        count = {32: 5, 16: 10, 8: 20}[format]
        values = (kind * count).from_buffer(message.data)
        for i, value in enumerate(data):
            values[i] = bytes([value]) if format == 8 else value
        event = (ctypes.c_long * 24)()
        ctypes.memmove(event, ctypes.byref(message), ctypes.sizeof(message))
        self.x.XSendEvent(self.dpy, window, 0, 0, event)
        self.x.XSync(self.dpy, 0)
        check(not self.errors, f"window 0x{window:x} is gone: the client closed or destroyed it")

    class _ConfigureEvent(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                    ("display", ctypes.c_void_p), ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                    ("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                    ("border_width", ctypes.c_int), ("above", ctypes.c_ulong), ("override_redirect", ctypes.c_int)]

    def send_configure_notify(self, window, x, y, width, height):
        """Tells a window it stands at x, y with the given size, as a window manager's synthetic
        ConfigureNotify does; any client may send one."""
        configure = XDisplay._ConfigureEvent(type=22, event=window, window=window, x=x, y=y, width=width,
                                             height=height)
        event = (ctypes.c_long * 24)()
        ctypes.memmove(event, ctypes.byref(configure), ctypes.sizeof(configure))
        structure_notify = 1 << 17
        self.x.XSendEvent(self.dpy, window, 0, structure_notify, event)
        self.x.XSync(self.dpy, 0)

    def send_delete_window(self, window):
        """Asks a window to close the way a window manager's close box does (WM_DELETE_WINDOW)."""
        self.send_client_message(window, "WM_PROTOCOLS", [self.atom("WM_DELETE_WINDOW")])

    def destroy_window(self, window):
        """Destroys another client's window, which X lets any client do."""
        self.x.XDestroyWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x.XDestroyWindow(self.dpy, window)
        self.x.XSync(self.dpy, 0)

    def ping(self, window, timestamp, timeout=5.0):
        """Pings a window the way a window manager does (_NET_WM_PING) and returns the reply, which EWMH wants
        sent back to the root window: (window, message type, format, data). Fails when none comes."""
        root = self.x.XDefaultRootWindow(self.dpy)
        self.x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        substructure_notify = 1 << 19
        self.x.XSelectInput(self.dpy, root, substructure_notify)
        ping = self.atom("_NET_WM_PING")
        self.send_client_message(window, "WM_PROTOCOLS", [ping, timestamp, window])
        self.x.XPending.argtypes = [ctypes.c_void_p]
        self.x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        give_up = time.monotonic() + timeout
        while time.monotonic() < give_up:
            while self.x.XPending(self.dpy):
                event = (ctypes.c_long * 24)()
                self.x.XNextEvent(self.dpy, event)
                message = XDisplay._ClientMessage.from_buffer(event)
                if (message.type == XDisplay.ClientMessage and message.format == 32 and
                        message.data[0] == ping and message.data[1] == timestamp):
                    return message.window, message.message_type, message.format, list(message.data)
            time.sleep(0.01)
        raise Failure(f"no reply on the root window to the ping of 0x{window:x}")

    def root_window(self):
        return self.x.XDefaultRootWindow(self.dpy)

    class _CursorImage(ctypes.Structure):
        _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                    ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                    ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                    ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]

    def cursor(self):
        """The cursor on the screen now, through XFixes: (width, height, hot x, hot y, ARGB pixels)."""
        fixes = ctypes.CDLL(ctypes.util.find_library("Xfixes"))
        fixes.XFixesGetCursorImage.restype = ctypes.POINTER(XDisplay._CursorImage)
        fixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
        fixes.XFixesQueryVersion.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int)]
        major, minor = ctypes.c_int(6), ctypes.c_int(0)
        # The extension wants to hear the client's version before anything else.
        fixes.XFixesQueryVersion(self.dpy, ctypes.byref(major), ctypes.byref(minor))
        image = fixes.XFixesGetCursorImage(self.dpy)
        check(bool(image), "XFixes gave no cursor image")
        c = image.contents
        pixels = [c.pixels[i] & 0xFFFFFFFF for i in range(c.width * c.height)]
        result = (c.width, c.height, c.xhot, c.yhot, pixels)
        self.x.XFree.argtypes = [ctypes.c_void_p]
        self.x.XFree(image)
        return result

    def selection_owner(self, selection):
        return self.x.XGetSelectionOwner(self.dpy, self.atom(selection))

    def tray_owner(self, screen=0):
        return self.selection_owner(f"_NET_SYSTEM_TRAY_S{screen}")


def main(test):
    """Runs one test function and reports the outcome the way ctest reads it."""
    try:
        test()
    except Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        sys.exit(1)
    print("PASS")
