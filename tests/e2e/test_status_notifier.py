"""The tray icon as a StatusNotifierItem on a private session bus, with a watcher of our own: it registers,
says what it is, shows its pictures, answers the desktop's calls (and refuses the malformed ones), follows
the watcher as it goes and comes back, leaves the bus with the icon, and falls back to the X tray whenever
no watcher takes it or the bus goes away.

Usage: test_status_notifier.py CLIENT WATCHER SCENE [PROGRAM]; SCENE is one of the functions in SCENES."""
import os
import queue
import re
import signal
import subprocess
import sys
import threading
import time

from e2e import PATIENCE, Failure, check, click_main, docked_tray_icon, main, main_window, start_ready_client
from e2e import Screenshot, find_window, is_colour, run, wait_for_geometry, wait_until, window_info, windows, xdotool

WATCHER = sys.argv[2] if len(sys.argv) > 2 else ""
PROGRAM = sys.argv[4] if len(sys.argv) > 4 else ""


class Watcher:
    """sni_test_watcher, fed commands on stdin, its lines read in the background."""

    def __init__(self, *options):
        self.proc = subprocess.Popen([WATCHER, *options], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, text=True)
        self.lines = queue.Queue()
        self.seen = []
        threading.Thread(target=self._pump, daemon=True).start()
        self.expect("ready")

    def _pump(self):
        for line in self.proc.stdout:
            self.lines.put(line.rstrip("\n"))
        self.lines.put(None)

    def send(self, command):
        self.proc.stdin.write(command + "\n")
        self.proc.stdin.flush()

    def expect(self, pattern, timeout=PATIENCE):
        """Reads lines until one matches `pattern` and returns the match; fails on the watcher's end."""
        give_up = time.monotonic() + timeout
        while True:
            try:
                line = self.lines.get(timeout=max(give_up - time.monotonic(), 0.01))
            except queue.Empty:
                raise Failure(f"the watcher printed no /{pattern}/; it printed {self.seen[-8:]}")
            if line is None:
                raise Failure(f"the watcher ended before /{pattern}/: {self.proc.stderr.read()!r}")
            self.seen.append(line[:120])
            found = re.fullmatch(pattern, line)
            if found:
                return found

    def until(self, last):
        """Every line up to the one that equals `last`."""
        lines = []
        while True:
            line = self.expect(".*").group(0)
            if line == last:
                return lines
            lines.append(line)

    def properties(self):
        """The item's properties (name → text) and its pictures ((width, height) → bytes)."""
        self.send("props")
        props, pixmaps = {}, {}
        for line in self.until("props done"):
            if line.startswith("failed"):
                raise Failure(f"reading the properties: {line}")
            kind, first, rest = line.split(" ", 2)
            if kind == "prop":
                props[first] = rest
            elif kind == "pixmap":
                height, data = rest.split(" ")
                pixmaps[(int(first), int(height))] = bytes.fromhex(data)
        return props, pixmaps

    def layout(self):
        """The item's D-Bus menu: id → (parent id, properties), and the layout's revision."""
        self.send("layout")
        nodes = {}
        for line in self.until_prefix("layout done"):
            check(line.startswith("node "), f"reading the menu: {line}")
            _, node, parent, text = (line.split(" ", 3) + [""])[:4]
            nodes[int(node)] = (int(parent), dict(p.split("=", 1) for p in text.split(";") if p))
        return nodes, int(self.last.split()[-1])

    def until_prefix(self, prefix):
        """Every line up to the one that starts with `prefix`, which is kept in self.last."""
        lines = []
        while True:
            line = self.expect(".*").group(0)
            if line.startswith(prefix):
                self.last = line
                return lines
            lines.append(line)

    def call(self, method, x, y):
        return self.expect_reply(f"call {method} {x} {y}", method)

    def expect_reply(self, command, method):
        self.send(command)
        return self.expect(rf"reply {method} (\S+)").group(1)

    def stop(self):
        if self.proc.poll() is None:
            self.send("quit")
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


def unique_name(pid, timeout=PATIENCE):
    """The bus name of the process's connection, which it registers its item with, as a pattern."""
    return re.escape(connection_of(pid, timeout))


def connection_of(pid, timeout=PATIENCE):
    """The owner of the well-known name that the process's first item holds."""
    give_up = time.monotonic() + timeout
    while time.monotonic() < give_up:
        owner = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                                "/org/freedesktop/DBus", "org.freedesktop.DBus.GetNameOwner",
                                f"string:org.kde.StatusNotifierItem-{pid}-1"], capture_output=True, text=True)
        found = re.search(r'string "(:[0-9.]+)"', owner.stdout)
        if found:
            return found.group(1)
        time.sleep(0.05)
    raise Failure(f"process {pid} holds no item name on the bus")


def pixel(data, size, x, y):
    """One pixel of an IconPixmap picture as its four bytes in hexadecimal (alpha, red, green, blue)."""
    offset = (y * size + x) * 4
    return data[offset:offset + 4].hex()


def check_pictures(pixmaps, expected):
    """Every panel size is there with four bytes a pixel, and the given pixels are as expected."""
    for size in (16, 22, 32, 48):
        check((size, size) in pixmaps, f"no {size} x {size} picture among {sorted(pixmaps)}")
    for (width, height), data in pixmaps.items():
        check(len(data) == width * height * 4, f"the {width} x {height} picture has {len(data)} bytes")
    for size, x, y, argb in expected:
        got = pixel(pixmaps[(size, size)], size, x, y)
        check(got == argb, f"pixel {x},{y} of the {size} x {size} picture is {got}, wanted {argb}")


def settled_windows():
    """The window tree; xwininfo fails when a window goes while it walks the tree, then it asks again."""
    for _ in range(20):
        try:
            return windows()
        except subprocess.CalledProcessError:
            continue
    raise Failure("xwininfo kept failing while windows came and went")


def no_xembed_icon(name=r"tray icon$"):
    return all(not re.search(name, title) for _, title, _ in settled_windows())


def expect_tray(client, message, x, y):
    client.expect(rf"tray 0x{message:03x} {x} {y}")


def client():
    """The backend's client under trayer: XEmbed while no watcher runs, the item while one does."""
    with start_ready_client() as tilvane:
        window, left = main_window()
        # No watcher yet: the icon docks into the X tray as it always did.
        docked_tray_icon()
        service_pattern = r":\d+\.\d+"

        with Watcher() as watcher:
            service = watcher.expect(rf"registered ({service_pattern}) :\S+").group(1)
            wait_until(no_xembed_icon, "the XEmbed icon to leave the tray once the item is registered")

            props, pixmaps = watcher.properties()
            wanted = {"Id": "tilvane", "Title": "Tilvane", "Category": "ApplicationStatus",
                      "Status": "Active", "ItemIsMenu": "false", "IconPixmap": "a(iiay)", "Menu": "/MenuBar"}
            check(props == wanted, f"properties {props}, wanted {wanted}")
            # The client's icon: a transparent rim of size/16, a blue body, a yellow middle.
            check_pictures(pixmaps, [(16, 0, 0, "00000000"), (16, 8, 8, "ffffd700"), (16, 2, 8, "ff2050e0"),
                                     (22, 0, 0, "00000000"), (22, 11, 11, "ffffd700"), (22, 3, 11, "ff2050e0"),
                                     (48, 2, 2, "00000000"), (48, 3, 3, "ff2050e0"), (48, 24, 24, "ffffd700")])

            # The desktop's clicks reach the program as presses and releases over the icon, at the given point.
            check(watcher.call("ContextMenu", 300, 200) == "ok", "ContextMenu refused")
            expect_tray(tilvane, 0x204, 300, 200)
            expect_tray(tilvane, 0x205, 300, 200)
            check(watcher.call("SecondaryActivate", 40, 50) == "ok", "SecondaryActivate refused")
            check(watcher.call("Activate", 10, 20) == "ok", "Activate refused")
            # Had the middle button meant anything, its message would come first.
            expect_tray(tilvane, 0x201, 10, 20)
            expect_tray(tilvane, 0x202, 10, 20)

            watcher.send("hostile")
            answers = dict(line.split(" ")[1:] for line in watcher.until("hostile done"))
            accepted = {case: answer for case, answer in answers.items() if not answer.startswith("org.")}
            check(len(answers) == 8 and not accepted, f"malformed calls must be refused: {answers}")
            # A point off the screen (panels on scaled screens send them) is taken as the nearest one on it.
            check(watcher.call("ContextMenu", 2147483647, -2147483648) == "ok", "a point off the screen refused")
            expect_tray(tilvane, 0x204, 1023, 0)
            # A point on the screen's left edge is a point, not the "don't know" of (0, 0).
            check(watcher.call("ContextMenu", 0, 300) == "ok", "a point on the left edge refused")
            expect_tray(tilvane, 0x204, 0, 300)
            watcher.send("flood 200")
            ok, refused = map(int, watcher.expect(r"flood ok (\d+) refused (\d+)").groups())
            check(ok + refused == 200 and ok <= 16, f"a flood of 200 activations: {ok} taken, {refused} refused")
            # Nothing of the refused calls reached the program: after the accepted ones the next is ours.
            for _ in range(ok):
                expect_tray(tilvane, 0x201, 5, 5)
                expect_tray(tilvane, 0x202, 5, 5)
            # The rate limit lets calls through again soon.
            wait_until(lambda: watcher.call("ContextMenu", 301, 201) == "ok", "a call taken after the flood")
            expect_tray(tilvane, 0x204, 301, 201)

            # The icon removed and added again: the item leaves the bus while the client lives, then comes back.
            click_main(tilvane, left)
            xdotool("key", "r")
            tilvane.expect("tray removed")
            watcher.expect(rf"unregistered {re.escape(service)}")
            xdotool("key", "a")
            tilvane.expect("tray added")
            watcher.expect(rf"registered {service_pattern} :\S+")
            wait_until(no_xembed_icon, "the icon added again to stay out of the X tray")
            # The watcher drops the item from its list: the X tray shows the icon again.
            watcher.send("unlist")
            docked_tray_icon()

        # The watcher went away: the X tray takes the icon.
        docked_tray_icon()
        with Watcher("--refuse") as refusing:
            refusing.expect(rf"refused {service_pattern}")
            time.sleep(0.2)
            check(not no_xembed_icon(), "a watcher that refuses the item leaves it in the X tray")
        with Watcher("--unlisted") as watcher:
            watcher.expect(rf"registered {service_pattern} :\S+")
            # Taken but listed nowhere (and read by no host): the X tray keeps the icon.
            time.sleep(0.5)
            check(not no_xembed_icon(), "an item that the watcher does not list must stay in the X tray")
        with Watcher("--no-host") as watcher:
            watcher.expect(rf"registered {service_pattern} :\S+")
            # Registered, but no panel shows the items: the icon stays in the X tray until one comes.
            time.sleep(0.2)
            check(not no_xembed_icon(), "an item that no host shows must stay in the X tray")
            watcher.send("host")
            watcher.expect("host registered")
            wait_until(no_xembed_icon, "the XEmbed icon to leave once a host shows the item")

            # The session bus dies: one line on stderr, and the icon is back in the X tray.
            os.kill(int(os.environ["TILVANE_E2E_BUS_PID"]), signal.SIGKILL)
            docked_tray_icon()
            click_main(tilvane, left)
            lines = [line for line in tilvane.stderr().splitlines() if line]
            check(len(lines) == 1 and lines[0].startswith("tilvane: lost the session bus"),
                  f"one line about the bus on stderr: {lines}")
        check(tilvane.proc.poll() is None, "the client must outlive its session bus")


# The program's 4 x 4 window on a 1024 x 768 screen at rest.
LEFT, REST_TOP, WIDTH, HEIGHT = 407, 261, 210, 245


class Program:
    def __init__(self):
        check(PROGRAM and os.path.exists(PROGRAM), f"program not found: {PROGRAM!r}")
        self.proc = subprocess.Popen([PROGRAM], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        if self.proc.poll() is None:
            self.proc.kill()
        self.proc.wait(timeout=10)

    def wait_exit(self):
        try:
            return self.proc.wait(timeout=PATIENCE)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end")


def resting_program_window():
    window = find_window(r"^Tilvane$")
    wait_for_geometry(window, LEFT, REST_TOP, WIDTH, HEIGHT)
    return window


def popup_menu_at(x, y):
    def probe():
        for window, _, _ in settled_windows():
            try:
                info = window_info(window)
            except subprocess.CalledProcessError:
                continue
            if info["override_redirect"] and info["viewable"] and (info["x"], info["y"]) == (x, y):
                return window
        return None
    return wait_until(probe, f"the popup menu at {x},{y}")


def program_menu_exit():
    """The program's item: what it says, its pictures from the pixel art, and ContextMenu → "終了"."""
    with Watcher() as watcher, Program() as program:
        service = watcher.expect(rf"registered ({unique_name(program.proc.pid)}) :\S+").group(1)
        resting_program_window()
        props, pixmaps = watcher.properties()
        check((props["Id"], props["Title"]) == ("tilvane", "Tilvane"), f"the program's item says {props}")
        check(props.get("Menu") == "/MenuBar" and props["ItemIsMenu"] == "false", f"the menu's object: {props}")
        # The icon's art: cut-off corners, a red frame; 48 is the 16-pixel art enlarged three times.
        check_pictures(pixmaps, [(16, 0, 0, "00000000"), (16, 1, 0, "ffff0000"), (32, 2, 0, "ffff0000"),
                                 (48, 2, 2, "00000000"), (48, 3, 0, "ffff0000"), (48, 9, 3, "ffffffff"), (48, 6, 3, "ffff0000")])
        check(no_xembed_icon(), "the registered item needs no XEmbed icon")

        check(watcher.call("ContextMenu", 150, 120) == "ok", "ContextMenu refused")
        menu = popup_menu_at(150, 120)
        # 開始, 色設定, 背景ｻｲｽﾞ, 画面ｻｲｽﾞ, 難易度設定, 情報, 終了.
        xdotool("key", *(["Down"] * 7), "Return")
        status = program.wait_exit()
        check(status == 0, f"exit status {status} after 終了")
        watcher.expect(rf"unregistered {re.escape(service)}")
        check(not window_info_or_none(menu), "the menu must be gone with the program")


def program_dbus_menu():
    """The menu a panel draws from the item's D-Bus menu: the program's popup with its check marks; a click
    on "紫" turns the rim purple and moves the check mark, which the hosts hear of; requests no host should
    make are refused and change nothing; "終了" ends the program."""
    with Watcher() as watcher, Program() as program:
        watcher.expect(rf"registered {unique_name(program.proc.pid)} :\S+")
        window = resting_program_window()
        nodes, revision = watcher.layout()
        label = {props.get("label"): node for node, (_, props) in nodes.items()}
        children = lambda parent: [node for node, (up, _) in nodes.items() if up == parent]
        settings = [node for node in children(0) if nodes[node][1].get("children-display") == "submenu"]
        check(len(settings) == 4, f"four settings submenus under the root: {nodes}")
        for submenu in settings:
            marks = [nodes[item][1].get("toggle-state") for item in children(submenu)]
            check(marks.count("1") == 1 and marks.count("0") == len(marks) - 1,
                  f"one choice checked in {nodes[submenu][1]}: {marks}")
        check(any(nodes[item][1].get("type") == "separator" for item in children(0)), "no separator in the menu")
        purple = label["紫"]
        red = next(item for item in children(nodes[purple][0]) if nodes[item][1].get("toggle-state") == "1")
        check(nodes[red][1]["label"] == "赤", "the red theme is the first one checked")

        check(watcher.expect_reply(f"event {purple} clicked 0", "Event") == "ok", "a click on 紫 refused")
        update = watcher.expect(r"menu-signal ItemsPropertiesUpdated (.*)").group(1)
        check(f"{purple}{{" in update and f"{red}{{" in update, f"the hosts hear of both marks: {update}")
        wait_until(lambda: is_colour(Screenshot().at(LEFT + 1, REST_TOP + 200), (255, 0, 255)), "a purple rim")
        chosen = watcher.layout()[0]
        marks = {node: props.get("toggle-state") for node, (_, props) in chosen.items()}
        check((marks[purple], marks[red]) == ("1", "0"), f"the check mark moved to 紫: {marks}")

        watcher.send("menuhostile")
        answers = dict(line.split(" ")[1:] for line in watcher.until("menuhostile done"))
        accepted = {case: answer for case, answer in answers.items() if not answer.startswith("org.")}
        check(len(answers) == 12 and not accepted, f"malformed menu requests must be refused: {answers}")
        check(watcher.layout() == (chosen, revision), "the refused requests changed the menu")

        check(watcher.expect_reply(f"event {label['終了']} clicked 0", "Event") == "ok", "a click on 終了 refused")
        status = program.wait_exit()
        check(status == 0, f"exit status {status} after 終了 in the D-Bus menu")
        check(window_info_or_none(window) is None, "the window must be gone with the program")


def vm_peak_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        return int(re.search(r"VmHWM:\s+(\d+)", status.read()).group(1))


def held_back_for(connection):
    """How many messages the bus keeps for `connection` because its socket takes no more."""
    stats = run("dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                "org.freedesktop.DBus.Debug.Stats.GetConnectionStats", f"string:{connection}")
    return int(re.search(r'"OutgoingMessages"\s+variant\s+uint32 (\d+)', stats).group(1))


def socket_full(connection):
    """Whether the bus has handed `connection` all it can and holds the rest: a count that stands still."""
    held = held_back_for(connection)
    time.sleep(0.1)
    return held > 0 and held_back_for(connection) == held


def idle(pid):
    """Whether the process sleeps and has used no processor time for a while: on a busy machine a fixed
    pause may leave it no time to read its requests."""
    def state_and_ticks():
        with open(f"/proc/{pid}/stat") as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return fields[0], int(fields[11]) + int(fields[12])
    state, ticks = state_and_ticks()
    time.sleep(0.2)
    return state == "S" and state_and_ticks() == (state, ticks)


def greedy_peer():
    """A peer that asks for the pictures again and again and never reads its answers, while the bus, stopped,
    takes nothing from the program: the item answers a few, refuses the rest, and its memory stays flat."""
    with start_ready_client() as tilvane, Watcher() as watcher:
        connection = connection_of(tilvane.pid)
        watcher.expect(rf"registered {re.escape(connection)} :\S+")
        bus = int(os.environ["TILVANE_E2E_BUS_PID"])
        before = vm_peak_kib(tilvane.pid)
        # Stopped, the program lets the requests pile up in its socket; then the bus stops taking its answers.
        os.kill(tilvane.pid, signal.SIGSTOP)
        try:
            watcher.send("greedy 3000")
            watcher.expect(r"greedy sent 3000")
            # On a busy machine the bus may still be handing the requests on; stopped too soon, it would
            # leave the program too few to answer for its answers to back up.
            wait_until(lambda: socket_full(connection), "the bus to fill the stopped program's socket")
            os.kill(bus, signal.SIGSTOP)
        finally:
            os.kill(tilvane.pid, signal.SIGCONT)
        try:
            wait_until(lambda: idle(tilvane.pid), "the program to take in all it was sent")
            grown = vm_peak_kib(tilvane.pid) - before
        finally:
            os.kill(bus, signal.SIGCONT)
        watcher.send("greedy-read")
        ok, refused = map(int, watcher.expect(r"greedy ok (\d+) refused (\d+)").groups())
        check(ok > 0 and refused > 0 and ok + refused == 3000, f"of 3000 reads {ok} answered, {refused} refused")
        # AddressSanitizer holds freed memory back for a while, so only the plain build's peak tells.
        if "ASAN_OPTIONS" not in os.environ:
            check(grown < 8 * 1024, f"the program's peak memory grew by {grown} KiB")
        check(tilvane.proc.poll() is None, "the client must outlive a greedy peer")


def window_info_or_none(window):
    try:
        return window_info(window)
    except subprocess.CalledProcessError:
        return None


def active_window():
    match = re.search(r"window id # (0x[0-9a-f]+)", run("xprop", "-root", "_NET_ACTIVE_WINDOW"))
    return int(match.group(1), 16) if match else 0


def program_activate():
    """Activate brings the program's window forward, to the top of the stack, from behind another that has the
    focus; the other window stays clear of the program's so that clicks on it reach it whatever the order."""
    with Watcher() as watcher, Program() as program:
        watcher.expect(rf"registered {unique_name(program.proc.pid)} :\S+")
        tilvane = resting_program_window()
        cover = subprocess.Popen(["xmessage", "-geometry", "+30+30", "-name", "cover", "another window"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            covering = find_window(r"^cover$")
            wait_until(lambda: active_window() == covering, "the new window to be active")
            # The program has seen a click of its own before the user clicked the other window: its last
            # event is older than the focus the window manager must be asked to move.
            xdotool("mousemove", LEFT + 100, REST_TOP + HEIGHT - 4, "click", 1)
            wait_until(lambda: active_window() == tilvane, "the program's window to take the click")
            info = window_info(covering)
            xdotool("mousemove", info["x"] + info["width"] // 2, info["y"] + 8, "click", 1)
            wait_until(lambda: active_window() == covering, "the covering window to be active")
            answer = watcher.call("Activate", 500, 700)
            check(answer == "ok", f"Activate refused: {answer}; the watcher printed {watcher.seen}")
            wait_until(lambda: active_window() == tilvane, "the program's window to become active")
            stacking = run("xprop", "-root", "_NET_CLIENT_LIST_STACKING")
            order = [int(w, 16) for w in re.findall(r"0x[0-9a-f]+", stacking)]
            check(order and order[-1] == tilvane, f"the program's window should be on top: {stacking}")
        finally:
            cover.kill()
            cover.wait()


SCENES = {"client": client, "greedy-peer": greedy_peer, "program-menu-exit": program_menu_exit,
          "program-activate": program_activate, "program-dbus-menu": program_dbus_menu}

if __name__ == "__main__":
    scene = SCENES.get(sys.argv[3] if len(sys.argv) > 3 else "")
    if not scene or not WATCHER:
        print(f"usage: test_status_notifier.py CLIENT WATCHER {'|'.join(SCENES)} [PROGRAM]", file=sys.stderr)
        sys.exit(2)
    main(scene)
