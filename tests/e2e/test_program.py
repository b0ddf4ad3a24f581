"""The real program on a real X server: the drop-in, the popup menu at the cursor, a board size chosen from it,
the About box, the exit through the menu, and the tray icon in a real tray host.

Usage: test_program.py TILVANE SCENE, where SCENE is one of the functions named in SCENES below."""
import os
import re
import signal
import subprocess
import sys
import time

from e2e import WHITE, Failure, Screenshot, XDisplay, check, docked_tray_icon, find_window, is_colour, main, run
from e2e import wait_for_geometry, wait_until, window_info, windows, xdotool, xprop
from tools import missing

PROGRAM = sys.argv[1] if len(sys.argv) > 1 else ""
# The 4 x 4 window of the small size on a 1024 x 768 screen: centred, and at rest one pixel above the middle.
WIDTH, HEIGHT = 210, 245
LEFT, REST_TOP = (1024 - WIDTH) // 2, 261


class Program:
    """The tilvane binary, ended by its PID whatever happens."""

    def __init__(self):
        self.proc = subprocess.Popen([PROGRAM], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)

    def __enter__(self):
        return self

    def __exit__(self, kind, value, traceback):
        if self.proc.poll() is None:
            self.proc.kill()
        self.proc.wait(timeout=10)

    def wait_exit(self, timeout=15):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end")


def resting_main_window():
    window = find_window(r"^Tilvane$")
    wait_for_geometry(window, LEFT, REST_TOP, WIDTH, HEIGHT)
    return window


def open_menu_at(x, y, button=3):
    """Clicks at a screen point and waits for a popup menu whose top-left corner is that point. A window manager
    busy with a focus change right after a dialog closed can take the click itself, so it is tried again."""

    def probe():
        for window, _, _ in windows():
            try:
                info = window_info(window)
            except subprocess.CalledProcessError:
                continue  # a window that went away meanwhile
            if info["override_redirect"] and info["viewable"] and (info["x"], info["y"]) == (x, y):
                return window
        return None
    for _ in range(4):
        xdotool("mousemove", x, y, "click", button)
        try:
            return wait_until(probe, f"a popup menu at {x},{y}", timeout=3)
        except Failure:
            continue
    raise Failure(f"four clicks at {x},{y} opened no popup menu")


def menu_gone(menu):
    def probe():
        try:
            return not window_info(menu)["viewable"]
        except subprocess.CalledProcessError:
            return True
    wait_until(probe, "the popup menu to close")


# Keyboard walks through submenu 0: Down from no highlight reaches the n-th item that is not a separator.
def choose(menu, downs, then=()):
    xdotool("key", *(["Down"] * downs), *then, "Return")
    menu_gone(menu)


def drop_in():
    with Program():
        resting_main_window()


def dense(dpi, gdk_scale, scale):
    """The desktop's Xft.dpi, or GDK_SCALE over it, sets the session's scale: at 2 the program's 210 x 245 window
    covers 420 x 490 device pixels, centred on the 512 x 384 screen the program sees, one program pixel above the
    middle; 144 DPI is still 1."""
    lacking = missing("xrdb")
    if lacking:
        raise Failure(lacking[0])
    subprocess.run(["xrdb", "-merge"], input=f"Xft.dpi: {dpi}\n", check=True, capture_output=True, text=True,
                   timeout=30)
    if gdk_scale:
        os.environ["GDK_SCALE"] = gdk_scale
    with Program():
        window = find_window(r"^Tilvane$")
        left, rest_top = (1024 // scale - WIDTH) // 2, (768 // scale) // 2 - HEIGHT // 2 - 1
        wait_for_geometry(window, scale * left, scale * rest_top, scale * WIDTH, scale * HEIGHT)


def menu_max():
    with Program():
        window = resting_main_window()
        menu = open_menu_at(LEFT + 20, REST_TOP + 230)
        # 開始, 色設定, 背景ｻｲｽﾞ, 画面ｻｲｽﾞ, 難易度設定 → its first item, then down five to "MAX".
        choose(menu, 5, ["Right"] + ["Down"] * 5)
        wait_until(lambda: (window_info(window)["width"], window_info(window)["height"]) == (420, 455),
                   "the window of the 10 x 10 board")
        check(window_info(window)["x"] == LEFT, "a new board size keeps the window's left edge")


def about_and_exit():
    with Program() as program:
        main = resting_main_window()
        menu = open_menu_at(LEFT + 20, REST_TOP + 230)
        choose(menu, 6)  # 情報
        box = find_window(r"^バージョン情報$")
        # The box's window exists a moment before the window manager has mapped it.
        wait_until(lambda: window_info(box)["viewable"], "the About box to show")
        # Both windows carry the time of the user's last action, the box that of the click that opened it.
        times = [re.search(r"= (\d+)", xprop(w, "_NET_WM_USER_TIME")) for w in (main, box)]
        check(all(t and int(t.group(1)) > 0 for t in times), f"the user's time on the windows: {times}")
        check(int(times[1].group(1)) >= int(times[0].group(1)), "the box opened before the click that opened it")
        # Enter presses OK once the box has the keyboard, which a window manager gives it in its own time.
        wait_until(lambda: run("xdotool", "getwindowfocus").strip() == str(box), "the About box's focus")
        xdotool("key", "Return")
        wait_until(lambda: not any(w == box for w, _, _ in windows()), "OK to close the About box")
        menu = open_menu_at(LEFT + 20, REST_TOP + 230)
        choose(menu, 7)  # 終了
        status = program.wait_exit()
        check(status == 0, f"exit status {status}")


def tray():
    with Program() as program:
        resting_main_window()
        icon, info = docked_tray_icon()
        x, y = info["x"] + info["width"] // 2, info["y"] + info["height"] // 2
        xdotool("mousemove", x, y, "click", 3)

        def probe():
            for window, _, _ in windows():
                try:
                    found = window_info(window)
                except subprocess.CalledProcessError:
                    continue
                if found["override_redirect"] and found["viewable"] and found["width"] > 40:
                    return window
            return None
        menu = wait_until(probe, "the popup menu from the tray icon")
        menu_info = window_info(menu)
        check(menu_info["x"] + menu_info["width"] <= 1024 and menu_info["y"] + menu_info["height"] <= 768,
              f"the menu should stay on the screen: {menu_info}")
        choose(menu, 7)  # 終了
        check(program.wait_exit() == 0, "the program should end through the tray's menu")
        wait_until(lambda: not any(w == icon for w, _, _ in windows()), "the tray icon to go")


def server_killed():
    with Program() as program:
        resting_main_window()
        os.kill(int(os.environ["TILVANE_E2E_XVFB_PID"]), signal.SIGKILL)
        status = program.wait_exit(timeout=10)
        message = program.proc.stderr.read()
        check(status == 1, f"status {status} after the server died")
        check(message.startswith("tilvane: ") and "lost the connection" in message, f"message {message!r}")


def exit_server_killed(delay):
    """The server dies while the exit animation holds the program: whenever that happens, the loss is reported."""
    with Program() as program:
        resting_main_window()
        open_menu_at(LEFT + 20, REST_TOP + 230)
        xdotool("key", *(["Down"] * 7), "Return")  # 終了
        time.sleep(delay)
        os.kill(int(os.environ["TILVANE_E2E_XVFB_PID"]), signal.SIGKILL)
        status = program.wait_exit(timeout=10)
        message = program.proc.stderr.read()
        check(status == 1 and "lost the connection" in message,
              f"status {status}, message {message!r} after the server died {delay} s into the exit")


def destroy_main():
    """Another client destroys the main window: the program ends at once, says why in one line, status 1."""
    with Program() as program:
        window = resting_main_window()
        with XDisplay() as x:
            x.destroy_window(window)
        status = program.wait_exit(timeout=5)
        message = program.proc.stderr.read()
        check(status == 1, f"status {status} after the main window was destroyed")
        check(message.startswith("tilvane: ") and "destroyed" in message and len(message.splitlines()) == 1,
              f"one line that says why: {message!r}")


def destroy_about():
    """Another client destroys the About box: its run ends, and the main window takes the menu's 終了 again."""
    with Program() as program:
        resting_main_window()
        menu = open_menu_at(LEFT + 20, REST_TOP + 230)
        choose(menu, 6)  # 情報
        box = find_window(r"^バージョン情報$")
        with XDisplay() as x:
            x.destroy_window(box)
        menu = open_menu_at(LEFT + 20, REST_TOP + 230)
        choose(menu, 7)  # 終了
        status = program.wait_exit()
        message = program.proc.stderr.read()
        check(status == 0 and message == "", f"status {status}, stderr {message!r}")


def forged_configure():
    """A synthetic ConfigureNotify claiming 32000 x 32000 from another client moves nothing and costs nothing:
    the program's memory stays small, its window keeps its size and place, and its menu opens where clicked."""
    with Program() as program:
        window = resting_main_window()
        with XDisplay() as x:
            x.send_configure_notify(window, LEFT, REST_TOP, 32000, 32000)
            # The ping is answered after the forged event has been read.
            x.ping(window, 77)
        time.sleep(0.5)
        with open(f"/proc/{program.proc.pid}/status") as status:
            peak = int(re.search(r"VmHWM:\s+(\d+)", status.read()).group(1))
        check(peak < 100 * 1024, f"the program's peak memory is {peak} KiB")
        info = window_info(window)
        check((info["x"], info["y"], info["width"], info["height"]) == (LEFT, REST_TOP, WIDTH, HEIGHT),
              f"the forged event changed the window: {info}")
        menu = open_menu_at(LEFT + 20, REST_TOP + 230)
        xdotool("key", "Escape")
        menu_gone(menu)


def fast_drag():
    """A flick: each move of a drag lands 60 px away, outside the window; the window keeps up, left and right."""
    with Program():
        window = resting_main_window()
        for step in (-60, 60):
            start = window_info(window)
            x, y = start["x"] + 3, start["y"] + 200
            xdotool("mousemove", x, y, "mousedown", 1)
            for i in range(1, 5):
                xdotool("mousemove", x + i * step, y)
                time.sleep(0.05)
            xdotool("mouseup", 1)
            wait_until(lambda: window_info(window)["x"] == start["x"] + 4 * step,
                       f"the window carried by {4 * step} px from {start['x']}")


def refused_moves():
    """Under a window manager that puts the window where it likes and refuses every move, as sway does, the
    drop-in ends, a drag leaves the window where it is, and the tiles, the buttons and the menu all answer
    where the window really stands."""
    with Program() as program:
        window = find_window(r"^Tilvane$")
        left, top = 300, 150  # where the manager puts every window
        wait_for_geometry(window, left, top, WIDTH, HEIGHT)
        background = (left + 8, top + 120)
        xdotool("mousemove", *background, "mousedown", 1)
        for i in range(1, 6):
            xdotool("mousemove", background[0] - 30 * i, background[1] + 20 * i)
        xdotool("mouseup", 1)
        time.sleep(0.3)
        wait_for_geometry(window, left, top, WIDTH, HEIGHT)
        # The 4 x 4 board's cells are 35 px squares from (35, 70); the hole is the white one.
        board = lambda: [Screenshot().at(left + 40 + 35 * (i % 4), top + 75 + 35 * (i // 4)) for i in range(16)]
        hole = next(i for i, pixel in enumerate(board()) if is_colour(pixel, WHITE))
        tile = hole + 1 if hole % 4 < 3 else hole - 1
        xdotool("mousemove", left + 52 + 35 * (tile % 4), top + 87 + 35 * (tile // 4), "click", 1)
        wait_until(lambda: is_colour(board()[tile], WHITE), "the tile beside the hole to slide into it")
        played = board()
        xdotool("mousemove", left + 35 + 2 * 35 + 12, top + 34, "click", 1)  # the Colour button, third
        wait_until(lambda: board() != played, "the Colour button to change the tiles' colours")
        menu = open_menu_at(left + 20, top + 230)
        xdotool("key", "Escape")
        menu_gone(menu)
        xdotool("mousemove", left + 35 + 3 * 35 + 12, top + 34, "click", 1)  # the Exit button
        status = program.wait_exit()
        check(status == 0, f"exit status {status}")


def uncovered():
    """Another window dragged across ours and taken away leaves our pixels as they were: every rectangle the
    server asks to repaint is repainted."""
    with Program():
        resting_main_window()

        def ours(shot):
            rows = (shot.pixels[(y * shot.width + LEFT) * 3:(y * shot.width + LEFT + WIDTH) * 3]
                    for y in range(REST_TOP, REST_TOP + HEIGHT))
            return b"".join(rows)
        before = ours(Screenshot())
        cover = subprocess.Popen(["xmessage", "-geometry", f"150x120+{LEFT - 120}+{REST_TOP - 90}", "-name", "cover",
                                  "another window"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            covering = find_window(r"^cover$")
            # Diagonal steps uncover an L of two rectangles each time.
            for step in range(1, 10):
                xdotool("windowmove", covering, LEFT - 120 + 30 * step, REST_TOP - 90 + 35 * step)
                time.sleep(0.03)
        finally:
            cover.kill()
            cover.wait()
        wait_until(lambda: ours(Screenshot()) == before, "our window to be whole again")


def no_display():
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    result = subprocess.run([PROGRAM], env=env, capture_output=True, text=True, timeout=30)
    check(result.returncode == 1, f"status {result.returncode} without a display")
    check(result.stderr.startswith("tilvane: ") and "DISPLAY" in result.stderr and
          len(result.stderr.splitlines()) == 1, f"one line that says why: {result.stderr!r}")


SCENES = {"drop-in": drop_in, "dense-192": lambda: dense(192, None, 2),
          "dense-144": lambda: dense(144, None, 1), "dense-gdk-scale": lambda: dense(96, "2", 2),
          "menu-max": menu_max, "about-exit": about_and_exit, "tray": tray,
          "server-killed": server_killed, "no-display": no_display,
          "exit-server-killed-early": lambda: exit_server_killed(0.05),
          "exit-server-killed-late": lambda: exit_server_killed(0.6),
          "destroy-main": destroy_main, "destroy-about": destroy_about, "forged-configure": forged_configure,
          "fast-drag": fast_drag, "refused-moves": refused_moves,
          "uncovered": uncovered}

if __name__ == "__main__":
    scene = SCENES.get(sys.argv[2] if len(sys.argv) > 2 else "")
    if not scene:
        print(f"usage: test_program.py TILVANE {'|'.join(SCENES)}", file=sys.stderr)
        sys.exit(2)
    main(scene)
