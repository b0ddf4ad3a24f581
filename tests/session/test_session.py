"""The program on the desktops people run, tried as a user would: the desktop starts on a display of its own
with a bus of its own, the program starts, its icon is found in the panel from its pixels, and real clicks go
to the icon and then to the menu the panel draws; what happened is read back from the program's window.

Usage: test_session.py DESKTOP TILVANE, where DESKTOP is one of those in DESKTOPS below. The X11 desktops run
under tests/e2e/harness.sh (a private Xvfb and session bus, HOME and the XDG folders in a temporary directory);
sway runs in a mount, network and PID namespace of its own as an unprivileged user, with all of that made here.
TILVANE_SESSION_KEEP=DIR keeps the screenshots of the menus, the session bus's traffic and every log there.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from e2e import Failure, Screenshot, check, main  # noqa: E402
import tools  # noqa: E402

PROGRAM = sys.argv[2] if len(sys.argv) > 2 else ""
STARTUP = 90.0  # seconds a desktop may take to come up on a busy two-core machine
PATIENCE = 20.0
KEEP = os.environ.get("TILVANE_SESSION_KEEP", "")
SNI_WATCHER = ("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher")
# The top level of the popup menu as text rows, and two of its submenus: 開始, 色設定, 背景ｻｲｽﾞ, 画面ｻｲｽﾞ, 難易度設定,
# 情報, 終了; 赤 紫 黄 緑 水 青 黒; MoreEasy Easy Normal Hard MoreHard MAX.
TOP, COLOURS, BOARDS = 7, 7, 6
START, COLOUR, BOARD, INFO, EXIT = 0, 1, 4, 5, 6


class Session:
    """What one desktop started, ended together when the test ends; `user` runs every process as that user."""

    def __init__(self, name, env, user=None):
        self.name, self.env, self.user = name, env, user
        self.workdir = tempfile.mkdtemp(prefix=f"tilvane-session-{name}.")
        os.chmod(self.workdir, 0o755)
        self.procs, self.logs = [], []
        self.shots = 0

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        for _, _, log in self.procs if KEEP else []:
            if log:
                shutil.copy(log, os.path.join(KEEP, f"{self.name}-{os.path.basename(log)}"))
        for _, proc, _ in reversed(self.procs):
            if proc.poll() is None:
                proc.terminate()
        for _, proc, _ in reversed(self.procs):
            try:
                proc.wait(timeout=3)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
        shutil.rmtree(self.workdir, ignore_errors=True)

    def prefix(self):
        """setpriv: the process dies with the test (ctest's time-out kills only the test), as the user."""
        user = ["--reuid", self.user, "--regid", "nogroup", "--clear-groups"] if self.user else []
        return ["setpriv", *user, "--pdeathsig", "KILL", "--"]

    def start(self, name, *argv, env=None):
        """Starts a process of the desktop, its output in a log of its own; it must keep running."""
        log = os.path.join(self.workdir, f"{name}.log")
        with open(log, "w") as out:
            proc = subprocess.Popen([*self.prefix(), *argv], stdout=out, stderr=subprocess.STDOUT,
                                    env=env or self.env, cwd=self.workdir)
        self.procs.append((name, proc, log))
        return proc

    def tail(self, name, lines=12):
        log = os.path.join(self.workdir, f"{name}.log")
        with open(log, errors="replace") as f:
            return "".join(f.readlines()[-lines:])

    def alive(self):
        for name, proc, _ in self.procs:
            if proc.poll() is not None and name not in ("tilvane", "dbus-monitor"):
                raise Failure(f"{name} exited with status {proc.returncode}; its log ends:\n{self.tail(name)}")

    def wait(self, probe, what, timeout=PATIENCE, logs=()):
        """probe() until it is truthy; a process of the desktop that ends fails the wait at once with its log."""
        give_up = time.monotonic() + timeout
        while True:
            self.alive()
            value = probe()
            if value:
                return value
            if time.monotonic() > give_up:
                self.screenshot("failed")
                raise Failure(f"gave up waiting for {what}" + "".join(
                    f"\n--- {name}'s log ends:\n{self.tail(name)}" for name in logs))
            time.sleep(0.1)

    def run(self, *command, check_status=True):
        result = subprocess.run([*self.prefix(), *command], capture_output=True, text=True, env=self.env,
                                timeout=30, encoding="utf-8", errors="replace")
        if check_status and result.returncode:
            raise Failure(f"{command[0]} failed ({result.returncode}): {result.stderr.strip()}")
        return result.stdout

    # The session bus.
    def bus_get(self, dest_path, interface, prop):
        dest, path = dest_path
        return self.run("dbus-send", "--session", "--print-reply", f"--dest={dest}", path,
                        "org.freedesktop.DBus.Properties.Get", f"string:{interface}", f"string:{prop}",
                        check_status=False)

    def host_ready(self):
        return "boolean true" in self.bus_get(SNI_WATCHER, SNI_WATCHER[0], "IsStatusNotifierHostRegistered")

    def registered(self, pid):
        """Whether the watcher lists the item of the process, which registers it under its connection's name."""
        owner = re.search(r'string "(:[0-9.]+)"', self.run(
            "dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
            "org.freedesktop.DBus.GetNameOwner", f"string:org.kde.StatusNotifierItem-{pid}-1", check_status=False))
        listed = self.bus_get(SNI_WATCHER, SNI_WATCHER[0], "RegisteredStatusNotifierItems")
        return bool(owner) and re.search(rf'"{re.escape(owner.group(1))}[/@"]', listed) is not None

    def wait_host(self, logs):
        """Waits for the tray; its logs are shown with every menu that does not come."""
        self.logs = logs
        self.wait(self.host_ready, f"{self.name}'s tray to register as a StatusNotifierHost", STARTUP, logs)

    # The screen and the pointer; the X11 desktops through the X tools, sway through its own.
    def screenshot(self, keep=""):
        command = ["grim", "-t", "ppm", "-"] if self.user else ["import", "-window", "root", "-depth", "8", "ppm:-"]
        data = subprocess.run([*self.prefix(), *command], capture_output=True, env=self.env, timeout=30).stdout
        shot = Shot(data)
        if KEEP and keep:
            self.shots += 1
            with open(os.path.join(KEEP, f"{self.name}-{self.shots}-{keep}.ppm"), "wb") as f:
                f.write(data)
        return shot

    def settled_screenshot(self, keep=""):
        """A screenshot once what the desktop animates has come to rest (two alike), or the last after a while."""
        shot = self.screenshot()
        for _ in range(20):
            time.sleep(0.15)
            again = self.screenshot()
            if again.pixels == shot.pixels:
                break
            shot = again
        if keep:
            self.screenshot(keep)
        return shot

    def click(self, x, y, button=1):
        if self.user:
            self.pointer.stdin.write(f"click {x} {y} {button}\n")
            self.pointer.stdin.flush()
            check(self.pointer.stdout.readline() == "done\n", f"the virtual pointer failed: {self.tail('pointer')}")
        else:
            self.run("xdotool", "mousemove", str(x), str(y), "click", str(button))

    def drag(self, start, end):
        """The left button held from one point to another (sway's virtual pointer only)."""
        self.pointer.stdin.write(f"drag {start[0]} {start[1]} {end[0]} {end[1]}\n")
        self.pointer.stdin.flush()
        check(self.pointer.stdout.readline() == "done\n", f"the virtual pointer failed: {self.tail('pointer')}")

    def key(self, key):
        self.run("xdotool", "key", key)

    def window(self, name):
        """(id, x, y, width, height) of the viewable window with this name, or None."""
        tree = self.run("xwininfo", "-root", "-tree", check_status=False)
        for found in re.finditer(r'^\s*(0x[0-9a-f]+) "(.*)": \(.*?\)\s+(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)',
                                 tree, re.M):
            if found.group(2) == name:
                info = self.run("xwininfo", "-id", found.group(1), check_status=False)
                if "IsViewable" in info:
                    width, height, x, y = map(int, found.group(3, 4, 5, 6))
                    return int(found.group(1), 16), x, y, width, height
        return None

    # The program.
    def start_program(self):
        self.program = self.start("tilvane", PROGRAM)
        self.wait(lambda: self.registered(self.program.pid), "the program's item to be registered", PATIENCE,
                  ["tilvane"])
        return self.program

    def rim(self):
        """The colour of the main window's rim, once the window is in place and drawn."""
        window = self.window("Tilvane")
        if not window:
            return None
        return self.screenshot().at(window[1] + 105, window[2] + 1)

    def icon(self):
        """Where the program's icon shows on the screen, found from its pixels."""
        return self.wait(lambda: find_icon(self.screenshot()), "the program's icon on the screen")

    def open_menu(self, button, rows=TOP):
        """Clicks the icon and returns the menu the desktop shows for it: its box and its text rows."""
        # GNOME Shell now and then lets a click on the icon go: one that brings no menu is tried again, on the icon
        # found afresh (a top bar may have moved it meanwhile).
        for attempt in range(3):
            before = self.settled_screenshot()
            icon = self.icon()
            x0, y0, x1, y1 = icon["box"]
            around = (x0 - 24, y0 - 12, x1 + 24, y1 + 12)  # where the panel highlights the icon's button
            self.click(*icon["centre"], button)
            try:
                return self.wait_menu(lambda: menu_rows(before, self.settled_screenshot(), around), rows,
                                      f"a menu of {rows} rows from a click of button {button} on the icon",
                                      PATIENCE if attempt == 2 else 5)
            except Failure as failure:
                if attempt == 2:
                    raise Failure(f"{failure}; the icon was at {icon['box']}")

    def wait_menu(self, probe, rows, what, timeout=PATIENCE):
        """Waits for probe() to find a menu of that many rows; a failure says what it found last."""
        seen = []

        def found():
            menu = probe()
            seen[:] = [menu]
            return menu if menu and len(menu[1]) == rows else None
        try:
            return self.wait(found, what, timeout, self.logs)
        except Failure as failure:
            raise Failure(f"{failure}; the last patch that changed, and its text rows: {seen}")

    def choose(self, menu, row):
        """Clicks a row of a menu."""
        box, rows = menu
        self.screenshot("menu")
        self.click((box[0] + box[2]) // 2, rows[row])

    def open_submenu(self, menu, row, rows, inline=False):
        """Clicks a row that holds a submenu and returns the submenu: beside the menu, or unfolded inside it."""
        before = self.settled_screenshot()
        self.choose(menu, row)
        if inline:
            found = self.wait_menu(lambda: menu_rows(before, self.settled_screenshot(), menu[0], grow=True),
                                   TOP + rows, f"a submenu of {rows} rows unfolded in the menu")
            return found[0], found[1][row + 1:row + 1 + rows]
        return self.wait_menu(lambda: menu_rows(before, self.settled_screenshot(), menu[0]), rows,
                              f"a submenu of {rows} rows")

    def exit_through(self, menu):
        self.choose(menu, EXIT)
        try:
            status = self.program.wait(timeout=PATIENCE)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end after 終了")
        check(status == 0, f"exit status {status} after 終了")


class Shot(Screenshot):
    """A screenshot as an 8-bit PPM, with its rows of pixels."""

    def row(self, y, x0, x1):
        return self.pixels[(y * self.width + x0) * 3:(y * self.width + x1) * 3]


def near(pixel, wanted, tolerance=48):
    return all(abs(a - b) <= tolerance for a, b in zip(pixel, wanted))


RED, MAGENTA, WHITE = (255, 0, 0), (255, 0, 255), (255, 255, 255)


def components(cells):
    """The 8-connected groups of a set of grid cells, each as its bounding box in cells."""
    cells, found = set(cells), []
    while cells:
        stack = [cells.pop()]
        x0 = x1 = stack[0][0]
        y0 = y1 = stack[0][1]
        count = 0
        while stack:
            cx, cy = stack.pop()
            count += 1
            x0, x1, y0, y1 = min(x0, cx), max(x1, cx), min(y0, cy), max(y1, cy)
            for nx in (cx - 1, cx, cx + 1):
                for ny in (cy - 1, cy, cy + 1):
                    if (nx, ny) in cells:
                        cells.remove((nx, ny))
                        stack.append((nx, ny))
        found.append((count, x0, y0, x1, y1))
    return found


def find_icon(shot):
    """The icon's art at panel size: a square of 12 to 64 pixels, framed red, with white and magenta inside. The
    main window's red is one far larger patch, and its red digits hold no white."""
    red = re.compile(rb"(?=[\xc0-\xff][\x00-\x50][\x00-\x50])", re.S)
    cell = 4
    cells = {((m.start() // 3) % shot.width // cell, (m.start() // 3) // shot.width // cell)
             for m in red.finditer(shot.pixels) if m.start() % 3 == 0}
    found = []
    for _, x0, y0, x1, y1 in components(cells):
        x0, y0, x1, y1 = x0 * cell, y0 * cell, (x1 + 1) * cell, (y1 + 1) * cell
        if not (12 <= x1 - x0 <= 68 and 12 <= y1 - y0 <= 68 and abs((x1 - x0) - (y1 - y0)) <= 8):
            continue
        inside = [shot.at(x, y) for y in range(y0, y1) for x in range(x0, x1)]
        if any(near(p, WHITE, 24) for p in inside) and any(near(p, MAGENTA) for p in inside):
            found.append({"box": (x0, y0, x1, y1), "centre": ((x0 + x1) // 2, (y0 + y1) // 2)})
    check(len(found) <= 1, f"more than one picture looks like the icon: {found}")
    return found[0] if found else None


def menu_rows(before, after, near_box, grow=False):
    """The menu that `after` shows and `before` did not, as (box, the middle of each text row), or None. The
    menu is the patch that changed nearest to `near_box`, leaving out what changed on and around `near_box` (the
    icon the panel highlights, or the menu a submenu opens beside), unless `grow`: then the patch is the menu in
    `near_box` grown with the submenu it unfolded. A text row is a band of rows at least 6 pixels high with
    something other than the menu's background in it; the thin bands are separators and borders."""
    cell = 8
    bx0, by0, bx1, by1 = near_box
    changed = set()
    for y in range(after.height):
        if before.row(y, 0, after.width) == after.row(y, 0, after.width):
            continue
        for cx in range(0, after.width, cell):
            if before.row(y, cx, min(cx + cell, after.width)) != after.row(y, cx, min(cx + cell, after.width)):
                inside = bx0 < cx + cell and cx < bx1 and by0 <= y < by1
                if grow or not inside:
                    changed.add((cx // cell, y // cell))
    if not changed:
        return None
    # The patch nearest to what was clicked: something else may change meanwhile (a panel's clock).
    def distance(patch):
        _, px0, py0, px1, py1 = patch
        return (max(bx0 - (px1 + 1) * cell, px0 * cell - bx1, 0) + max(by0 - (py1 + 1) * cell, py0 * cell - by1, 0),
                -patch[0])
    patches = [patch for patch in components(changed) if patch[0] >= 16]  # a pointer's trace is no menu
    if not patches:
        return None
    _, x0, y0, x1, y1 = min(patches, key=distance)
    x0, y0, x1, y1 = x0 * cell, y0 * cell, min((x1 + 1) * cell, after.width), min((y1 + 1) * cell, after.height)
    if grow:
        x0, y0, x1 = min(x0, near_box[0]), min(y0, near_box[1]), max(x1, near_box[2])
    # The background: the commonest colour in the box. The menu is where it is most of a row or a column (the
    # grid's cells overshoot, and a pointer or a shadow may touch the menu), and ink is what differs from it.
    counts = {}
    for y in range(y0, y1, 2):
        for x in range(x0, x1, 2):
            pixel = after.at(x, y)
            counts[pixel] = counts.get(pixel, 0) + 1
    background = max(counts, key=counts.get)
    columns = [x for x in range(x0, x1) if sum(after.at(x, y) == background for y in range(y0, y1, 4)) * 8 > y1 - y0]
    lines = [y for y in range(y0, y1) if sum(after.at(x, y) == background for x in range(x0, x1, 4)) * 8 > x1 - x0]
    if not columns or not lines:
        return None
    x0, x1, y0, y1 = columns[0], columns[-1] + 1, lines[0], lines[-1] + 1
    # A line down the box (a border, the edge of the menu beside) inks the empty rows alike, the commonest count:
    # ink is what a row has more. Rounded corners are left out.
    ink = [sum(not near(after.at(x, y), background, 40) for x in range(x0 + 16, x1 - 16)) for y in range(y0, y1)]
    empty = max(set(ink), key=ink.count)
    bands, start = [], None
    for y in range(y0, y1 + 1):
        inked = y < y1 and ink[y - y0] > empty
        if inked and start is None:
            start = y
        elif not inked and start is not None:
            bands.append((start, y))
            start = None
    text = [(top + bottom) // 2 for top, bottom in bands if bottom - top >= 6]
    return (x0, y0, x1, y1), text


# The desktops. Each starts what its session would, waits until its tray hosts items, and tries the program.

def x11_session(name):
    env = dict(os.environ, LIBGL_ALWAYS_SOFTWARE="1", LC_ALL="C.UTF-8")
    return Session(name, env)


def service_exec(name):
    """The daemon that D-Bus activation would start for a name; the private bus starts nothing on demand."""
    with open(f"/usr/share/dbus-1/services/{name}.service") as f:
        return re.search(r"^Exec=(\S+)", f.read(), re.M).group(1)


def start_window_manager(session, name, *argv):
    session.start(name, *argv)
    session.wait(lambda: "window id" in session.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK",
                                                    check_status=False), f"{name} to manage the screen", STARTUP)


def wait_rim(session, colour, what):
    session.wait(lambda: (lambda rim: rim and near(rim, colour, 12))(session.rim()), what)


XFCE_PANEL = """<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="30"/>
      <property name="plugin-ids" type="array"><value type="int" value="1"/></property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
"""


def xfce():
    """xfwm4 and a top panel of the systray plugin alone: a right click opens the menu, 紫, then 終了."""
    with x11_session("xfce") as session:
        channels = os.path.join(os.environ["XDG_CONFIG_HOME"], "xfce4", "xfconf", "xfce-perchannel-xml")
        os.makedirs(channels)
        with open(os.path.join(channels, "xfce4-panel.xml"), "w") as f:
            f.write(XFCE_PANEL)
        session.start("xfconfd", service_exec("org.xfce.Xfconf"))
        start_window_manager(session, "xfwm4", "xfwm4", "--compositor=off", "--sm-client-disable")
        session.start("xfce4-panel", "xfce4-panel", "--sm-client-disable")
        session.wait_host(["xfce4-panel", "xfconfd"])
        try_program(session, button=3, scene="colour")


def gnome():
    """GNOME Shell on X11 with the AppIndicator extension: the icon in the top bar, its menu, 紫, then 終了. (Not
    MAX: the window of the 10 x 10 board reaches under the menu, and its shadow changes as the menu takes the
    focus.)"""
    with x11_session("gnome") as session:
        # gnome-shell wants a system bus (its login-manager code dies without one); a private one will do.
        session.start("system-bus", "dbus-daemon", "--nofork", f"--config-file={bus_config()}",
                      f"--address=unix:path={session.workdir}/system-bus")
        session.env["DBUS_SYSTEM_BUS_ADDRESS"] = f"unix:path={session.workdir}/system-bus"
        session.start("dconf-service", service_exec("ca.desrt.dconf"))
        session.wait(lambda: os.path.exists(f"{session.workdir}/system-bus"), "the system bus")
        for schema, key, value in [("org.gnome.shell", "enabled-extensions", "['ubuntu-appindicators@ubuntu.com']"),
                                   ("org.gnome.desktop.lockdown", "disable-lock-screen", "true"),
                                   ("org.gnome.desktop.notifications", "show-banners", "false")]:
            session.wait(lambda: not session.run("gsettings", "set", schema, key, value, check_status=False) and
                         value in session.run("gsettings", "get", schema, key), f"the setting {key}")
        session.start("gnome-shell", "gnome-shell", "--x11", "--replace",
                      env=dict(session.env, XDG_SESSION_TYPE="x11"))
        session.wait_host(["gnome-shell"])
        # It shows the overview once it has finished starting, and leaves it on Escape: the program comes then.
        seen = []

        def overview_left():
            active = "boolean true" in session.bus_get(("org.gnome.Shell", "/org/gnome/Shell"), "org.gnome.Shell",
                                                       "OverviewActive")
            seen.append(active)
            if active and len(seen) % 10 == 1:
                session.key("Escape")
            return any(seen) and not active
        session.wait(overview_left, "GNOME Shell to leave the overview", STARTUP, ["gnome-shell"])
        try_program(session, button=1, scene="colour", inline=True)


def kde():
    """KDE Plasma on X11: the icon, the menu from a right click, the About box from it has the focus."""
    with x11_session("kde") as session:
        session.env["QT_QPA_PLATFORM"] = "xcb"
        start_window_manager(session, "kwin_x11", "kwin_x11", "--replace")
        session.start("kded5", "kded5")
        session.start("kactivitymanagerd", service_exec("org.kde.ActivityManager"))
        # kded5 alone does not load the watcher: Plasma's session start asks it to.
        session.wait(lambda: session.run("dbus-send", "--session", "--print-reply", "--dest=org.kde.kded5", "/kded",
                                         "org.kde.kded5.loadModule", "string:statusnotifierwatcher",
                                         check_status=False), "kded5 to load the watcher", STARTUP, ["kded5"])
        session.start("plasmashell", "plasmashell", "--no-respawn")
        session.wait_host(["plasmashell", "kded5"])
        try_program(session, button=3, scene="about")


def sway():
    """sway headless with Xwayland, as an unprivileged user: the item registers, and its menu works: MAX, 終了."""
    check(os.getuid() == 0 and os.getpid() == 1, "the sway test runs as root in a PID namespace of its own "
          "(see tests/session/CMakeLists.txt)")
    # A /tmp of its own, so that Xwayland's display and its sockets meet nobody else's; first the mount it goes on
    # stops passing mounts on to the machine's namespace (/ where /tmp is none, else /tmp).
    private = [subprocess.run(["mount", "--make-rprivate", path], capture_output=True).returncode == 0
               for path in ("/", "/tmp")]
    check(any(private), "neither / nor /tmp could be made private: the test's /tmp would reach the machine's")
    subprocess.run(["mount", "-t", "tmpfs", "-o", "mode=1777", "tmpfs", "/tmp"], check=True)
    os.mkdir("/tmp/.X11-unix", 0o1777)
    os.chmod("/tmp/.X11-unix", 0o1777)
    env = {"PATH": os.environ["PATH"], "LC_ALL": "C.UTF-8", "NO_AT_BRIDGE": "1"}
    with Session("sway", env, user="nobody") as session:
        work = session.workdir
        home, runtime = os.path.join(work, "home"), os.path.join(work, "runtime")
        os.makedirs(os.path.join(home, ".config"))
        os.mkdir(runtime, 0o700)
        # The checkout may sit where that user cannot read: the program and the bus's rules go along.
        global PROGRAM
        PROGRAM = shutil.copy(PROGRAM, work)
        config = shutil.copy(bus_config(), work)
        with open(os.path.join(work, "sway.conf"), "w") as f:
            f.write("xwayland force\noutput HEADLESS-1 mode 1024x768\nbar {\n  position top\n  tray_output *\n}\n")
        for path in (home, os.path.join(home, ".config"), runtime):
            shutil.chown(path, "nobody", "nogroup")
        env.update(HOME=home, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_CACHE_HOME=os.path.join(home, ".cache"), XDG_DATA_HOME=os.path.join(home, ".local", "share"),
                   DBUS_SESSION_BUS_ADDRESS=f"unix:path={runtime}/bus")
        session.start("session-bus", "dbus-daemon", "--nofork", f"--config-file={config}",
                      f"--address={env['DBUS_SESSION_BUS_ADDRESS']}")
        session.wait(lambda: os.path.exists(f"{runtime}/bus"), "the session bus")
        monitor(session)
        session.start("sway", "sway", "-c", os.path.join(work, "sway.conf"),
                      env=dict(env, WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1", WLR_RENDERER="pixman"))

        def sockets():
            ipc = [name for name in os.listdir(runtime) if name.startswith("sway-ipc.")]
            x11 = [name for name in os.listdir("/tmp/.X11-unix") if name.startswith("X")]
            waylands = [name for name in os.listdir(runtime) if re.fullmatch(r"wayland-\d+", name)]
            return ipc and x11 and waylands and (ipc[0], x11[0], waylands[0])
        ipc, x11, wayland = session.wait(sockets, "sway, its Wayland and its Xwayland sockets", STARTUP, ["sway"])
        env.update(SWAYSOCK=os.path.join(runtime, ipc), DISPLAY=":" + x11[1:], WAYLAND_DISPLAY=wayland)
        # A headless compositor has no pointer: clicks come from a virtual one.
        pointer = shutil.copy(os.path.join(os.path.dirname(os.path.abspath(__file__)), "virtual_pointer.py"), work)
        with open(os.path.join(work, "pointer.log"), "w") as log:
            session.pointer = subprocess.Popen([*session.prefix(), sys.executable, pointer, "1024", "768"], env=env,
                                               stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=log, text=True)
        session.procs.append(("pointer", session.pointer, None))
        check(session.pointer.stdout.readline() == "ready\n", f"no virtual pointer: {session.tail('pointer')}")
        session.wait_host(["sway"])
        try_program(session, button=3, scene="board", monitored=True, drag=True)


def bus_config():
    return os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e", "session-bus.conf")


def monitor(session):
    if KEEP:
        session.start("dbus-monitor", "dbus-monitor", "--address", session.env["DBUS_SESSION_BUS_ADDRESS"])


def drag_then_click(session):
    """A drag of the window that the compositor may refuse, then a click on the Colour button wherever the window
    stands now: it still reaches the button."""
    _, x, y, _, _ = session.window("Tilvane")
    session.drag((x + 8, y + 120), (x - 142, y + 220))
    time.sleep(0.5)
    _, x, y, width, _ = session.window("Tilvane")
    session.click(x + 122, y + 34)
    wait_rim(session, MAGENTA, "the rim to turn purple after a click on the Colour button, after the drag")
    # The corners are round: the compositor shows the desktop through them, not a square of black.
    shot = session.screenshot()
    for corner, beside in (((x, y), (x - 3, y)), ((x + width - 1, y), (x + width + 2, y))):
        check(near(shot.at(*corner), shot.at(*beside), 8) and not near(shot.at(*corner), (0, 0, 0), 8),
              f"the corner at {corner} is {shot.at(*corner)}, the desktop beside it {shot.at(*beside)}")


def try_program(session, button, scene, inline=False, monitored=False, drag=False):
    """Starts the program, finds its icon, tries one scene through the tray's menu, and ends it by 終了."""
    if not monitored:
        monitor(session)
    session.start_program()
    wait_rim(session, RED, "the program's window in place, its rim red")
    if drag:
        drag_then_click(session)
    menu = session.open_menu(button)
    if scene == "colour":
        submenu = session.open_submenu(menu, COLOUR, COLOURS, inline)
        session.choose(submenu, 1)  # 紫
        wait_rim(session, MAGENTA, "the rim to turn purple after 紫")
    elif scene == "board":
        submenu = session.open_submenu(menu, BOARD, BOARDS, inline)
        session.choose(submenu, 5)  # MAX
        # The window of the 10 x 10 board, and at rest: the menu is found from what changes on the screen.
        seen = []

        def at_rest():
            seen[:] = [session.window("Tilvane"), *seen[:1]]
            time.sleep(0.3)
            return seen[0] and seen[0][3:] == (420, 455) and seen[0] == seen[-1]
        session.wait(at_rest, "the window of the 10 x 10 board after MAX, at rest")
    elif scene == "about":
        session.choose(menu, INFO)
        box = session.wait(lambda: session.window("バージョン情報"), "the About box")
        session.wait(lambda: session.run("xdotool", "getwindowfocus").strip() == str(box[0]),
                     "the About box to have the focus")
        session.key("Escape")
        session.wait(lambda: not session.window("バージョン情報"), "Escape to close the About box")
    session.exit_through(session.open_menu(button))


DESKTOPS = {"xfce": xfce, "gnome": gnome, "kde": kde, "sway": sway}
TOOLS = {"xfce": ["xfwm4", "xfce4-panel"], "gnome": ["gnome-shell", "gsettings"],
         "kde": ["kwin_x11", "kded5", "plasmashell"], "sway": ["sway", "swaymsg", "grim", "Xwayland", "unshare"]}

if __name__ == "__main__":
    desktop = sys.argv[1] if len(sys.argv) > 1 else ""
    if desktop not in DESKTOPS or not PROGRAM:
        print(f"usage: test_session.py {'|'.join(DESKTOPS)} TILVANE", file=sys.stderr)
        sys.exit(2)
    lines = tools.missing("dbus-send", "dbus-daemon", "setpriv", "xdotool", "xwininfo", "xprop", "import",
                          *TOOLS[desktop])
    if lines:
        print("\n".join(lines), file=sys.stderr)
        sys.exit(1)
    main(DESKTOPS[desktop])
